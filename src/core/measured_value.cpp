#include "core/measured_value.h"

#include "core/number_reader.h"

#include <cmath>

namespace celvio {

namespace {

bool IsSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

QStringView Trimmed(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && IsSpace(text[from]))
        ++from;
    while (to > from && IsSpace(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

}  // namespace

MeasuredValue ReadMeasured(QStringView field, QuantityRange range)
{
    MeasuredValue v;
    const QStringView text = Trimmed(field);
    v.text = text.toString();
    if (text.isEmpty())
        return v;
    qsizetype consumed = 0;
    const double number = ReadNumber(text, &consumed);
    // Anything after the number ("33abc", "1,2") makes the field unreadable.
    if (consumed == 0 || !Trimmed(text.mid(consumed)).isEmpty())
        return v;
    v.value = number;
    v.usable = std::isfinite(number) && number >= range.lowest && number <= range.highest;
    return v;
}

bool OutsideLimits(const MeasuredValue& v, double lowest, double highest)
{
    if (!v.usable)
        return true;
    return !(v.value >= lowest && v.value <= highest);
}

QString RoundedText(const MeasuredValue& v)
{
    if (!v.usable)
        return v.text.isEmpty() ? QStringLiteral("?") : v.text;
    return QString::number(std::floor(v.value + 0.5), 'f', 0);
}

bool ReadStatusWord(QStringView answer, quint16& bits)
{
    bits = 0;
    const MeasuredValue v = ReadMeasured(answer, {0, 65535});
    if (!v.usable || v.value != std::floor(v.value))
        return false;
    bits = quint16(v.value);
    return true;
}

}  // namespace celvio
