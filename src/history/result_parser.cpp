#include "history/result_parser.h"

#include "core/training_mark.h"

#include <QStringList>
#include <array>
#include <cstdlib>

namespace celvio {

namespace {

const QString kTitle = QStringLiteral("TEST REPORT - CELVIO : ");

// The file's lines: Latin-1, ended by CR LF, LF or a lone CR.
QStringList Lines(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// The text after `key` up to `stop` (or the end), trimmed; empty when `key` is missing.
QString Between(const QString& line, const QString& key, const QString& stop = QString())
{
    const qsizetype at = line.indexOf(key);
    if (at < 0)
        return QString();
    const qsizetype from = at + key.size();
    const qsizetype end = stop.isEmpty() ? -1 : line.indexOf(stop, from);
    return (end < 0 ? line.mid(from) : line.mid(from, end - from)).trimmed();
}

// A free text stored in pieces of 50 after its label line ("----" when empty): the
// pieces up to the next blank line, joined as they were cut.
QString FreeText(const QStringList& lines, qsizetype& i, const QString& rest)
{
    if (rest.trimmed() == QLatin1String("----"))
        return QString();
    QString text = rest.trimmed();
    while (i + 1 < lines.size() && !lines[i + 1].isEmpty()) {
        ++i;
        if (lines[i] == QLatin1String("----") && text.isEmpty())
            continue;
        text += lines[i];
    }
    return text;
}

struct QuantityAlias {
    const char* prefix;  // Latin-1/UTF-8 text the row name begins with
    const char* name;
};

// Longest first, so that "Phasenfehler Spitze" is not taken for "Phasenfehler".
const std::array<QuantityAlias, 20> kQuantities{{
    {"Phase Error Peak", "Phase Error Peak"},
    {"Phasenfehler Spitze", "Phase Error Peak"},
    {"Phase Error RMS", "Phase Error RMS"},
    {"Phasenfehler", "Phase Error RMS"},
    {"Frequency Error", "Frequency Error"},
    {"Frequenzfehler", "Frequency Error"},
    {"Burst Length", "Burst Length"},
    {"Burst L\xC3\xA4nge", "Burst Length"},
    {"Power-Time Template", "Power-Time Template"},
    {"Leistungs-Zeit-Maske", "Power-Time Template"},
    {"RX Level", "RX Level"},
    {"RX Pegel", "RX Level"},
    {"RX Quality", "RX Quality"},
    {"RX Qualit\xC3\xA4t", "RX Quality"},
    {"TX Power", "TX Power"},
    {"MS Leistung", "TX Power"},
    {"Call From Mobile", "Call From Mobile"},
    {"Dialled Number", "Dialled Number"},
    {"Call From Base Station", "Call From Base Station"},
    {"Speech Loopback", "Speech Loopback"},
}};

bool IsBasicFunction(const QString& quantity)
{
    return quantity == QLatin1String("Call From Mobile") || quantity == QLatin1String("Call From Base Station") ||
           quantity == QLatin1String("Speech Loopback");
}

// A row "Name : value ( limit )": the value with its mark, and the limit.
void ReadRow(const QString& line, int channel, int band, QList<MarkedValue>& marks)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return;
    const QString rowName = line.left(colon).trimmed();
    QString rest = line.mid(colon + 1);
    QString limit;
    const qsizetype bracket = rest.indexOf(QLatin1Char('('));
    if (bracket >= 0) {
        limit = rest.mid(bracket + 1);
        if (limit.endsWith(QLatin1Char(')')))
            limit.chop(1);
        limit = limit.trimmed();
        rest = rest.left(bracket);
    }
    QString value = rest.trimmed();
    if (value.isEmpty() || (value[0] != QLatin1Char('*') && value[0] != QLatin1Char('!')))
        return;
    MarkedValue mark;
    mark.Mark = value[0];
    mark.Value = value.mid(1).trimmed();
    mark.RowName = rowName;
    mark.Quantity = QuantityName(rowName);
    mark.Channel = channel;
    mark.Band = band;
    mark.Limit = limit;
    marks.append(mark);
}

}  // namespace

QString QuantityName(const QString& rowName)
{
    for (const QuantityAlias& alias : kQuantities) {
        if (rowName.startsWith(QString::fromUtf8(alias.prefix)))
            return QString::fromLatin1(alias.name);
    }
    return rowName;
}

bool IsPlausibleStationDate(const QDate& date)
{
    return date.isValid() && date.year() >= kFirstStationYear && date.year() <= kLastStationYear;
}

QDate ReadShortDate(const QString& text, const QDate& near, DateOrder order)
{
    // Each form, and the order of day and month it reads where another form could read
    // the same text the other way. A dotted date is day first in every locale;
    // "d MMM yyyy" ("8 Dec 2026", the month's name in English) is what a machine
    // without a regional setting once wrote.
    enum class Reads { DayFirst, MonthFirst, NoDoubt };
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
    const Reads otherOrder = order == DateOrder::MonthFirst ? Reads::DayFirst : Reads::MonthFirst;
    auto distance = [&near](const QDate& date) { return near.isValid() ? std::llabs(date.daysTo(near)) : 0LL; };
    const QString trimmed = text.trimmed();
    QDate best;
    int bestRank = 0;
    for (const Form& form : forms) {
        QDate date = QDate::fromString(trimmed, QString::fromLatin1(form.format));
        if (!date.isValid())
            continue;
        // A two-digit year is of this century.
        if (!QByteArray(form.format).contains("yyyy") && date.year() < 2000)
            date = date.addYears(100);
        // "0712.2.6" reads as the year 712 by the four-digit forms: no counter PC's
        // clock ever said so, and such a reading must not hide a sound one.
        if (!IsPlausibleStationDate(date))
            continue;
        // "08/12/2026" reads both ways. A reading within a day of the file's own time
        // shows that the file was not copied since it was written, and wins. Otherwise
        // the regional order of day and month decides, never the day of a copy or a
        // restore. The nearer reading settles what is left ("26-12-07").
        const int rank = near.isValid() && distance(date) <= 1 ? 0 : form.reads == otherOrder ? 2 : 1;
        if (!best.isValid() || rank < bestRank || (rank == bestRank && distance(date) < distance(best))) {
            best = date;
            bestRank = rank;
        }
    }
    return best;
}

const char* VerdictName(ResultVerdict verdict)
{
    switch (verdict) {
    case ResultVerdict::Passed: return "passed";
    case ResultVerdict::Failed: return "failed";
    case ResultVerdict::Aborted: return "aborted";
    case ResultVerdict::None: break;
    }
    return "swap";
}

bool ParseResultFile(const QByteArray& fileBytes, const QDate& fileDate, ParsedResult& out, QString* reason,
                     DateOrder order)
{
    // A file written in training begins with its marking line.
    const QByteArray bytes = WithoutTrainingMark(fileBytes);
    out = ParsedResult{};
    auto fail = [&](const char* why) {
        if (reason)
            *reason = QString::fromLatin1(why);
        return false;
    };
    if (!bytes.startsWith(kTitle.toLatin1()))
        return fail("not a result file");
    if (bytes.contains('\0'))
        return fail("binary data in the file");
    const QStringList lines = Lines(bytes);
    out.Version = lines[0].mid(kTitle.size()).trimmed();

    bool overall = false;
    bool measurements = false;
    int channel = 0;
    int blocks = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty())
            continue;
        if (measurements) {
            if (line.startsWith(QLatin1String("Traffic Channel"))) {
                // Channels are counted from 0: a block headed by anything else (a damaged
                // or hand-edited file) keeps its marks, with the channel unknown (0).
                bool number = false;
                channel = Between(line, QStringLiteral(":")).toInt(&number);
                if (!number || channel < 0)
                    channel = 0;
                ++blocks;
            } else {
                ReadRow(line, blocks == 0 ? 0 : channel, blocks > 3 ? 2 : 1, out.Marks);
            }
            continue;
        }
        if (line.startsWith(QLatin1String("Date: ")) && out.DateText.isEmpty()) {
            out.DateText = Between(line, QStringLiteral("Date: "), QStringLiteral("Time: "));
            out.TimeText = Between(line, QStringLiteral("Time: "));
        } else if (line.startsWith(QLatin1String("OVERALL TEST RESULT:"))) {
            overall = true;
            out.Verdict = Between(line, QStringLiteral(":")) == QLatin1String("Passed") ? ResultVerdict::Passed
                                                                                        : ResultVerdict::Failed;
        } else if (line.startsWith(QLatin1String("Mobile phone not tested. Swapped direct."))) {
            out.Kind = ResultKind::DirectSwap;
        } else if (line.contains(QLatin1String("MOBILE TESTER")) && line.contains(QLatin1Char(':'))) {
            out.TesterModel = Between(line, QStringLiteral(": "), QStringLiteral("Serial Number:"));
            out.TesterSerial = Between(line, QStringLiteral("Serial Number:"));
        } else if (line.trimmed().startsWith(QLatin1String("Firmware Version:"))) {
            out.Firmware = Between(line, QStringLiteral("Firmware Version:"));
        } else if (line.startsWith(QLatin1String("MOBILE TELEPHONE"))) {
            out.Model = Between(line, QStringLiteral(": "), QStringLiteral("Cellular System:"));
            out.System = Between(line, QStringLiteral("Cellular System:"));
        } else if (line.trimmed().startsWith(QLatin1String("IMEI:"))) {
            out.Imei = Between(line, QStringLiteral("IMEI:"), QStringLiteral("IMSI:"));
            out.Imsi = Between(line, QStringLiteral("IMSI:"));
        } else if (line.startsWith(QLatin1String("OLD MOBILE IMEI:"))) {
            out.OldImei = Between(line, QStringLiteral("IMEI:"));
        } else if (line.startsWith(QLatin1String("NEW MOBILE IMEI:"))) {
            out.Imei = Between(line, QStringLiteral("IMEI:"));
        } else if (line.startsWith(QLatin1String("Customer fault description:"))) {
            out.FaultDescription = FreeText(lines, i, Between(line, QStringLiteral("description:")));
        } else if (line.startsWith(QLatin1String("Swap comment :"))) {
            out.FaultDescription = FreeText(lines, i, Between(line, QStringLiteral("comment :")));
        } else if (line.contains(QLatin1String("Mobile Connected Via"))) {
            const QString via = Between(line, QStringLiteral(":"));
            const qsizetype at = via.lastIndexOf(QLatin1String("Coupler "));
            out.Coupler = at < 0 ? via : via.mid(at + 8).trimmed();
        } else if (line.startsWith(QLatin1String("Call From Mobile"))) {
            measurements = true;
            ReadRow(line, 0, 1, out.Marks);
        }
    }

    out.Time = QTime::fromString(out.TimeText, QStringLiteral("hh:mm:ss"));
    if (!out.Time.isValid())
        out.Time = QTime::fromString(out.TimeText, QStringLiteral("h:mm"));
    out.Date = ReadShortDate(out.DateText, fileDate, order);

    if (out.Kind == ResultKind::DirectSwap) {
        out.Verdict = ResultVerdict::None;
        if (out.Imei.isEmpty() && out.OldImei.isEmpty())
            return fail("direct swap without IMEIs");
        return true;
    }
    if (!overall)
        return fail("no overall test result");
    if (out.Imei.isEmpty())
        return fail("no IMEI");
    if (out.Verdict == ResultVerdict::Failed) {
        bool basic = false;
        bool anyFailed = false;
        for (const MarkedValue& mark : out.Marks) {
            if (mark.Mark != QLatin1Char('*'))
                continue;
            anyFailed = true;
            basic = basic || IsBasicFunction(mark.Quantity);
        }
        if (basic || !anyFailed)
            out.Verdict = ResultVerdict::Aborted;
    }
    return true;
}

}  // namespace celvio
