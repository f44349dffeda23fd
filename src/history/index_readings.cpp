#include "history/index_readings.h"

#include "history/history_index.h"
#include "history/index_sql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <charconv>
#include <climits>

namespace celvio {

namespace {

struct RowText {
    QString quantity, rowName, limit;
};

using index_sql::Fail;

bool ReadRowTexts(const QSqlDatabase& db, QHash<qint64, RowText>& out, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id, quantity, row_name, limit_text FROM reading_rows")))
        return Fail(error, q);
    while (q.next())
        out.insert(q.value(0).toLongLong(), RowText{q.value(1).toString(), q.value(2).toString(), q.value(3).toString()});
    return true;
}

// A whole number up to `stop` from `at`, moving past the stop; an empty one (attempts
// not known) reads 0.
bool Number(const QString& text, qsizetype& at, QChar stop, qint64& value)
{
    const qsizetype end = text.indexOf(stop, at);
    if (end < 0)
        return false;
    const QStringView field = QStringView(text).mid(at, end - at);
    at = end + 1;
    bool ok = field.isEmpty();
    value = ok ? 0 : field.toLongLong(&ok);
    return ok;
}

// The readings of a test's cells, with what their texts say; false when the text is
// damaged or names a row text the index does not have (a damaged or hand-edited index).
bool Readings(const QString& cells, const QHash<qint64, RowText>& texts, QList<IndexedReading>& out)
{
    QList<EncodedCell> encoded;
    if (!DecodeCells(cells, encoded))
        return false;
    out.reserve(encoded.size());
    for (const EncodedCell& c : encoded) {
        // A row text the index lacks, or one that names no quantity of the catalogue (the
        // index writes only those).
        const auto text = texts.constFind(c.RowText);
        const std::optional<RowId> row = text == texts.constEnd() ? std::nullopt : RowByName(text->quantity);
        if (!row)
            return false;
        IndexedReading r{text->quantity, text->rowName, c.Band, c.Channel, c.Value, std::nullopt, text->limit,
                         std::nullopt, std::nullopt, c.Outcome, c.Attempts};
        r.Number = ReadingNumber(*row, r.Value);
        const ReadingLimits limits = LimitsOfText(*row, r.Limit);
        r.Low = limits.Low;
        r.High = limits.High;
        out.append(r);
    }
    return true;
}

}  // namespace

void EncodeCell(QString& cells, const EncodedCell& cell)
{
    cells += QString::number(cell.RowText) + QString::fromUtf8(EncodedTail(cell));
}

QByteArray EncodedTail(const EncodedCell& cell)
{
    QByteArray tail;
    tail.reserve(40 + cell.Value.size() * 2);
    AppendEncodedTail(tail, cell.Band, cell.Channel, cell.Outcome, cell.Attempts, cell.Value);
    return tail;
}

void AppendNumber(QByteArray& out, qint64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

void AppendUtf8(QByteArray& out, const QString& text)
{
    // Most often plain ASCII, copied as it is; anything else through Qt's UTF-8.
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* to = out.data() + start;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            out.truncate(start);
            out.append(text.toUtf8());
            return;
        }
        *to++ = char(c.unicode());
    }
}

void AppendEncodedTail(QByteArray& out, int band, int channel, ReadingOutcome outcome, int attempts,
                       const QString& value)
{
    // The numbers and the code written into one piece first (the index writes millions);
    // each number takes 20 characters at most.
    char head[128];
    qsizetype size = 0;
    const auto put = [&head, &size](char c) { head[size++ & 127] = c; };
    const auto number = [&head, &size](qint64 n) {
        size = std::to_chars(head + size, head + std::min<qsizetype>(size + 21, 128), n).ptr - head;
    };
    put(',');
    number(band);
    put(',');
    number(channel);
    put(',');
    put(OutcomeCode(outcome));
    put(',');
    if (attempts > 0)
        number(attempts);
    // The length counts the value's characters, as the reader of the text counts them.
    put(',');
    number(value.size());
    put(':');
    out.append(head, size);
    AppendUtf8(out, value);
}

bool DecodeCells(const QString& cells, QList<EncodedCell>& out)
{
    qsizetype at = 0;
    while (at < cells.size()) {
        EncodedCell cell;
        qint64 band = 0, channel = 0, attempts = 0, length = 0;
        if (!Number(cells, at, QLatin1Char(','), cell.RowText) || !Number(cells, at, QLatin1Char(','), band) ||
            !Number(cells, at, QLatin1Char(','), channel) || at + 1 >= cells.size())
            return false;
        const std::optional<ReadingOutcome> outcome = OutcomeOfCode(cells[at]);
        at += 2;  // the code and its comma
        if (!outcome || !Number(cells, at, QLatin1Char(','), attempts) || !Number(cells, at, QLatin1Char(':'), length) ||
            length < 0 || at + length > cells.size())
            return false;
        // What the index writes: band 1 or 2, no negative channel or attempts.
        if ((band != 1 && band != 2) || channel < 0 || channel > INT_MAX || attempts < 0 || attempts > INT_MAX)
            return false;
        cell.Band = int(band);
        cell.Channel = int(channel);
        cell.Outcome = *outcome;
        cell.Attempts = int(attempts);
        cell.Value = cells.mid(at, length);
        at += length;
        out.append(cell);
    }
    return true;
}

bool ReadingsOfFiles(const QSqlDatabase& db, qint64 firstFile, qint64 lastFile,
                     QHash<qint64, QList<IndexedReading>>& byFile, QSet<qint64>& damagedFiles, QString* error)
{
    QHash<qint64, RowText> texts;
    if (!ReadRowTexts(db, texts, error))
        return false;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT t.file_id, r.cells FROM readings r JOIN tests t ON t.id = r.test_id"
                                  " WHERE t.file_id BETWEEN ? AND ?")))
        return Fail(error, q);
    q.bindValue(0, firstFile);
    q.bindValue(1, lastFile);
    if (!q.exec())
        return Fail(error, q);
    while (q.next()) {
        QList<IndexedReading> readings;
        if (Readings(q.value(1).toString(), texts, readings))
            byFile[q.value(0).toLongLong()] = readings;
        else
            damagedFiles.insert(q.value(0).toLongLong());
    }
    return true;
}

bool ReadingsOfTest(HistoryIndex& index, qint64 testId, QList<IndexedReading>& out, QString* error)
{
    out.clear();
    if (!index.IsOpen() && !index.Open(error))
        return false;
    QHash<qint64, RowText> texts;
    if (!ReadRowTexts(index.Database(), texts, error))
        return false;
    QSqlQuery q(index.Database());
    if (!q.prepare(QStringLiteral("SELECT cells FROM readings WHERE test_id = ?")))
        return Fail(error, q);
    q.bindValue(0, testId);
    if (!q.exec())
        return Fail(error, q);
    if (q.next() && !Readings(q.value(0).toString(), texts, out)) {
        out.clear();
        if (error)
            *error = QStringLiteral("the readings of test %1 in the index are damaged (celvio-history rebuild "
                                    "reads them again)").arg(testId);
        return false;
    }
    return true;
}

bool ReadAgain(HistoryIndex& index, const QSet<qint64>& fileIds, QString* error)
{
    // The way a change of layout has the files read again: the file's time and its
    // folder's time no longer match what is on disk.
    QSqlQuery file(index.Database()), folder(index.Database());
    if (!file.prepare(QStringLiteral("UPDATE files SET mtime = -1 WHERE id = ?")) ||
        !folder.prepare(QStringLiteral("UPDATE folders SET mtime = 0 WHERE path = (SELECT folder FROM files WHERE id = ?)")))
        return Fail(error, file.lastError().isValid() ? file : folder);
    for (const qint64 id : fileIds) {
        folder.bindValue(0, id);
        file.bindValue(0, id);
        if (!folder.exec())
            return Fail(error, folder);
        if (!file.exec())
            return Fail(error, file);
    }
    return true;
}

}  // namespace celvio
