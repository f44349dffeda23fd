#include "history/record_parser.h"
#include "record/file_dates.h"

#include <QStringList>

namespace celvio {

namespace {

// A record's date, eight digits "yyyyMMdd": those of a real day read by hand (a record
// file has a line per phone handled), anything else as QDate::fromString reads it.
QDate DateOfRecord(const QString& text)
{
    const auto digit = [&text](qsizetype i) {
        return text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9') ? text[i].unicode() - '0' : -1;
    };
    if (text.size() == 8) {
        int parts[3] = {0, 0, 0};
        bool digits = true;
        for (qsizetype i = 0; i < 8 && digits; ++i) {
            const int d = digit(i);
            digits = d >= 0;
            int& part = parts[i < 4 ? 0 : i < 6 ? 1 : 2];
            part = part * 10 + d;
        }
        if (digits && QDate::isValid(parts[0], parts[1], parts[2]))
            return QDate(parts[0], parts[1], parts[2]);
    }
    return QDate::fromString(text, QStringLiteral("yyyyMMdd"));
}

}  // namespace

bool ParseHistoryRecords(const QByteArray& bytes, ParsedRecords& out, QString* reason)
{
    out = ParsedRecords{};
    auto fail = [&](const char* why) {
        if (reason)
            *reason = QString::fromLatin1(why);
        return false;
    };
    if (bytes.startsWith("IWRSWAP\t"))
        out.SwapFile = true;
    else if (!bytes.startsWith("IWRIMEI\t"))
        return fail("not a record file");
    if (bytes.contains('\0'))
        return fail("binary data in the file");

    QString text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QStringList header = lines[0].split(QLatin1Char('\t'));
    out.ServicePointId = header.value(2).trimmed();
    out.Created = header.value(3).trimmed();

    const QString tag = out.SwapFile ? QStringLiteral("SWAP") : QStringLiteral("IMEI");
    const int fields = out.SwapFile ? 5 : 6;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty() || line.startsWith(QLatin1String("# ")))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts[0] == QLatin1String("END")) {
            bool ok = false;
            const int count = parts.value(1).trimmed().toInt(&ok);
            out.EndCount = ok ? count : -1;
            continue;
        }
        if (parts[0] != tag || parts.size() != fields) {
            // Before the first record: a header field split off by a comma in a company
            // name. Anything else is a damaged line.
            if (!out.Records.isEmpty() || parts[0] == QLatin1String("SWAP") || parts[0] == QLatin1String("IMEI"))
                ++out.BadLines;
            continue;
        }
        SwapRecord record;
        record.Line = int(i + 1);
        record.SwapFile = out.SwapFile;
        record.OldImei = parts[1].trimmed();
        record.NewImei = parts[2].trimmed();
        record.ClubNumber = parts[3].trimmed();
        record.DateText = parts[4].trimmed();
        record.Date = DateOfRecord(record.DateText);
        if (!IsPlausibleStationDate(record.Date))
            record.Date = QDate();  // kept as its text
        if (!out.SwapFile)
            record.Result = parts[5].trimmed();
        out.Records.append(record);
    }
    return true;
}

}  // namespace celvio
