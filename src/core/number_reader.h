// The one number reader of the program: the numeric prefix of a text, as the settings
// file, the coupler file, the data files and the tester's answers hold numbers.
//
//   ReadNumber(" 12.5 dBm")  -> 12.5     ReadNumber("- 1 2")   -> -12
//   ReadNumber("1.5E3")      -> 1500     ReadNumber("&H1F")    -> 31
//   ReadNumber("&O17")       -> 15       ReadNumber("abc")     -> 0
//   ReadNumber("30,31")      -> 30       ReadNumber("")        -> 0
//
// Then round the value to the width of the field it goes to with RoundToByte,
// RoundToInt16 or RoundToInt32: to the nearest whole number, halves to the even one
// (2.5 -> 2, 3.5 -> 4, -0.5 -> 0). A value outside the width is an overflow: the
// functions return false and leave the target as it was, instead of wrapping round.
#pragma once

#include <QStringView>
#include <QtGlobal>

namespace celvio {

// The numeric prefix of `text`:
// - blanks and tabs are skipped anywhere, also between the digits ("1 000" is 1000);
// - an optional sign "+" or "-", digits with an optional decimal point "." (never a
//   comma), and an optional exponent: "E" or "D" (either case), an optional sign and
//   digits ("2E3", "2.5e-1", "1D2");
// - or, instead of all that, "&H" followed by hexadecimal digits or "&O" followed by
//   octal digits (either case): a non-negative whole number ("&HFF" is 255);
// - reading stops at the first character that cannot continue the number; an
//   exponent mark without digits after it is not part of the number ("5E" is 5);
// - a text without digits gives 0.
// A number too large for a double gives +/- infinity (which no rounding accepts).
// When `consumed` is given, it receives the count of characters from the start of
// `text` up to the end of the number (0 when there is no number).
double ReadNumber(QStringView text, qsizetype* consumed = nullptr);

// Rounding to a field width, halves to even. Each returns false for a value outside
// the width (or not a number) and then leaves `out` unchanged.
bool RoundToByte(double value, quint8& out);    // 0 .. 255
bool RoundToInt16(double value, qint16& out);   // -32768 .. 32767
bool RoundToInt32(double value, qint32& out);   // -2147483648 .. 2147483647

// Round half to even, without a range check (the result is a whole double).
double RoundHalfEven(double value);

}  // namespace celvio
