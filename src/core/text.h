// The program's text helpers: numbers as text for commands, traces and files; the
// tester's answer lines; and the pieces of the data files' KEY=value,value lines.
#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>
#include <array>
#include <optional>

namespace celvio {

// A number as text with a blank in front of non-negative values: 62 -> " 62",
// -60 -> "-60", 1.5 -> " 1.5".
QString Str(qint64 value);
QString Str(double value);
QString Str(float value);

// The shortest decimal form of a number without a leading blank (2, 1.5, -0.25).
QString NumberText(double value);
// Single-precision values (attenuations) are written with the digits they hold: 1.1f -> 1.1.
QString NumberText(float value);

// CR LF.
inline const QString kCrLf = QStringLiteral("\r\n");

// Time of day as "hh:mm:ss".
QString TimeText(const QTime& time);

// Which of day and month a numeric date begins with.
enum class DateOrder { DayFirst, MonthFirst };

// The order of the locale's short date format: the one of day and month it begins
// with. A format that begins with the year (or names neither) gives day first.
DateOrder RegionalDateOrder(const QLocale& locale);

// The date as the program writes it on the result pages, in result files and their
// names, on printed reports and in scan.log: digits in fixed columns whatever the
// locale, day and month at characters 1-2 and 4-5, the year with four digits.
// Day first: "08.12.2026"; month first: "12/08/2026". The separator tells the order,
// so a reader never has to guess it from a day and a month that are both 12 or less.
QString DateText(const QDate& date, DateOrder order);
QString DateText(const QDate& date, const QLocale& locale);

// The answer up to its first CR or LF: a tester may end a line with CR LF or with LF
// alone, and nothing of the line end belongs to the value.
QString AnswerLine(const QString& answer);

// The integer part of x + 0.5: halves round upwards (2.5 -> 3, -2.5 -> -2).
// Rounded on the double: never converted to an integer type, so any value is safe.
double RoundHalfUp(double x);

// The text with every space (code 32) removed; tabs stay.
QString StripSpaces(const QString& text);

// The text before the first "=", or empty when there is none.
QString KeyPart(const QString& text);

// The text after the first "=", or when there is none after the first ","; empty
// when neither occurs.
QString ValuePart(const QString& text);

// The values of a key line.
using ValueSlots = std::array<QString, 10>;

// Splits what follows the first "=" (the whole text when there is none) at commas
// into the ten slots; the slots not reached are empty, text beyond the tenth is
// dropped.
ValueSlots SplitValues(const QString& text);

// The number at the start of a line (ReadNumber: blanks skipped, so it is the number
// of the line stripped of its spaces) rounded to a 32-bit integer; nullopt when it
// does not fit 32 bits. 0 when the line does not begin with a number.
std::optional<qint32> LeadingInteger(QStringView text);
std::optional<qint32> LeadingInteger(QByteArrayView latin1);

// The number at the start of `text`; 0 when there is none or it is out of range.
double NumericValue(QStringView text);

}  // namespace celvio
