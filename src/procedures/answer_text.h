// Reading the tester's answers: the answer line without its line end, and the
// rounding of measured values. Numbers are read with ReadNumber (core/number_reader.h).
#pragma once

#include <QString>

namespace celvio {

// The answer up to its first CR or LF: a tester may end a line with CR LF or with LF
// alone, and nothing of the line end belongs to the value.
QString AnswerLine(const QString& answer);

// The integer part of x + 0.5: halves round upwards (2.5 -> 3, -2.5 -> -2).
// Rounded on the double: never converted to an integer type, so any value is safe.
double RoundHalfUp(double x);

}  // namespace celvio
