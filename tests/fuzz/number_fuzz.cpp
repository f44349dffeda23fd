// The number reader and the roundings to field widths: the numbers of every data file
// and tester answer go through them.
//
// Checks: the count of characters read lies within the text; a text without a number
// reads 0; blanks and tabs do not change the value; a finite value printed with 17
// digits reads back exactly; each rounding succeeds exactly when the rounded value
// fits its width, and leaves its target alone when it does not.
#include "fuzz_support.h"

#include "core/number_reader.h"

#include <cmath>

using namespace celvio;
using celvio::fuzz::Check;

namespace {

template <typename T>
void CheckRounding(double value, bool (*round)(double, T&), double lowest, double highest, const QString& text)
{
    T out = T(17);
    const bool ok = round(value, out);
    const double rounded = std::isfinite(value) ? RoundHalfEven(value) : value;
    const bool fits = std::isfinite(value) && rounded >= lowest && rounded <= highest;
    Check(ok == fits, "a rounding accepts exactly the values that fit its width", text);
    if (ok)
        Check(double(out) == rounded, "a rounding stores the value rounded half to even", text);
    else
        Check(out == T(17), "a rounding that fails leaves its target alone", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::Text(data, size);
    qsizetype consumed = -1;
    const double value = ReadNumber(text, &consumed);
    Check(!std::isnan(value), "a number read is never NaN", text);
    Check(consumed >= 0 && consumed <= text.size(), "the characters read lie within the text", text);
    if (consumed == 0)
        Check(value == 0, "a text without a number reads 0", text);

    QString bare = text;
    bare.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    const double bareValue = ReadNumber(bare);
    Check(bareValue == value, "blanks and tabs do not change the value", text);

    if (std::isfinite(value)) {
        const QString printed = QString::number(value, 'g', 17);
        Check(ReadNumber(printed) == value, "a finite value printed with 17 digits reads back exactly",
              text + QStringLiteral(" -> ") + printed);
        const double even = RoundHalfEven(value);
        Check(even == std::floor(even) && std::fabs(even - value) <= 0.5, "RoundHalfEven gives the nearest whole number",
              text);
    }
    CheckRounding<quint8>(value, RoundToByte, 0, 255, text);
    CheckRounding<qint16>(value, RoundToInt16, -32768, 32767, text);
    CheckRounding<qint32>(value, RoundToInt32, -2147483648.0, 2147483647.0, text);
    return 0;
}
