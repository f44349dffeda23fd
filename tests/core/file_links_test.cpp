// A station whose every written name is a symbolic link, dangling (a new file outside
// the station) or live (an existing file outside): the program's real writers write
// no byte outside, keep the link, leave no temporary file, and the operator or the
// trace is told of each refusal. A result file takes the next name instead. A folder
// that is a link (RESULTS on another disk) is written as before.
#include "core/blocked_channels.h"
#include "core/files.h"
#include "core/trace.h"
#include "cycle/coupler.h"
#include "cycle/history_hooks.h"
#include "models/tac_lookup.h"
#include "results/result_file.h"
#include "results/results_fixture.h"
#include "scan/scan_log.h"
#include "support/result_files.h"
#include "swap/service_data.h"
#include "swap/swap_records.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

const QByteArray kPrecious = "precious, not the station's\r\n";

class FileLinksTest : public ResultsFixture {
protected:
    void SetUp() override
    {
        Station("GSM", 1);
        ServicePointAB123();
        app.st.OldImei = u"351234000000017"_s;
        app.st.Imei = u"351234000000025"_s;
        app.TacFileName = u"TAC6N.DAT"_s;
        app.ModelDbFileName = u"MPN.DAT"_s;
        ASSERT_TRUE(outside.isValid());
    }

    void Put(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(StationFile(name)).path());
        WriteStationBytes(name, bytes);
    }

    // An empty station, then the row's files, then the link at `name`.
    void Lay(const std::function<void()>& files, const QString& name, const QString& target)
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        QDir(outside.path()).removeRecursively();
        QDir().mkpath(outside.path());
        QFile precious(outside.filePath(u"existing.txt"_s));
        ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
        precious.write(kPrecious);
        precious.close();
        files();
        QDir().mkpath(QFileInfo(StationFile(name)).path());
        QFile::remove(StationFile(name));
        ASSERT_TRUE(QFile::link(target, StationFile(name))) << qPrintable(name);
        platform.boxes.clear();
        app.DebugFrm.DebugFeld.clear();
        app.DebugFrm.ListIndex = -1;
    }

    // Outside the station: the existing file as it was, and nothing else.
    void NothingWrittenOutside(const QString& what)
    {
        EXPECT_EQ(QDir(outside.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{u"existing.txt"_s})
            << qPrintable(what);
        QFile precious(outside.filePath(u"existing.txt"_s));
        ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
        EXPECT_EQ(precious.readAll(), kPrecious) << qPrintable(what);
    }

    // No "<name>.XXXXXX" of a rewrite anywhere in the station.
    void NoTemporaryFiles(const QString& what)
    {
        static const QRegularExpression temporary(u"\\.[A-Za-z0-9]{6}$"_s);
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            EXPECT_FALSE(temporary.match(QFileInfo(path).fileName()).hasMatch()) << qPrintable(what + u": "_s + path);
        }
    }

    // Some message box or trace line contains `text`.
    bool Told(const QString& text) const
    {
        for (const BoxRecord& box : platform.boxes)
            if (box.text.contains(text))
                return true;
        for (const QString& line : Trace())
            if (line.contains(text))
                return true;
        return false;
    }

    struct Row {
        const char* name;  // the station's name that is a link
        std::function<void()> files;
        std::function<void()> write;
        QStringList told;  // each shown or traced
    };
    std::vector<Row> Rows();

    QTemporaryDir outside;
};

std::vector<FileLinksTest::Row> FileLinksTest::Rows()
{
    const QString refusal = SymLinkRefusal();
    const auto nothing = [] {};
    const auto userTac = [this] {
        Put(u"TAC6N.DAT"_s, "-2,USERTAC.DAT\r\n-9,ANT\r\n");
        Put(u"MPN.DAT"_s, "[ANT]\r\n[Tavik T12]\r\n");
    };
    const auto records = [this] {
        Put(u"RESULTS/LOG/AB123ACT.IWR"_s, kIwr);
        Put(u"RESULTS/LOG/AB123ACT.IME"_s, kIme);
        Put(u"RESULTS/LOG/BACKUP26/AB123L06.IWR"_s, kIwr);
        Put(u"RESULTS/LOG/BACKUP26/AB123L06.IME"_s, kIme);
    };
    const auto archive = [this] { ArchiveSwapFiles(app); };
    const auto index = [this] { UpdateHistoryIndex(app, false); };
    return {
        {"CPLCONN.INI", nothing, [this] { SaveCouplerChoice(app, 3); },
         {u"File CPLCONN.INI not accessible !\r\n"_s + StationFile(u"CPLCONN.INI"_s) + u"\r\n"_s + refusal}},
        {"BADCHAN.DAT", nothing, [this] { SaveBlockedChannels(app, 9); }, {u"File BADCHAN.DAT not accessible !"_s, refusal}},
        {"USERTAC.DAT", userTac,
         [this] {
             platform.form5Choices = {1};
             LookupPhoneModel(app, u"359876540000001"_s);
         },
         {u"File USERTAC.DAT not accessible !"_s, refusal}},
        {"DEBUG.LOG", nothing,
         [this] {
             app.DebugFrm.DebugFeld = QStringList{u"new line"_s};
             SaveDebugLog(app);
         },
         {u"There was a problem with file DEBUG.LOG."_s, refusal}},
        {"scan.log", nothing,
         [this] {
             app.st.ScanLogReported = kFalse;
             ScanLog(app, u"Scan started"_s);
         },
         {u"File scan.log cannot be written."_s, refusal}},
        {"swap.dat", nothing, [this] { WriteServiceFile(app); },
         {u"The service point data could not be saved to"_s, refusal}},
        {"RESULTS/LOG/AB123ACT.IWR", nothing, [this] { WriteSwapRecord(app, true, QString()); },
         {u"The swap record could not be written to"_s, refusal}},
        {"RESULTS/LOG/AB123ACT.IME", nothing, [this] { WriteSwapRecord(app, false, u"PASS"_s); },
         {u"The swap record could not be written to"_s, refusal}},
        {"RESULTS/LOG/BACKUP26/AB123L06.IWR", records, archive, {u"Archive fails !!!\r\n"_s, refusal}},
        {"RESULTS/LOG/BACKUP26/AB123L06.IME.IN", records, archive, {u"Archive fails !!!\r\n"_s, refusal}},
        {"RESULTS/LOG/BACKUP26/AB123L06.IWR.OUT", records, archive, {u"Archive fails !!!\r\n"_s, refusal}},
        {"HISTORY.DB", nothing, index, {u"History index not updated: "_s, refusal}},
        {"HISTORY.DB-wal", nothing, index, {u"History index not updated: "_s, refusal}},
        {"HISTORY.DB-shm", nothing, index, {u"History index not updated: "_s, refusal}},
        {"HISTORY.DB-journal", nothing, index, {u"History index not updated: "_s, refusal}},
    };
}

TEST_F(FileLinksTest, EveryWrittenNameThatIsALinkIsRefusedAndNothingIsWrittenOutside)
{
    for (const Row& row : Rows()) {
        for (const QString& target : {outside.filePath(u"new.txt"_s), outside.filePath(u"existing.txt"_s)}) {
            const QString what = QString::fromLatin1(row.name) + u" -> "_s + QFileInfo(target).fileName();
            SCOPED_TRACE(qPrintable(what));
            Lay(row.files, QString::fromLatin1(row.name), target);
            row.write();
            NothingWrittenOutside(what);
            EXPECT_EQ(QFileInfo(StationFile(QString::fromLatin1(row.name))).symLinkTarget(), target);
            NoTemporaryFiles(what);
            for (const QString& text : row.told)
                EXPECT_TRUE(Told(text)) << qPrintable(text) << "\nboxes: " << qPrintable(Boxes().join(u'\n'))
                                        << "\ntrace: " << qPrintable(Trace().join(u'\n'));
        }
    }
}

TEST_F(FileLinksTest, ArchiveStoppedByALinkLosesNoRecord)
{
    const auto records = [this] {
        Put(u"RESULTS/LOG/AB123ACT.IWR"_s, kIwr);
        Put(u"RESULTS/LOG/AB123ACT.IME"_s, kIme);
        Put(u"RESULTS/LOG/BACKUP26/AB123L06.IWR"_s, kIwr);
    };
    Lay(records, u"RESULTS/LOG/BACKUP26/AB123L06.IME"_s, outside.filePath(u"existing.txt"_s));
    ArchiveSwapFiles(app);
    // The swap file went into the archive; the IMEI file, refused, stays where it was.
    EXPECT_FALSE(QFile::exists(StationFile(u"RESULTS/LOG/AB123ACT.IWR"_s)));
    EXPECT_EQ(ReadStationBytes(u"RESULTS/LOG/AB123ACT.IME"_s), QByteArray(kIme));
    EXPECT_EQ(ReadStationBytes(u"RESULTS/LOG/BACKUP26/AB123L06.IWR"_s).count("\nSWAP\t"), 2);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, u"Archive fails !!!\r\n"_s + StationFile(u"RESULTS/LOG/BACKUP26/AB123L06.IME"_s) +
                                          u"\r\n"_s + SymLinkRefusal());
    NothingWrittenOutside(u"archive"_s);
}

TEST_F(FileLinksTest, ResultFileNameThatIsALinkIsTakenAndTheNextNameWritten)
{
    const QByteArray expected = HandWritten(kSwappedWithoutTestFile);
    // The plain name a dangling link; "A" a live link in another case; "B" is free.
    Lay([] {}, u"RESULTS/351234/0000025.TXT"_s, outside.filePath(u"new.txt"_s));
    ASSERT_TRUE(QFile::link(outside.filePath(u"existing.txt"_s), StationFile(u"RESULTS/351234/0000025a.txt"_s)));
    WriteDirectSwapFile(app);
    NothingWrittenOutside(u"result file"_s);
    EXPECT_EQ(app.st.ResultFilePath, StationFile(u"RESULTS/351234/0000025B.TXT"_s));
    EXPECT_EQ(ReadStationBytes(u"RESULTS/351234/0000025B.TXT"_s), expected);
    EXPECT_TRUE(Told(u"Result file name passed over, it is a symbolic link: "_s + StationFile(u"RESULTS/351234/0000025.TXT"_s)));
    EXPECT_TRUE(Told(u"Result file name passed over, it is a symbolic link: "_s + StationFile(u"RESULTS/351234/0000025a.txt"_s)));
    ExpectNoBoxes();
    NoTemporaryFiles(u"result file"_s);
}

TEST_F(FileLinksTest, FoldersThatAreLinksStayAllowed)
{
    // RESULTS kept on another disk: result files, records and the archive go there.
    Lay([] {}, u"RESULTS"_s, outside.filePath(u"other-disk"_s));
    ASSERT_TRUE(QDir().mkpath(outside.filePath(u"other-disk"_s)));
    WriteDirectSwapFile(app);
    WriteSwapRecord(app, true, QString());
    ArchiveSwapFiles(app);
    EXPECT_EQ(QFile(outside.filePath(u"other-disk/351234/0000025.TXT"_s)).size(),
              HandWritten(kSwappedWithoutTestFile).size());
    EXPECT_TRUE(QFile::exists(outside.filePath(u"other-disk/LOG/BACKUP26/AB123L06.IWR"_s)));
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].title, u"Archive successful."_s);
}

}  // namespace
}  // namespace celvio::testing
