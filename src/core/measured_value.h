// Numbers that come from the tester and the limits they are judged against. A value
// that is not a number at all ("NAN", "INF", an empty field), not finite ("1E400"), or
// outside the range the quantity can physically have (9.91E37, the "not a number" of
// SCPI instruments, or 1E19) is unusable: it never passes a limit, and it is never
// converted to an integer type (such a conversion overflows).
#pragma once

#include <QString>
#include <QStringView>

namespace celvio {

// One field of a tester answer as read.
struct MeasuredValue {
    double value = 0;     // the number, meaningful only when usable
    bool usable = false;  // a finite number inside the quantity's range
    QString text;         // the field as read, without blanks and line ends around it
};

// The physical range of a quantity, inclusive.
struct QuantityRange {
    double lowest;
    double highest;
};

// Ranges of the quantities the tester reports. Wide enough for any real reading of a
// working or faulty phone, far below the instrument's "not a number".
inline constexpr QuantityRange kPowerRangeDbm{-200, 200};
inline constexpr QuantityRange kPhaseRangeDeg{-360, 360};
inline constexpr QuantityRange kFrequencyRangeHz{-10e6, 10e6};
inline constexpr QuantityRange kBurstRangeUs{0, 100000};
inline constexpr QuantityRange kRxLevelRange{0, 255};
inline constexpr QuantityRange kRxQualityRange{0, 255};

// Reads one field: the whole field must be one number (ReadNumber form) with nothing
// but blanks, tabs, CR and LF around it, finite and inside `range`.
MeasuredValue ReadMeasured(QStringView field, QuantityRange range);

// True when the value fails the limits lowest..highest (inclusive bounds pass). An
// unusable value always fails. The comparison is made in floating point.
bool OutsideLimits(const MeasuredValue& v, double lowest, double highest);

// The cell text of a value: the rounded whole number when usable ("33", "-38"),
// otherwise the field as read ("9.91E37", "NAN"), or "?" for an empty field.
QString RoundedText(const MeasuredValue& v);

// A status word (a register of the tester): usable when it is a whole number 0..65535.
// `bits` receives it; an unusable word leaves it 0 and returns false.
bool ReadStatusWord(QStringView answer, quint16& bits);

}  // namespace celvio
