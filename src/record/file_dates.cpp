#include "record/file_dates.h"

#include <QByteArray>
#include <QList>
#include <cstdlib>

namespace celvio {

bool IsPlausibleStationDate(const QDate& date)
{
    return date.isValid() && date.year() >= kFirstStationYear && date.year() <= kLastStationYear;
}

namespace {

// Each form, and the order of day and month it reads where another form could read
// the same text the other way.
enum class Reads { DayFirst, MonthFirst, NoDoubt };

struct Candidate {
    QDate date;
    Reads reads;
};

// Up to two ASCII digits, or exactly `width` when it is given; -1 when there are none.
int Digits(QStringView text, qsizetype& at, int width = 0)
{
    int value = 0;
    int n = 0;
    while (at < text.size() && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9') &&
           (width ? n < width : n < 2)) {
        value = value * 10 + (text[at].unicode() - '0');
        ++at;
        ++n;
    }
    return n == 0 || (width && n != width) ? -1 : value;
}

// The numeric forms "d.M.yy", "d.M.yyyy", "M/d/yy", "d/M/yy", "M/d/yyyy", "d/M/yyyy"
// read by hand, in the order of the forms below (the history reads a hundred thousand
// files at a time); false for any other text, which the forms then read.
bool ReadNumericDate(QStringView text, QList<Candidate>& out)
{
    qsizetype at = 0;
    const int a = Digits(text, at);
    if (a < 0 || at >= text.size() || (text[at] != QLatin1Char('.') && text[at] != QLatin1Char('/')))
        return false;
    const QChar separator = text[at++];
    const int b = Digits(text, at);
    if (b < 0 || at >= text.size() || text[at] != separator)
        return false;
    ++at;
    const qsizetype yearAt = at;
    int year = Digits(text, at, 4);
    if (year < 0) {
        at = yearAt;
        year = Digits(text, at, 2);
        if (year < 0)
            return false;
        year += 2000;  // a two-digit year is of this century
    }
    if (at != text.size())
        return false;
    if (separator == QLatin1Char('.')) {
        out.append({QDate(year, b, a), Reads::NoDoubt});
    } else {
        out.append({QDate(year, a, b), Reads::MonthFirst});
        out.append({QDate(year, b, a), Reads::DayFirst});
    }
    return true;
}

// Every reading of the text by the forms, in their order.
QList<Candidate> Readings(const QString& text)
{
    // A dotted date is day first in every locale; "d MMM yyyy" ("8 Dec 2026", the
    // month's name in English) is what a machine without a regional setting once wrote.
    struct Form {
        const char* format;
        Reads reads;
    };
    static const Form forms[] = {
        {"M/d/yy", Reads::MonthFirst}, {"d.M.yy", Reads::NoDoubt},     {"d/M/yy", Reads::DayFirst},
        {"yyyy-MM-dd", Reads::NoDoubt}, {"d.M.yyyy", Reads::NoDoubt},  {"M/d/yyyy", Reads::MonthFirst},
        {"d/M/yyyy", Reads::DayFirst},  {"yy-MM-dd", Reads::NoDoubt},  {"d-M-yy", Reads::NoDoubt},
        {"d-M-yyyy", Reads::NoDoubt},   {"yyyy/M/d", Reads::NoDoubt},  {"yyyy.M.d", Reads::NoDoubt},
        {"d MMM yyyy", Reads::NoDoubt}};
    QList<Candidate> out;
    if (ReadNumericDate(text, out))
        return out;
    for (const Form& form : forms) {
        QDate date = QDate::fromString(text, QString::fromLatin1(form.format));
        if (!date.isValid())
            continue;
        // A two-digit year is of this century.
        if (!QByteArray(form.format).contains("yyyy") && date.year() < 2000)
            date = date.addYears(100);
        out.append({date, form.reads});
    }
    return out;
}

}  // namespace

QDate ReadShortDate(const QString& text, const QDate& near, DateOrder order)
{
    const Reads otherOrder = order == DateOrder::MonthFirst ? Reads::DayFirst : Reads::MonthFirst;
    auto distance = [&near](const QDate& date) { return near.isValid() ? std::llabs(date.daysTo(near)) : 0LL; };
    QDate best;
    int bestRank = 0;
    for (const Candidate& c : Readings(text.trimmed())) {
        // "0712.2.6" reads as the year 712 by the four-digit forms: no counter PC's
        // clock ever said so, and such a reading must not hide a sound one.
        if (!c.date.isValid() || !IsPlausibleStationDate(c.date))
            continue;
        // "08/12/2026" reads both ways. A reading within a day of the file's own time
        // shows that the file was not copied since it was written, and wins. Otherwise
        // the regional order of day and month decides, never the day of a copy or a
        // restore. The nearer reading settles what is left ("26-12-07").
        const int rank = near.isValid() && distance(c.date) <= 1 ? 0 : c.reads == otherOrder ? 2 : 1;
        if (!best.isValid() || rank < bestRank || (rank == bestRank && distance(c.date) < distance(best))) {
            best = c.date;
            bestRank = rank;
        }
    }
    return best;
}

}  // namespace celvio
