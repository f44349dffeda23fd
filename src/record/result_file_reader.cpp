// The reader of the result file: the program's own files, read column by column, and
// those of older versions and other counter PCs (other blanks, LF or CR line ends,
// short dates), read by their keys. It never fails on bad input: a file that is not a
// result file comes back with a reason.
#include "record/file_dates.h"
#include "record/result_file_format.h"
#include "record/result_file_keys.h"
#include "record/result_row_reader.h"

#include <QList>

namespace celvio {

namespace {

using Line = QByteArrayView;

// The file's lines: Latin-1, ended by CR LF, LF or a lone CR.
QList<Line> Lines(Line bytes)
{
    QList<Line> lines;
    lines.reserve(80);
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.sliced(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.sliced(start));
    return lines;
}

Line Trimmed(Line text)
{
    return text.trimmed();
}

// The text after `key` up to `stop` (or the end), trimmed; empty when `key` is missing.
QString Between(Line line, Line key, Line stop = Line())
{
    const qsizetype at = line.indexOf(key);
    if (at < 0)
        return QString();
    const Line rest = line.sliced(at + key.size());
    const qsizetype end = stop.isEmpty() ? -1 : rest.indexOf(stop);
    return QString::fromLatin1(Trimmed(end < 0 ? rest : rest.first(end)));
}

// Two fields of one line in the program's own form (`first` opens the line, `second`
// follows the first field), exactly as written; false when the line is not in it.
bool ExactPair(Line line, FileKey first, FileKey second, QString& a, QString& b)
{
    const Line opening(KeyText(first).written);
    const Line middle(KeyText(second).written);
    if (!line.startsWith(opening))
        return false;
    const Line rest = line.sliced(opening.size());
    const qsizetype at = rest.indexOf(middle);
    if (at < 0)
        return false;
    a = QString::fromLatin1(rest.first(at));
    b = QString::fromLatin1(rest.sliced(at + middle.size()));
    return true;
}

// One field that opens its line in the program's own form, or after the key found.
QString Field(Line line, FileKey key)
{
    const Line written(KeyText(key).written);
    if (line.startsWith(written))
        return QString::fromLatin1(line.sliced(written.size()));
    return Between(line, Found(key));
}

// A free text stored in pieces of 50 after its label line: the pieces up to the next
// blank line, joined as they were cut. "----" beside the label (or, for the swap
// comment, alone below it) is an empty text.
QString FreeText(const QList<Line>& lines, qsizetype& i, Line rest, bool emptyBelow)
{
    const Line text = Trimmed(rest);
    if (text == Line(kEmptyText))
        return QString();
    QString out = QString::fromLatin1(text);
    if (emptyBelow && out.isEmpty() && i + 1 < lines.size() && lines[i + 1] == Line(kEmptyText)) {
        ++i;
        return QString();
    }
    while (i + 1 < lines.size() && !lines[i + 1].isEmpty())
        out += QString::fromLatin1(lines[++i]);
    return out;
}

// The system code of the name the file gives the system ("GSM900,1800" is "GSM,PCN").
QString SystemCode(const QString& name)
{
    static const std::pair<const char*, const char*> names[] = {{"GSM900", "GSM"},
                                                                {"GSM1800", "PCN"},
                                                                {"GSM1900", "PCS"},
                                                                {"GSM900,1800", "GSM,PCN"},
                                                                {"GSM900,1900", "GSM,PCS"}};
    for (const auto& [file, code] : names)
        if (name == QLatin1String(file))
            return QString::fromLatin1(code);
    return name;
}

// A whole number after the line's colon ("      Broadcast Channel: 30 ", "-60 dBm"),
// 0 when there is none or it does not fit 16 bits.
qint16 NumberAfterColon(Line line)
{
    const qsizetype colon = line.indexOf(':');
    Line text = Trimmed(colon < 0 ? Line() : line.sliced(colon + 1));
    if (text.endsWith("dBm"))
        text = Trimmed(text.chopped(3));
    bool ok = false;
    const int value = QString::fromLatin1(text).toInt(&ok);
    return ok && value >= -32768 && value <= 32767 ? qint16(value) : 0;
}

// "hh:mm:ss" as the program writes it (read by hand: the history reads a hundred
// thousand of them), or "h:mm".
QTime ReadTime(const QString& text)
{
    auto digit = [&text](qsizetype i) { return text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); };
    if (text.size() == 8 && text[2] == QLatin1Char(':') && text[5] == QLatin1Char(':') && digit(0) && digit(1) &&
        digit(3) && digit(4) && digit(6) && digit(7)) {
        auto two = [&text](qsizetype i) { return (text[i].unicode() - '0') * 10 + (text[i + 1].unicode() - '0'); };
        return QTime(two(0), two(3), two(6));  // invalid for 25:00:00, as the form would read it
    }
    QTime time = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    if (!time.isValid())
        time = QTime::fromString(text, QStringLiteral("h:mm"));
    return time;
}

// The header of the file, up to the calls. Returns true at the line that opens the
// measurement blocks.
struct HeaderState {
    bool overall = false;
    bool passed = false;
};

bool ReadHeaderLine(const QList<Line>& lines, qsizetype& i, CycleRecord& out, HeaderState& h)
{
    const Line line = lines[i];
    const Line trimmed = Trimmed(line);
    // The first call row ends the header, whatever its text holds: a value or limit
    // that happens to contain a header line's key (the coupler's, the tester's) is
    // still a call row's.
    if (line.startsWith(Found(FileKey::MobileCall)))
        return true;
    if (line.startsWith(Found(FileKey::Date)) && out.DateText.isEmpty()) {
        out.DateText = Between(line, Found(FileKey::Date), Found(FileKey::Time));
        out.TimeText = Between(line, Found(FileKey::Time));
    } else if (line.startsWith(Found(FileKey::Overall))) {
        h.overall = true;
        h.passed = Between(line, ":") == QLatin1String("Passed");
    } else if (line.startsWith(Found(FileKey::DirectSwap))) {
        out.Kind = RecordKind::DirectSwap;
    } else if (line.contains(Found(FileKey::Tester)) && line.contains(':')) {
        if (!ExactPair(line, FileKey::Tester, FileKey::Serial, out.TesterModel, out.TesterSerial)) {
            out.TesterModel = Between(line, ": ", Found(FileKey::Serial));
            out.TesterSerial = Between(line, Found(FileKey::Serial));
        }
    } else if (trimmed.startsWith(Found(FileKey::Firmware))) {
        out.TesterFirmware = Field(line, FileKey::Firmware);
    } else if (line.startsWith(Found(FileKey::Mobile))) {
        QString system;
        if (!ExactPair(line, FileKey::Mobile, FileKey::System, out.Model, system)) {
            out.Model = Between(line, ": ", Found(FileKey::System));
            system = Between(line, Found(FileKey::System));
        }
        out.SystemCode = SystemCode(system);
    } else if (trimmed.startsWith(Found(FileKey::Imei))) {
        if (!ExactPair(line, FileKey::Imei, FileKey::Imsi, out.Imei, out.Imsi)) {
            out.Imei = Between(line, Found(FileKey::Imei), Found(FileKey::Imsi));
            out.Imsi = Between(line, Found(FileKey::Imsi));
        }
    } else if (line.startsWith(Found(FileKey::OldImei))) {
        out.OldImei = Field(line, FileKey::OldImei);
    } else if (line.startsWith(Found(FileKey::NewImei))) {
        out.Imei = Field(line, FileKey::NewImei);
    } else if (line.startsWith(Found(FileKey::Fault))) {
        out.FaultDescription = FreeText(lines, i, line.sliced(Found(FileKey::Fault).size()), false);
    } else if (line.startsWith(Found(FileKey::SwapComment))) {
        out.SwapComment = FreeText(lines, i, line.sliced(Found(FileKey::SwapComment).size()), true);
    } else if (line.contains(Found(FileKey::Coupler))) {
        const Line written(KeyText(FileKey::Coupler).written);
        if (line.startsWith(written)) {
            out.Coupler = QString::fromLatin1(line.sliced(written.size()));
        } else {
            const QString via = Between(line, ":");
            const qsizetype at = via.lastIndexOf(QLatin1String("Coupler "));
            out.Coupler = at < 0 ? via : via.mid(at + 8).trimmed();
        }
    } else if (trimmed.startsWith(Found(FileKey::ControlChannel))) {
        out.ControlChannel = NumberAfterColon(line);
    } else if (trimmed.startsWith(Found(FileKey::GeneratorLevel))) {
        out.GeneratorLevel = NumberAfterColon(line);
    }
    return false;
}

// A test the file calls failed counts as aborted when a basic function failed (a call
// or the speech loopback) or when no reading failed at all (the test broke off before
// a value could fail).
TestVerdict FailedVerdict(const CycleRecord& r, const QList<CellRef>& cells)
{
    bool anyFailed = false;
    for (const CellRef& cell : cells) {
        if (r.At(cell.Band, cell.Row, cell.Column).Outcome != ReadingOutcome::Failed)
            continue;
        anyFailed = true;
        if (cell.Row == RowId::MobileCall || cell.Row == RowId::BaseCall || cell.Row == RowId::SpeechLoopback)
            return TestVerdict::Aborted;
    }
    return anyFailed ? TestVerdict::Failed : TestVerdict::Aborted;
}

}  // namespace

bool ReadResultFile(QByteArrayView bytes, const QDate& fileDate, CycleRecord& out, QString* reason,
                    DateOrder order, QList<CellRef>* cellsRead)
{
    out = CycleRecord{};
    out.Imei.clear();
    out.Imsi.clear();
    auto fail = [&](const char* why) {
        if (reason)
            *reason = QString::fromLatin1(why);
        return false;
    };
    if (!bytes.startsWith(Found(FileKey::Title)))
        return fail("not a result file");
    if (bytes.contains('\0'))
        return fail("binary data in the file");
    const QList<Line> lines = Lines(bytes);
    out.Version = QString::fromLatin1(lines[0].sliced(Found(FileKey::Title).size()));

    QList<CellRef> localCells;
    QList<CellRef>& cells = cellsRead ? *cellsRead : localCells;
    cells.clear();
    HeaderState header;
    qsizetype i = 1;
    for (; i < lines.size(); ++i) {
        if (!lines[i].isEmpty() && ReadHeaderLine(lines, i, out, header))
            break;
    }
    if (i < lines.size())
        ReadMeasurementRows(lines, i, out, cells);

    out.Time = ReadTime(out.TimeText);
    out.Date = ReadShortDate(out.DateText, fileDate, order);
    out.PhoneIdentified = !out.Imei.isEmpty() && out.Imei != kNotTestedText;

    if (out.Kind == RecordKind::DirectSwap) {
        if (out.Imei.isEmpty() && out.OldImei.isEmpty())
            return fail("direct swap without IMEIs");
        return true;
    }
    if (!header.overall)
        return fail("no overall test result");
    if (out.Imei.isEmpty())
        return fail("no IMEI");
    out.Verdict = header.passed ? TestVerdict::Passed : FailedVerdict(out, cells);
    return true;
}

}  // namespace celvio
