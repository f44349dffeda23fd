#pragma once

#include <QString>

namespace celvio {

// The check digit of an IMEI's first fourteen digits (the Luhn rule): digits at even
// positions doubled (less 9 from 10 on), all summed, and what the sum lacks to the
// next multiple of 10.
int LuhnCheckDigit(const QString& fourteenDigits);

}  // namespace celvio
