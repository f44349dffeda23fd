#include "core/text.h"

#include "core/number_reader.h"

#include <QTime>
#include <cmath>

namespace celvio {

QString Str(qint64 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString NumberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

QString NumberText(float value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(double(value), 'g', 7);
}

QString Str(float value)
{
    const QString text = NumberText(value);
    return value < 0 ? text : QLatin1Char(' ') + text;
}

QString Str(double value)
{
    const QString text = NumberText(value);
    return value < 0 ? text : QLatin1Char(' ') + text;
}

QString TimeText(const QTime& time)
{
    return time.toString(QStringLiteral("hh:mm:ss"));
}

DateOrder RegionalDateOrder(const QLocale& locale)
{
    // The first field letter outside quoted literal text decides.
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('M'))
            return DateOrder::MonthFirst;
        else if (!quoted && (c == QLatin1Char('d') || c == QLatin1Char('y')))
            return DateOrder::DayFirst;
    }
    return DateOrder::DayFirst;
}

QString DateText(const QDate& date, DateOrder order)
{
    // QDate::toString with a format writes ASCII digits in every locale.
    return date.toString(order == DateOrder::MonthFirst ? QStringLiteral("MM/dd/yyyy") : QStringLiteral("dd.MM.yyyy"));
}

QString DateText(const QDate& date, const QLocale& locale)
{
    return DateText(date, RegionalDateOrder(locale));
}

QString AnswerLine(const QString& answer)
{
    qsizetype end = 0;
    while (end < answer.size() && answer[end] != QLatin1Char('\r') && answer[end] != QLatin1Char('\n'))
        ++end;
    return answer.left(end);
}

double RoundHalfUp(double x)
{
    return std::floor(x + 0.5);
}

QString StripSpaces(const QString& text)
{
    if (!text.contains(QLatin1Char(' ')))
        return text;
    QString stripped = text;
    stripped.remove(QLatin1Char(' '));
    return stripped;
}

QString KeyPart(const QString& text)
{
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : text.left(equals);
}

QString ValuePart(const QString& text)
{
    qsizetype at = text.indexOf(QLatin1Char('='));
    if (at < 0)
        at = text.indexOf(QLatin1Char(','));
    return at < 0 ? QString() : text.mid(at + 1);
}

ValueSlots SplitValues(const QString& text)
{
    ValueSlots values;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    QStringView rest = equals < 0 ? QStringView(text) : QStringView(text).mid(equals + 1);
    for (QString& slot : values) {
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        if (comma < 0) {
            slot = rest.toString();
            break;
        }
        slot = rest.left(comma).toString();
        rest = rest.mid(comma + 1);
    }
    return values;
}

std::optional<qint32> LeadingInteger(QStringView text)
{
    qint32 value = 0;
    if (!RoundToInt32(ReadNumber(text), value))
        return std::nullopt;
    return value;
}

std::optional<qint32> LeadingInteger(QByteArrayView latin1)
{
    // The lines of a TAC table nearly all begin with a short whole number followed by
    // "," or "=": read those here, without making a text of the line. Anything else
    // (a decimal point, an exponent, "&H", ten digits or more) goes to ReadNumber.
    const qsizetype size = latin1.size();
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < size && (latin1[i] == ' ' || latin1[i] == '\t'))
            ++i;
    };
    const auto isDigit = [&](qsizetype k) { return k < size && latin1[k] >= '0' && latin1[k] <= '9'; };
    skipBlanks();
    bool negative = false;
    if (i < size && (latin1[i] == '+' || latin1[i] == '-')) {
        negative = latin1[i] == '-';
        ++i;
        skipBlanks();
    }
    qint32 value = 0;
    int digits = 0;
    for (; isDigit(i) && digits < 9; ++i, skipBlanks(), ++digits)
        value = value * 10 + (latin1[i] - '0');
    const char next = i < size ? latin1[i] : '\0';
    const bool ends = !isDigit(i) && next != '.' && next != 'E' && next != 'e' && next != 'D' && next != 'd';
    if (digits > 0 && ends)
        return negative ? -value : value;
    if (digits == 0 && next != '.' && next != '&')
        return 0;
    return LeadingInteger(QString::fromLatin1(latin1));
}

double NumericValue(QStringView text)
{
    const double value = ReadNumber(text);
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace celvio
