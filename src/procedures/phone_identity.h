// Reading the phone's identity (IMEI, IMSI) and clearing the call between the steps.
#pragma once

#include <QString>

namespace celvio {

struct App;

// Reads IMEI and IMSI from the phone into the station state; an unreadable IMEI
// becomes the substitute IMEI 999999000000006.
void IdentifyPhone(App& app);

// Clears the call between the test steps and returns the tester to idle.
void ReleaseBaseStation(App& app);

// The check digit of an IMEI's first fourteen digits (the Luhn rule): digits at even
// positions doubled (less 9 from 10 on), all summed, and what the sum lacks to the
// next multiple of 10.
int LuhnCheckDigit(const QString& fourteenDigits);

}  // namespace celvio
