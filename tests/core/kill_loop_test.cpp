// Every file the program writes or rewrites, its real writer killed at random moments
// (tests/support/kill_loop.h): a rewritten file is afterwards the old or a new version
// byte for byte, never missing; nothing but a temporary name holds a half-written file,
// and the next start-up removes those. An appended file holds the old bytes and then
// the new lines in order; only a long append killed while the system copied it ends
// inside a line (the system stops at a page boundary), and the writer's next line then
// stands on a line of its own.
#include "core/blocked_channels.h"
#include "core/files.h"
#include "core/trace.h"
#include "cycle/coupler.h"
#include "models/tac_lookup.h"
#include "shell/qt/qt_printer.h"
#include "results/result_file.h"
#include "results/results_fixture.h"
#include "scan/scan_log.h"
#include "support/kill_loop.h"
#include "support/result_files.h"
#include "swap/service_data.h"
#include "swap/swap_records.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

namespace celvio::testing {
namespace {

constexpr int kRuns = 200;
// Writes in a row in each child: the first write of a freshly forked process spends
// most of its time copying pages and starting up, so one write alone would give a
// window in which few kills land between its file operations.
constexpr int kWrites = 20;
// Documents printed in a row: each takes far longer than a file of the station (most
// of it drawing the document in memory, a tenth of a second under the sanitizers).
constexpr int kPdfWrites = 2;

// "<final name>.XXXXXX": where a rewrite puts its bytes before the rename.
bool IsTemporaryOf(const QString& entry, const QStringList& finals)
{
    for (const QString& final : finals) {
        if (entry.size() != final.size() + 7 || !entry.startsWith(final + QLatin1Char('.')))
            continue;
        bool alnum = true;
        for (const QChar c : entry.mid(final.size() + 1))
            alnum = alnum && c.isLetterOrNumber() && c.unicode() < 0x80;
        if (alnum)
            return true;
    }
    return false;
}

QByteArray Lines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

// Each version of a file after 0, 1, 2 ... of `steps` appended to `before`.
QList<QByteArray> Growing(const QByteArray& before, const QList<QByteArray>& steps)
{
    QList<QByteArray> versions{before};
    for (const QByteArray& step : steps)
        versions.append(versions.last() + step);
    return versions;
}

const char kHeaderIwr[] = "IWRSWAP\tV1.0\tAB123\t20261206\r\n# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg\r\n";
const char kHeaderIme[] = "IWRIMEI\tV1.0\tAB123\t20261206\r\n# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg\r\n";

QByteArray SwapLine(qint64 oldImei, qint64 newImei)
{
    return "SWAP\t" + QByteArray::number(oldImei) + '\t' + QByteArray::number(newImei) + "\t\t20261206\r\n";
}
QByteArray ImeiLine(qint64 oldImei)
{
    return "IMEI\t" + QByteArray::number(oldImei) + "\t\t\t20261206\tPASS\r\n";
}
QByteArray End(int count)
{
    return "END\t " + QByteArray::number(count) + " \r\n";
}

class KillLoopTest : public ResultsFixture {
protected:
    void SetUp() override
    {
        Station("GSM", 1);
        ServicePointAB123();
        app.TacFileName = QStringLiteral("TAC6N.DAT");
        app.ModelDbFileName = QStringLiteral("MPN.DAT");
        // The station lives in memory (/dev/shm, or CELVIO_KILL_DIR) where it can: a
        // killed process leaves the same files on any file system, and there no sync to
        // a busy disk stretches each run to milliseconds.
        QString base = qEnvironmentVariable("CELVIO_KILL_DIR");
        if (base.isEmpty() && QFileInfo(QStringLiteral("/dev/shm")).isDir() && QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            base = QStringLiteral("/dev/shm");
        if (!base.isEmpty()) {
            memory = std::make_unique<QTemporaryDir>(base + QStringLiteral("/celvio-kill-XXXXXX"));
            if (memory->isValid())
                app.StationDir = memory->path();
        }
    }

    // The station directory in use (these hide the fixture's, which know only `dir`).
    QString StationFile(const QString& name) const { return app.StationDir + QLatin1Char('/') + name; }
    QByteArray ReadStationBytes(const QString& name) const
    {
        QFile file(StationFile(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteStationBytes(const QString& name, const QByteArray& bytes)
    {
        QFile file(StationFile(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(name);
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // An empty station directory with the files `files` (name, bytes).
    void Lay(const QList<std::pair<QString, QByteArray>>& files)
    {
        const QDir station(app.StationDir);
        for (const QString& entry : station.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (!QFile::remove(station.filePath(entry)))
                QDir(station.filePath(entry)).removeRecursively();
        }
        for (const auto& [name, bytes] : files) {
            QDir().mkpath(QFileInfo(station.filePath(name)).path());
            WriteStationBytes(name, bytes);
        }
        platform.boxes.clear();
        app.DebugFrm.DebugFeld.clear();
        app.DebugFrm.ListIndex = -1;
    }

    // The file `name` must be one of `versions`: Old for the first, New for the last.
    KillOutcome OneOf(const QString& name, const QList<QByteArray>& versions)
    {
        if (!QFile::exists(StationFile(name))) {
            ADD_FAILURE() << qPrintable(name) << " is missing";
            return KillOutcome::Old;
        }
        const QByteArray now = ReadStationBytes(name);
        if (now == versions.last())
            return KillOutcome::New;
        const qsizetype at = versions.indexOf(now);
        if (at < 0) {
            ADD_FAILURE() << qPrintable(name) << " is none of its versions: " << now.size() << " bytes, ending in \""
                          << now.right(40).toPercentEncoding(" \t,.:#\"").constData() << "\"";
            return KillOutcome::Old;
        }
        return at == 0 ? KillOutcome::Old : KillOutcome::Between;
    }

    // An appended file: the old bytes, then the appended bytes up to some point, cut
    // inside a line only where a long write was killed. The writer's next line
    // (`next`, appended by appendNext) then stands on a line of its own.
    KillOutcome Appended(const QString& name, const QByteArray& before, const QList<QByteArray>& steps,
                         const std::function<void()>& appendNext, const QByteArray& next)
    {
        const QByteArray now = ReadStationBytes(name);
        const QByteArray all = Growing(before, steps).last();
        if (!now.startsWith(before) || !all.startsWith(now)) {
            ADD_FAILURE() << qPrintable(name) << " is not the old file with some of the new lines: " << now.size()
                          << " bytes, ending in \"" << now.right(40).toPercentEncoding(" \t,.:#\"").constData() << "\"";
            return KillOutcome::Old;
        }
        const bool cut = !now.endsWith('\n');
        appendNext();
        EXPECT_EQ(ReadStationBytes(name), now + (!cut ? "" : now.endsWith('\r') ? "\n" : "\r\n") + next)
            << qPrintable(name) << ": the next line after " << now.size() << " bytes";
        return now == before ? KillOutcome::Old : now == all ? KillOutcome::New : cut ? KillOutcome::Cut : KillOutcome::Between;
    }

    // The folder holds exactly `finals` (each may be missing where `optional`) and
    // otherwise only temporary files of them; the count of those is added up.
    void OnlyFinalNames(const QString& folder, const QStringList& finals, const QStringList& optional = {})
    {
        QStringList present;
        for (const QString& entry : QDir(StationFile(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (IsTemporaryOf(entry, finals + optional))
                ++temporaries;
            else
                present << entry;
        }
        for (const QString& name : finals)
            EXPECT_TRUE(present.removeOne(name)) << qPrintable(folder + QLatin1Char('/') + name) << " is missing";
        for (const QString& name : optional)
            present.removeOne(name);
        EXPECT_TRUE(present.isEmpty()) << "unexpected in " << qPrintable(folder) << ": " << qPrintable(present.join(' '));
    }

    // The next start-up removes what a kill left of `finals` under temporary names
    // (but for a suffix of letters all in one case, which it takes for an operator's word).
    void CleanedAtStartUp(const QString& folder, const QStringList& finals)
    {
        RemoveStaleTemporaryFiles(app);
        for (const QString& entry : QDir(StationFile(folder)).entryList(QDir::Files | QDir::Hidden)) {
            const QString suffix = entry.right(6);
            const bool word = suffix == suffix.toLower() || suffix == suffix.toUpper();
            const bool letters = std::all_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isLetter(); });
            EXPECT_FALSE(IsTemporaryOf(entry, finals) && !(word && letters)) << qPrintable(entry) << " left after start-up";
        }
    }

    struct Row {
        const char* file;
        const char* writer;
        std::function<void()> prepare;
        std::function<void()> write;
        std::function<KillOutcome()> check;
    };
    // One row per file: the data before, the writer, the versions allowed after a kill.
    std::vector<Row> Rows();
    int temporaries = 0;
    std::unique_ptr<QTemporaryDir> memory;
};

std::vector<KillLoopTest::Row> KillLoopTest::Rows()
{
    // CPLCONN.INI: the coupler chosen from the menu again and again (2, 3, 4, 2 ...).
    QList<QByteArray> coupler{" 1\r\n"};
    for (int i = 0; i < kWrites; ++i)
        coupler << " " + QByteArray::number(2 + i % 3) + "\r\n";

    // BADCHAN.DAT: a long list (every other channel of 1..399) growing by one channel a write.
    const QByteArray badBefore = "\"" + Channels(1, 399, 2).toLatin1() + "\"\r\n";
    QList<QByteArray> badchan{badBefore};
    for (int c = 500; c < 500 + kWrites; ++c)
        badchan.append("\"" + (Channels(1, 399, 2) + Channels(500, c)).toLatin1() + "\"\r\n");

    // USERTAC.DAT: unknown phones, each assigned a model by the operator, after earlier
    // assignments that fill the file to just below 4 KiB (the new lines cross a page).
    QByteArray tacBefore;
    for (int tac = 35000000; tacBefore.size() < 4080; ++tac)
        tacBefore += QByteArray::number(tac) + ",Orvane 310\r\n";
    QList<QByteArray> tacLines;
    for (int i = 10; i < 10 + kWrites; ++i)
        tacLines << "359876" + QByteArray::number(i) + ",Tavik T12\r\n";

    // DEBUG.LOG: the trace buffer one line short of its autosave; the line that fills it
    // (10003 lines and the marker go to the log), then ten more saved as at the end of
    // the program.
    const QByteArray debugBefore = "old line\r\n";
    QStringList fullBuffer, lastLines;
    for (int i = 0; i < 10003; ++i)
        fullBuffer << QStringLiteral("Trace line %1").arg(i);
    for (int i = 10003; i < 10013; ++i)
        lastLines << QStringLiteral("Trace line %1").arg(i);
    const QList<QByteArray> debugBatches{Lines(fullBuffer) + "--Debugbuffer full. Autosaved--\r\n", Lines(lastLines)};

    // scan.log: a hundred lines after earlier scans that fill the file to just below
    // 4 KiB, so the new lines cross a page of the file.
    QByteArray scanBefore;
    for (int i = 0; scanBefore.size() < 4070; ++i)
        scanBefore += "Earlier scan, channel " + QByteArray::number(i) + "\r\n";
    QList<QByteArray> scanLines;
    for (int i = 0; i < 100; ++i)
        scanLines << "Scan line " + QByteArray::number(i) + "\r\n";

    // The result file: ten direct swaps of the same phone, each in a file of its own.
    const QByteArray resultFile = HandWritten(kSwappedWithoutTestFile);
    QStringList resultNames{QStringLiteral("0000025.TXT")};
    for (char suffix = 'A'; suffix < 'J'; ++suffix)
        resultNames << QStringLiteral("0000025%1.TXT").arg(QLatin1Char(suffix));

    // swap.dat: the service point data saved under one operator after another.
    QStringList operators{QStringLiteral("M. Berg")};
    for (int i = 1; i <= kWrites; ++i)
        operators << QStringLiteral("Operator %1").arg(i);
    QList<QByteArray> serviceData;
    for (const QString& name : operators)
        serviceData << "0,\"AB123\",\"Handy Shop Nord\",\"Hauptstr. 5 Kiel\",\"0431 998877\",\"" + name.toLatin1() + "\"\r\n";

    // The swap record file of the day: two records, then one after another.
    QList<QByteArray> records;
    for (int k = 0; k <= kWrites; ++k) {
        QByteArray bytes = kHeaderIwr;
        for (int i = 0; i < 2 + k; ++i)
            bytes += SwapLine(200000000000000 + i, 800000000000000 + i);
        records << bytes + End(2 + k);
    }

    // The archive of a busy day: 100 records of each kind merged into an archive of 300.
    QByteArray actIwr = kHeaderIwr, actIme = kHeaderIme, oldIwr = kHeaderIwr, oldIme = kHeaderIme;
    for (int i = 0; i < 300; ++i) {
        oldIwr += SwapLine(100000000000000 + i, 900000000000000 + i);
        oldIme += ImeiLine(100000000000000 + i);
    }
    QByteArray newIwr = oldIwr, newIme = oldIme;
    for (int i = 0; i < 100; ++i) {
        actIwr += SwapLine(200000000000000 + i, 800000000000000 + i);
        actIme += ImeiLine(200000000000000 + i);
        newIwr += SwapLine(200000000000000 + i, 800000000000000 + i);
        newIme += ImeiLine(200000000000000 + i);
    }
    actIwr += End(100);
    actIme += End(100);
    oldIwr += End(300);
    oldIme += End(300);
    newIwr += End(400);
    newIme += End(400);
    const QString act = QStringLiteral("RESULTS/LOG/AB123ACT");
    const QString archive = QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06");

    // PRINTS/: the trace printed to PDF files again and again, beside an earlier document.
    const QString earlierPdf = QStringLiteral("celvio-20261206-093000-000.pdf");
    const QByteArray earlierBytes = "%PDF-1.4 an earlier document";
    QStringList traceLines;
    for (int i = 1; i <= 60; ++i)
        traceLines << QStringLiteral("Trace line %1").arg(i);

    return {
        {"PDF document", "QtPrinter (the trace's PRINT into PRINTS/)",
         [=, this] {
             Lay({{QStringLiteral("PRINTS/") + earlierPdf, earlierBytes}});
             app.DebugFrm.DebugFeld = traceLines;
         },
         [=, this] {
             const QString prints = StationFile(QStringLiteral("PRINTS"));
             qputenv("CELVIO_PDF_DIR", prints.toLocal8Bit());
             QtPrinter pdf(prints);
             platform.realPrinter = &pdf;
             for (int i = 0; i < kPdfWrites; ++i)
                 DebugFrm_PrintClick(app);
         },
         [=, this] {
             // Under a final name only whole documents; a cut one only under its
             // temporary name, which the next start-up removes.
             static const QRegularExpression finalName(QStringLiteral("^celvio-\\d{8}-\\d{6}-\\d{3}(-\\d+)?\\.pdf$"));
             const QDir prints(StationFile(QStringLiteral("PRINTS")));
             int whole = 0;
             for (const QString& entry : prints.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
                 QFile file(prints.filePath(entry));
                 const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                 if (entry == earlierPdf) {
                     EXPECT_EQ(bytes, earlierBytes);
                 } else if (finalName.match(entry).hasMatch()) {
                     EXPECT_TRUE(QtPrinter::IsCompletePdf(bytes)) << qPrintable(entry) << " is cut at " << bytes.size();
                     ++whole;
                 } else if (entry.size() > 7 && entry.at(entry.size() - 7) == u'.' &&
                            finalName.match(entry.chopped(7)).hasMatch()) {
                     ++temporaries;
                 } else {
                     ADD_FAILURE() << "unexpected in PRINTS: " << qPrintable(entry);
                 }
             }
             RemoveStaleTemporaryFiles(app);
             EXPECT_EQ(prints.entryList(QDir::Files | QDir::Hidden).size(), whole + 1) << "a temporary file was left";
             return whole == 0 ? KillOutcome::Old : whole == kPdfWrites ? KillOutcome::New : KillOutcome::Between;
         }},
        {"CPLCONN.INI", "SaveCouplerChoice",
         [=, this] { Lay({{"CPLCONN.INI", coupler[0]}}); },
         [=, this] {
             for (int i = 0; i < kWrites; ++i)
                 SaveCouplerChoice(app, short(2 + i % 3));
         },
         [=, this] {
             OnlyFinalNames(QString(), {QStringLiteral("CPLCONN.INI")});
             CleanedAtStartUp(QString(), {QStringLiteral("CPLCONN.INI")});
             return OneOf(QStringLiteral("CPLCONN.INI"), coupler);
         }},
        {"BADCHAN.DAT", "SaveBlockedChannels",
         [=, this] {
             Lay({{"BADCHAN.DAT", badBefore}});
             app.st.BlockedChannels = Channels(1, 399, 2);
         },
         [=, this] {
             for (int c = 500; c < 500 + kWrites; ++c)
                 SaveBlockedChannels(app, c);
         },
         [=, this] {
             OnlyFinalNames(QString(), {QStringLiteral("BADCHAN.DAT")});
             CleanedAtStartUp(QString(), {QStringLiteral("BADCHAN.DAT")});
             return OneOf(QStringLiteral("BADCHAN.DAT"), badchan);
         }},
        {"USERTAC.DAT", "LookupPhoneModel (RecordAssignment)",
         [=, this] {
             Lay({{"TAC6N.DAT", "-2,USERTAC.DAT\r\n-9,ANT\r\n"},
                  {"MPN.DAT", "[ANT]\r\n[Tavik T12]\r\n"},
                  {"USERTAC.DAT", tacBefore}});
             platform.form5Choices = QList<int>(kWrites, 1);
         },
         [=, this] {
             for (int i = 10; i < 10 + kWrites; ++i)
                 LookupPhoneModel(app, QStringLiteral("359876%10000001").arg(i));
         },
         [=, this] {
             return Appended(QStringLiteral("USERTAC.DAT"), tacBefore, tacLines, [&] {
                 platform.form5Choices = {1};
                 LookupPhoneModel(app, QStringLiteral("359876990000001"));
             }, "35987699,Tavik T12\r\n");
         }},
        {"DEBUG.LOG", "TraceLine autosave, then SaveDebugLog",
         [=, this] {
             Lay({{"DEBUG.LOG", debugBefore}});
             app.DebugFrm.DebugFeld = fullBuffer.mid(0, 10002);
             app.DebugFrm.ListIndex = 10001;
         },
         [=, this] {
             TraceLine(app, fullBuffer.last());
             for (const QString& line : lastLines)
                 TraceLine(app, line);
             SaveDebugLog(app);
         },
         [=, this] {
             OnlyFinalNames(QString(), {QStringLiteral("DEBUG.LOG")});
             return Appended(QStringLiteral("DEBUG.LOG"), debugBefore, debugBatches, [&] {
                 app.DebugFrm.DebugFeld = QStringList{QStringLiteral("next")};
                 SaveDebugLog(app);
             }, "next\r\n");
         }},
        {"scan.log", "ScanLog",
         [=, this] { Lay({{"scan.log", scanBefore}}); },
         [=, this] {
             for (int i = 0; i < 100; ++i)
                 ScanLog(app, QStringLiteral("Scan line %1").arg(i));
         },
         [=, this] {
             return Appended(QStringLiteral("scan.log"), scanBefore, scanLines,
                             [&] { ScanLog(app, QStringLiteral("next")); }, "next\r\n");
         }},
        {"result file", "WriteDirectSwapFile",
         [=, this] {
             Lay({});
             app.st.OldImei = QStringLiteral("351234000000017");
             app.st.Imei = QStringLiteral("351234000000025");
         },
         [=, this] {
             for (int i = 0; i < resultNames.size(); ++i)
                 WriteDirectSwapFile(app);
         },
         [=, this] {
             // Only whole files, each name taken after the one before it.
             int written = 0;
             for (const QString& name : resultNames) {
                 const QString path = QStringLiteral("RESULTS/351234/") + name;
                 if (!QFile::exists(StationFile(path)))
                     break;
                 EXPECT_EQ(ReadStationBytes(path), resultFile) << qPrintable(path);
                 ++written;
             }
             OnlyFinalNames(QStringLiteral("RESULTS/351234"), resultNames.mid(0, written), resultNames);
             return written == 0 ? KillOutcome::Old : written == resultNames.size() ? KillOutcome::New : KillOutcome::Between;
         }},
        {"swap.dat", "WriteServiceFile",
         [=, this] { Lay({{"swap.dat", serviceData[0]}}); },
         [=, this] {
             for (const QString& name : operators.mid(1)) {
                 app.st.TestedBy = name;
                 WriteServiceFile(app);
             }
         },
         [=, this] {
             OnlyFinalNames(QString(), {QStringLiteral("swap.dat")});
             CleanedAtStartUp(QString(), {QStringLiteral("swap.dat")});
             return OneOf(QStringLiteral("swap.dat"), serviceData);
         }},
        {"swap record file", "WriteSwapRecord",
         [=, this] { Lay({{act + ".IWR", records[0]}}); },
         [=, this] {
             for (int i = 2; i < 2 + kWrites; ++i) {
                 app.st.OldImei = QString::number(200000000000000 + i);
                 app.st.Imei = QString::number(800000000000000 + i);
                 WriteSwapRecord(app, true, QString());
             }
         },
         [=, this] {
             OnlyFinalNames(QStringLiteral("RESULTS/LOG"), {QStringLiteral("AB123ACT.IWR")});
             CleanedAtStartUp(QStringLiteral("RESULTS/LOG"), {QStringLiteral("AB123ACT.IWR")});
             return OneOf(act + ".IWR", records);
         }},
        {"archive", "ArchiveSwapFiles",
         [=, this] {
             Lay({{act + ".IWR", actIwr}, {act + ".IME", actIme}, {archive + ".IWR", oldIwr}, {archive + ".IME", oldIme}});
         },
         [=, this] { ArchiveSwapFiles(app); },
         [=, this] {
             // Under their final names: the day's files as they were or gone, the
             // archive's old or merged; the hand-over files of a merge beside them.
             const KillOutcome iwr = OneOf(archive + ".IWR", {oldIwr, newIwr});
             const KillOutcome ime = OneOf(archive + ".IME", {oldIme, newIme});
             for (const auto& [name, bytes] : {std::pair{act + ".IWR", actIwr}, std::pair{act + ".IME", actIme}}) {
                 if (QFile::exists(StationFile(name))) {
                     EXPECT_EQ(ReadStationBytes(name), bytes) << qPrintable(name);
                 }
             }
             OnlyFinalNames(QStringLiteral("RESULTS/LOG"), {QStringLiteral("BACKUP26")},
                            {QStringLiteral("AB123ACT.IWR"), QStringLiteral("AB123ACT.IME")});
             OnlyFinalNames(QStringLiteral("RESULTS/LOG/BACKUP26"), {QStringLiteral("AB123L06.IWR"), QStringLiteral("AB123L06.IME")},
                            {QStringLiteral("AB123L06.IWR.IN"), QStringLiteral("AB123L06.IWR.OUT"),
                             QStringLiteral("AB123L06.IME.IN"), QStringLiteral("AB123L06.IME.OUT")});
             const bool actAll = QFile::exists(StationFile(act + ".IWR")) && QFile::exists(StationFile(act + ".IME"));
             const bool actGone = !QFile::exists(StationFile(act + ".IWR")) && !QFile::exists(StationFile(act + ".IME"));
             const KillOutcome outcome = iwr == KillOutcome::Old && ime == KillOutcome::Old && actAll ? KillOutcome::Old
                                         : iwr == KillOutcome::New && ime == KillOutcome::New && actGone ? KillOutcome::New
                                                                                                        : KillOutcome::Between;
             // The next archive finishes the work: every record once, nothing left over.
             platform.boxes.clear();
             ArchiveSwapFiles(app);
             EXPECT_EQ(platform.boxes.size(), 1);
             EXPECT_NE(platform.boxes.value(0).text, QStringLiteral("Archive fails !!!"));
             EXPECT_EQ(ReadStationBytes(archive + ".IWR"), newIwr);
             EXPECT_EQ(ReadStationBytes(archive + ".IME"), newIme);
             OnlyFinalNames(QStringLiteral("RESULTS/LOG"), {QStringLiteral("BACKUP26")});
             OnlyFinalNames(QStringLiteral("RESULTS/LOG/BACKUP26"),
                            {QStringLiteral("AB123L06.IWR"), QStringLiteral("AB123L06.IME")},
                            {QStringLiteral("AB123L06.IWR.OUT"), QStringLiteral("AB123L06.IME.OUT")});
             return outcome;
         }},
    };
}

class KillLoopRowTest : public KillLoopTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(KillLoopRowTest, FileIsOldOrNewAfterAKillAtARandomMoment)
{
    const std::vector<Row> rows = Rows();
    const auto row = std::find_if(rows.begin(), rows.end(), [](const Row& r) { return qstrcmp(r.file, GetParam()) == 0; });
    ASSERT_NE(row, rows.end());
    const unsigned seed = KillLoopSeed();
    SCOPED_TRACE(::testing::Message() << "CELVIO_KILL_SEED=" << seed << " replays the delays");
    const KillLoopStats stats = RunKillLoop(kRuns, seed, row->prepare, row->write, row->check);
    std::printf("kill loop %s by %s, seed %u (CELVIO_KILL_SEED=%u replays it), station in %s:\n  %s; temporary files left %d\n",
                row->file, row->writer, seed, seed, qPrintable(app.StationDir), qPrintable(stats.Summary()), temporaries);
    std::fflush(stdout);
    RecordProperty("kill_loop", stats.Summary().toStdString());
    EXPECT_EQ(stats.runs, kRuns);
    // The delays reach into the writes: some children are killed.
    EXPECT_GT(stats.killed, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, KillLoopRowTest,
                         ::testing::Values("CPLCONN.INI", "BADCHAN.DAT", "USERTAC.DAT", "DEBUG.LOG", "scan.log", "result file",
                                           "swap.dat", "swap record file", "archive", "PDF document"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

}  // namespace
}  // namespace celvio::testing
