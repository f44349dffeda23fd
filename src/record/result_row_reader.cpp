#include "record/result_row_reader.h"

#include "core/text.h"
#include "record/result_file_keys.h"

#include "record/text_memo.h"

#include <array>

namespace celvio {

namespace {

using Line = QByteArrayView;

constexpr qsizetype kColonAt = kColonColumn - 1;  // 0-based positions in a line
constexpr qsizetype kValueAt = kValueColumn - 1;
constexpr qsizetype kLimitAt = kLimitColumn - 1;

bool Blank(Line text)
{
    for (const char c : text)
        if (c != ' ')
            return false;
    return true;
}

Line RightTrimmed(Line text)
{
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

// A line that carries on the row name of the line before it (a name too long for its
// column): blanks up to the colon.
bool NameGoesOn(Line line)
{
    return line.size() > kColonAt && line[kColonAt] == ':' && Blank(line.first(kColonAt));
}

// A line that holds the limit of a value too long for its column: blanks up to the
// limit's column.
bool LimitGoesOn(Line line)
{
    return line.size() >= kLimitAt && Blank(line.first(kLimitAt));
}

bool HasLimitColumn(RowId row)
{
    return !IsCallRow(row) || row == RowId::DialledNumber;
}

struct RowText {
    QString name;
    Line line;  // the line that holds the colon
    bool exact = false;  // in the program's own columns
};

// A row name as text; the same few names come in every file.
QString NameText(Line name)
{
    thread_local TextMemo<QString> known;
    return known.Get(name, [name] { return QString::fromLatin1(name); });
}

// The name of the row at line `i` (moving on when the name takes two lines); false
// for a line that is no row.
bool ReadName(const QList<Line>& lines, qsizetype& i, RowText& out)
{
    const Line line = lines[i];
    if (line.size() > kColonAt && line[kColonAt] == ':' && !Blank(line.first(kColonAt))) {
        out = RowText{NameText(RightTrimmed(line.first(kColonAt))), line, true};
        return true;
    }
    if (i + 1 < lines.size() && NameGoesOn(lines[i + 1]) && !line.contains(':')) {
        out = RowText{NameText(RightTrimmed(line)), lines[++i], true};
        return true;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    out = RowText{NameText(line.first(colon).trimmed()), line, false};
    return true;
}

// The value (with its mark) and the limit (with its brackets) of a row, as they stand
// in the file's lines.
void ReadValue(const QList<Line>& lines, qsizetype& i, const RowText& row, bool limitColumn, Line& value,
               Line& limit)
{
    const Line line = row.line;
    value = limit = Line();
    if (!row.exact) {
        const Line rest = line.sliced(line.indexOf(':') + 1);
        const qsizetype bracket = limitColumn ? rest.indexOf('(') : -1;
        value = (bracket < 0 ? rest : rest.first(bracket)).trimmed();
        if (bracket >= 0)
            limit = rest.sliced(bracket);
        return;
    }
    const Line after = line.size() > kValueAt ? line.sliced(kValueAt) : Line();
    if (!limitColumn) {
        value = after;
    } else if (line.size() > kLimitAt && i + 1 < lines.size() && LimitGoesOn(lines[i + 1])) {
        value = after;
        limit = lines[++i].sliced(kLimitAt);
    } else if (line.size() > kLimitAt) {
        value = RightTrimmed(line.sliced(kValueAt, kLimitAt - kValueAt));
        limit = line.sliced(kLimitAt);
    } else {
        value = RightTrimmed(after);
    }
}

// A whole number at `at` of a limit text, moving past it.
bool WholeNumber(const QString& text, qsizetype& at, qint64& value)
{
    const qsizetype start = at;
    if (at < text.size() && text[at] == QLatin1Char('-'))
        ++at;
    const qsizetype digits = at;
    while (at < text.size() && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9'))
        ++at;
    bool ok = false;
    value = text.mid(start, at - start).toLongLong(&ok);
    return at > digits && ok;
}

// The TX power range of the file ("31 - 35 dBm") as the page shows it (" 31 - 35 dBm").
QString PageRange(const QString& inner)
{
    QString range = inner.trimmed();
    if (range.endsWith(QLatin1String("dBm")))
        range = range.chopped(3).trimmed();
    if (range.isEmpty())
        return QString();
    qsizetype at = 0;
    qint64 low = 0, high = 0;
    if (!WholeNumber(range, at, low) || range.mid(at, 3) != QLatin1String(" - "))
        return inner.trimmed();
    at += 3;
    if (!WholeNumber(range, at, high) || at != range.size())
        return inner.trimmed();
    return Str(low) + QStringLiteral(" -") + Str(high) + QStringLiteral(" dBm");
}

// The limit inside the brackets the file puts around it, as the page shows it.
QString LimitText(RowId row, const QString& limit)
{
    const QuantityRow& q = Quantity(row);
    const QLatin1String open(q.limit == LimitForm::PowerRange ? "( " : q.fileOpen);
    QString inner;
    // "( )" both begins with "( " and ends with " )" on one shared blank: only a limit
    // long enough for both holds something between them.
    if (open.size() > 0 && limit.size() >= open.size() + 2 && limit.startsWith(open) &&
        limit.endsWith(QLatin1String(" )")))
        inner = limit.mid(open.size()).chopped(2);
    else if (const qsizetype bracket = limit.indexOf(QLatin1Char('(')); bracket >= 0)
        inner = limit.mid(bracket + 1).section(QLatin1Char(')'), 0, 0).trimmed();
    else
        inner = limit.trimmed();
    return q.limit == LimitForm::PowerRange ? PageRange(inner) : inner;
}

// The limits of a row from the limit the file shows; the same few come again and again,
// so each thread keeps those it has read.
ReadingLimits LimitsOf(RowId row, Line limit)
{
    thread_local std::array<TextMemo<ReadingLimits>, kRowCount> known;
    return known[size_t(row)].Get(limit, [row, limit] {
        return LimitsOfText(row, LimitText(row, QString::fromLatin1(limit)));
    });
}

// The reading a cell's text (mark and value) stands for, kept likewise: a station's
// values repeat ("Passed", "Not tested", the same few powers and levels).
Reading ReadingOf(RowId row, Line caption)
{
    thread_local std::array<TextMemo<Reading>, kRowCount> known;
    return known[size_t(row)].Get(caption,
                                  [row, caption] { return ReadingOfCaption(row, QString::fromLatin1(caption)); });
}

// The cells of a block taken so far, and where the block lies.
struct Block {
    int number = 0;  // 0 before the first traffic channel: the call rows
    std::array<bool, kRowCount> taken{};
    int Band() const { return number <= kChannelColumns ? 1 : 2; }
    int Column() const { return (number - 1) % kChannelColumns + 1; }
};

// The cell a row name of the block stands for: among the rows of its quantity (the TX
// power slots), the first the block's column lists, else the first shown there.
std::optional<RowId> CellOf(const QString& name, const Block& block)
{
    const std::optional<RowId> named = RowByName(name);
    if (!named || IsCallRow(*named) != (block.number == 0))
        return std::nullopt;
    if (block.number == 0)
        return block.taken[int(*named)] ? std::nullopt : named;
    const char* quantity = Quantity(*named).quantity;
    std::optional<RowId> shown;
    for (int r = 0; r < kFirstCallRow; ++r) {
        const RowId row = RowAt(r);
        if (block.taken[r] || qstrcmp(Quantity(row).quantity, quantity) != 0)
            continue;
        if (UseOf(row, block.Column()) == ColumnUse::Listed)
            return row;
        if (!shown)
            shown = row;
    }
    return shown;
}

void ReadChannel(Line line, const Block& block, CycleRecord& out)
{
    const qsizetype colon = line.indexOf(':');
    bool ok = false;
    const int channel = colon < 0 ? 0 : QString::fromLatin1(line.sliced(colon + 1).trimmed()).toInt(&ok);
    // Channels are counted from 0: a negative one or anything but a number (a damaged or
    // hand-edited file) is an unknown channel, 0.
    if (block.number <= 2 * kChannelColumns)
        out.TrafficChannels[(block.Band() - 1) * kChannelColumns + block.Column()] =
            ok && channel >= 0 && channel <= 32767 ? qint16(channel) : 0;
}

}  // namespace

void ReadMeasurementRows(const QList<QByteArrayView>& lines, qsizetype from, CycleRecord& out,
                         QList<CellRef>& cells)
{
    Block block;
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        if (lines[i].startsWith(Found(FileKey::TrafficChannel))) {
            block = Block{block.number + 1, {}};
            ReadChannel(lines[i], block, out);
            continue;
        }
        RowText row;
        if (!ReadName(lines, i, row))
            continue;
        const std::optional<RowId> cell = block.number <= 2 * kChannelColumns ? CellOf(row.name, block) : std::nullopt;
        Line value, limit;
        if (!cell) {
            ReadValue(lines, i, row, true, value, limit);
            continue;
        }
        ReadValue(lines, i, row, HasLimitColumn(*cell), value, limit);
        const int band = block.number == 0 ? 1 : block.Band();
        const int column = block.number == 0 ? 1 : block.Column();
        Reading& reading = out.At(band, *cell, column);
        reading = ReadingOf(*cell, value);
        reading.Limits = LimitsOf(*cell, limit);
        QString& rowName = out.Bands[band - 1].RowNames[int(*cell)];
        if (!IsCallRow(*cell) && rowName.isEmpty())
            rowName = row.name;
        block.taken[int(*cell)] = true;
        cells.append(CellRef{band, *cell, column});
    }
}

}  // namespace celvio
