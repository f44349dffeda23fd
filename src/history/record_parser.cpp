#include "history/record_parser.h"
#include "record/file_dates.h"

#include <QStringList>

namespace celvio {

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
        record.Date = QDate::fromString(record.DateText, QStringLiteral("yyyyMMdd"));
        if (!IsPlausibleStationDate(record.Date))
            record.Date = QDate();  // kept as its text
        if (!out.SwapFile)
            record.Result = parts[5].trimmed();
        out.Records.append(record);
    }
    return true;
}

}  // namespace celvio
