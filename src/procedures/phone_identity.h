// Reading the phone's identity (IMEI, IMSI) and clearing the call between the steps.
#pragma once

#include <QString>
#include <optional>

namespace celvio {

struct App;

// What the phone says of itself. A stop during the questions ends the reading: what
// was learned before it is there, the rest is absent.
struct PhoneIdentity {
    // The IMEI: fifteen digits, the check digit repaired for revision level 1, or the
    // substitute IMEI 999999000000006 for an answer that is no IMEI. A stop while the
    // revision is asked leaves the answer as read.
    std::optional<QString> Imei;
    // The IMSI, up to fifteen characters of the answer's line.
    std::optional<QString> Imsi;
};

// Asks the phone for its IMEI and IMSI; the caller keeps them in the station state
// and the cycle's record.
PhoneIdentity IdentifyPhone(App& app);

// Clears the call between the test steps and returns the tester to idle.
void ReleaseBaseStation(App& app);

// The check digit of an IMEI's first fourteen digits (the Luhn rule): digits at even
// positions doubled (less 9 from 10 on), all summed, and what the sum lacks to the
// next multiple of 10.
int LuhnCheckDigit(const QString& fourteenDigits);

}  // namespace celvio
