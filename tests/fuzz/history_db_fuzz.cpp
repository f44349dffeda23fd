// The readers of the history index HISTORY.DB, on rows a damaged or foreign index may
// hold. Once per process a station with real result and swap record files is indexed
// (with the head office's acknowledgement tables); each run starts from a copy of that
// index, changes it by the edit operations the input spells (history_db_edits.h:
// values of any type and bytes, deleted, copied and inserted rows, dropped tables, the
// layout version, bytes of the file itself), and then runs every reader over it: the
// opening (replacement, migration), celvio-history's find, list, stats and export as
// the command runs them, the readings of each test, and the head office's gathering of
// a push (pending files, the batch, its COPY lines).
//
// Checks: the index opens on a station that may be written (what it cannot use is made
// anew), and one of a layout this program does not know comes up empty; every command
// ends with its result or a message (exit 0, 1 or 3, and 3 says why); JSON output parses,
// the CSV export has the header's twelve columns in every row; the readings of a test
// are given whole or refused with a message, never cut short; a push batch sends a test
// only with all its readings, and each COPY line has the table's columns; a rebuild
// always brings back the station's files.
#include "fuzz_support.h"
#include "history_db_edits.h"

#include "headoffice/upload_rows.h"
#include "headoffice/upload_source.h"
#include "history/history_cli.h"
#include "history/history_index.h"
#include "history/index_readings.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

using namespace celvio;
using celvio::fuzz::Check;

namespace {

// What one command printed and returned.
struct CliRun {
    int code = 0;
    QString out, err;
};

CliRun RunCli(const QString& station, QStringList args)
{
    args = QStringList{QStringLiteral("--station"), station, QStringLiteral("--no-update")} + args;
    CliRun run;
    QTextStream out(&run.out), err(&run.err);
    run.code = RunHistoryCli(args, out, err);
    out.flush();
    err.flush();
    return run;
}

// The fields of one CSV line, with quoted fields that hold commas, quotes and line ends.
QStringList CsvFields(const QString& text, qsizetype& at)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (; at < text.size(); ++at) {
        const QChar c = text[at];
        if (quoted) {
            if (c == QLatin1Char('"') && at + 1 < text.size() && text[at + 1] == QLatin1Char('"'))
                field += text[++at];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && at + 1 < text.size() && text[at + 1] == QLatin1Char('\n')) {
            at += 2;
            break;
        } else {
            field += c;
        }
    }
    return fields << field;
}

void CheckCommands(const QString& station, const QString& input)
{
    const QList<QStringList> commands{
        {QStringLiteral("--json"), QStringLiteral("find"), QStringLiteral("351234000000017")},
        {QStringLiteral("find"), QStringLiteral("351234000000025")},
        {QStringLiteral("--json"), QStringLiteral("list")},
        {QStringLiteral("list"), QStringLiteral("--since"), QStringLiteral("2026-12-07")},
        {QStringLiteral("--json"), QStringLiteral("stats"), QStringLiteral("--by"), QStringLiteral("model")},
        {QStringLiteral("--json"), QStringLiteral("stats"), QStringLiteral("--by"), QStringLiteral("week")},
        {QStringLiteral("--json"), QStringLiteral("stats"), QStringLiteral("--by"), QStringLiteral("quantity")},
        {QStringLiteral("stats"), QStringLiteral("--by"), QStringLiteral("day")},
        {QStringLiteral("export"), QStringLiteral("--csv"), QStringLiteral("-")},
    };
    for (const QStringList& command : commands) {
        const CliRun run = RunCli(station, command);
        Check(run.code == kHistoryOk || run.code == kHistoryNothingFound || run.code == kHistoryIndexError,
              "a command ends with its result, nothing found, or the index's error", input + run.err);
        if (run.code == kHistoryIndexError) {
            Check(!run.err.trimmed().isEmpty(), "an index error says why", input);
            continue;
        }
        if (command.first() == QLatin1String("--json")) {
            QJsonParseError error;
            QJsonDocument::fromJson(run.out.toUtf8(), &error);
            Check(error.error == QJsonParseError::NoError, "the JSON output parses", input + run.out);
        }
        if (command.first() == QLatin1String("export")) {
            Check(run.out.endsWith(QStringLiteral("\r\n")), "the CSV ends with a line end", input);
            for (qsizetype at = 0; at < run.out.size();)
                Check(CsvFields(run.out, at).size() == 12, "every CSV row has twelve columns", input + run.out);
        }
    }
}

// The readings of every test: whole (as many as its cells text holds, each of a row
// text the index has) or refused with a message.
void CheckReadings(HistoryIndex& index, const QString& input)
{
    QSqlQuery q(index.Database());
    if (!q.exec(QStringLiteral("SELECT id FROM tests")))
        return;
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    for (const qint64 id : ids) {
        QList<IndexedReading> readings;
        QString error;
        if (!ReadingsOfTest(index, id, readings, &error)) {
            Check(!error.isEmpty(), "refused readings say why", input);
            continue;
        }
        QSqlQuery cells(index.Database());
        cells.prepare(QStringLiteral("SELECT cells FROM readings WHERE test_id = ?"));
        cells.bindValue(0, id);
        QList<EncodedCell> encoded;
        if (cells.exec() && cells.next())
            Check(DecodeCells(cells.value(0).toString(), encoded), "readings given are not of a damaged text", input);
        Check(readings.size() == encoded.size(), "the readings given are all the cells", input);
        for (const IndexedReading& r : readings)
            Check(!r.Quantity.isEmpty(), "every reading given names its quantity", input);
    }
}

// The cells of the test of a file (none when it has no readings row); false when a
// readings text of its tests is damaged.
bool CellsOfFile(HistoryIndex& index, qint64 fileId, QList<EncodedCell>& cells)
{
    QSqlQuery q(index.Database());
    q.prepare(QStringLiteral("SELECT r.cells FROM readings r JOIN tests t ON t.id = r.test_id WHERE t.file_id = ?"));
    q.bindValue(0, fileId);
    bool whole = q.exec();
    while (whole && q.next()) {
        cells.clear();
        whole = DecodeCells(q.value(0).toString(), cells);
    }
    return whole;
}

// The head office's gathering of a push, without a server: what is pending, the batch,
// and the COPY lines the uploader would send.
void CheckPush(HistoryIndex& index, const QString& input)
{
    for (const bool all : {false, true}) {
        QList<PendingFile> pending;
        QString error;
        if (!PendingFiles(index, QStringLiteral("db.example:5432/celvio"), pending, &error, all)) {
            Check(!error.isEmpty(), "pending files refused say why", input);
            continue;
        }
        QList<UploadFile> batch;
        if (!ReadUploadBatch(index, pending, batch, &error)) {
            Check(!error.isEmpty(), "a batch refused says why", input);
            continue;
        }
        const StationIdentity who{QStringLiteral("counter 1"), QStringLiteral("AB123"), QStringLiteral("Shop")};
        for (const UploadFile& f : batch) {
            if (f.Test) {
                QList<EncodedCell> cells;
                Check(CellsOfFile(index, f.File.Id, cells), "a test is sent only with readings that read", input);
                Check(f.Test->Readings.size() == cells.size(), "a test is sent with all its readings", input);
                for (const UploadReading& r : f.Test->Readings)
                    Check(!r.Quantity.isEmpty(), "a reading sent names its quantity", input);
            }
            QByteArray line;
            if (f.Test)
                AddTestRow(line, who, f);
            else if (f.File.Skipped)
                AddSkippedRow(line, who, f);
            for (const UploadRecord& r : f.Records)
                AddRecordRow(line, who, f, r);
            const int columns = f.Test ? 35 : f.File.Skipped ? 7 : 14;
            for (const QByteArray& row : line.split('\n')) {
                if (!row.isEmpty())
                    Check(row.count('\t') + 1 == columns, "a COPY line has the table's columns", input);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_history_db";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static fuzz::IndexedStation station;

    const QString input = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(data), int(size)).toBase64());
    const fuzz::EditOutcome edits = station.Edit(data, size);

    QString error;
    {
        HistoryIndex index(station.Dir(), 0);
        Check(index.Open(&error), "the index opens on a station that may be written", input + error);
        if (edits.ForeignLayout) {
            QSqlQuery q(index.Database());
            Check(q.exec(QStringLiteral("SELECT COUNT(*) FROM files")) && q.next() && q.value(0).toInt() == 0,
                  "an index of an unknown layout is made anew", input);
        }
        CheckReadings(index, input);
        CheckPush(index, input);
    }

    CheckCommands(station.Dir(), input);

    // Whatever the index held, the files bring it back.
    HistoryIndex again(station.Dir(), 0);
    IndexCounts counts;
    Check(again.Open(&error) && again.Rebuild(&counts, &error), "a rebuild succeeds", input + error);
    Check(counts.Read == station.FileCount(), "a rebuild reads every file of the station", input);
    return 0;
}
