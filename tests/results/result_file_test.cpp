// Result files byte for byte against files written by hand, the choice of a free file
// name, the IMEI entry for an unknown IMEI, and writes that fail.
#include "record/result_file_format.h"
#include "results/result_file.h"
#include "results/verdict.h"
#include "results_fixture.h"
#include "support/result_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace celvio::testing {
namespace {

class ResultFileTest : public ResultsFixture {
protected:
    QString Written() const { return QDir(dir.path()).relativeFilePath(app.st.ResultFilePath); }
};

TEST_F(ResultFileTest, PassedSingleBandGsmFile)
{
    Station("GSM", 1);
    PassedPage(app.Form3);
    WriteResultFile(app, record);
    EXPECT_EQ(Written(), QStringLiteral("RESULTS/351234/0000017.TXT"));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("RESULTS/351234/0000017.TXT")), HandWritten(kPassedGsmFile));
    ExpectNoBoxes();
}

TEST_F(ResultFileTest, FailedDualBandFileInGermanWithMarksAndALongDescription)
{
    FailedDualBand();
    WriteResultFile(app, record);
    EXPECT_EQ(Written(), QStringLiteral("RESULTS/351234/0543215.TXT"));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("RESULTS/351234/0543215.TXT")), HandWritten(kFailedDualBandGermanFile));
}

TEST_F(ResultFileTest, DirectSwapFileIsNamedAfterTheNewPhone)
{
    Station("GSM", 1);
    app.st.OldImei = QStringLiteral("351234000000017");
    app.st.Imei = QStringLiteral("351234000000025");
    WriteDirectSwapFile(app);
    EXPECT_EQ(Written(), QStringLiteral("RESULTS/351234/0000025.TXT"));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("RESULTS/351234/0000025.TXT")), HandWritten(kSwappedWithoutTestFile));
}

TEST_F(ResultFileTest, FreeTextLengthsAndSwapComment)
{
    // Fault descriptions of 50, 51, 150 and 230 characters: one, two, three and four
    // lines of 50; nothing after the 200th character.
    Station("GSM", 1);
    const QString fifty = QString(49, QLatin1Char('a')) + QLatin1Char('b');
    struct Case {
        QString text;
        QStringList lines;
    } cases[] = {
        {fifty, {fifty}},
        {fifty + QLatin1Char('c'), {fifty, QStringLiteral("c")}},
        {fifty + fifty + fifty, {fifty, fifty, fifty}},
        {fifty + fifty + fifty + fifty + QString(30, QLatin1Char('z')), {fifty, fifty, fifty, fifty}},
    };
    for (const Case& c : cases) {
        record.FaultDescription = c.text;
        const QStringList lines = QString::fromLatin1(ResultFileBytes(record)).split(QStringLiteral("\r\n"));
        const qsizetype at = lines.indexOf(QStringLiteral("Customer fault description: "));
        ASSERT_GE(at, 0);
        EXPECT_EQ(lines.mid(at + 1, c.lines.size() + 1), c.lines + QStringList{QString()}) << c.text.size();
    }
    record.Kind = RecordKind::DirectSwap;
    record.OldImei = QStringLiteral("351234000000017");
    record.SwapComment = fifty + QStringLiteral("xy");
    EXPECT_TRUE(DirectSwapFileBytes(record).endsWith("Swap comment :\r\n" + fifty.toLatin1() + "\r\nxy\r\n"));
}

TEST_F(ResultFileTest, PowerRangesOfBothBandsAndAnUnknownBand)
{
    Station("GSM,PCS", 1);
    // Power slots 1..3 of the first band and 4..6 of the second; the file names a
    // slot's cell by band, row and column.
    auto range = [this](int slot, int column) {
        const int band = slot > 3 ? 2 : 1;
        return PowerRangeText(record, band, RowAt(int(RowId::TxPower1) + (slot - 1) % 3), column);
    };
    EXPECT_EQ(range(1, 1), QStringLiteral("( 31 - 35 dBm )"));
    EXPECT_EQ(range(3, 3), QStringLiteral("( 11 - 15 dBm )"));
    EXPECT_EQ(range(4, 1), QStringLiteral("( 28 - 32 dBm )"));
    EXPECT_EQ(range(6, 3), QStringLiteral("( 8 - 12 dBm )"));
    app.st.LimitTxPower = 20;  // below zero: the minus sign stays
    TakeStationFacts(record, app.st);
    EXPECT_EQ(range(6, 2), QStringLiteral("( -10 - 30 dBm )"));
    app.st.SystemCode = QStringLiteral("XYZ");
    TakeStationFacts(record, app.st);
    EXPECT_EQ(range(1, 1), QStringLiteral("(  dBm )"));
}

TEST_F(ResultFileTest, SuffixesThenDateAndTimeNamesWithoutOverwriting)
{
    Station("GSM", 1);
    QStringList names;
    for (int i = 0; i < 30; ++i) {
        record.FaultDescription = QString::number(i);
        WriteResultFile(app, record);
        names << Written();
    }
    QStringList expected{QStringLiteral("RESULTS/351234/0000017.TXT")};
    for (char c = 'A'; c <= '['; ++c)
        expected << QStringLiteral("RESULTS/351234/0000017%1.TXT").arg(QLatin1Char(c));
    // Date "12/7/26", time "10:04:09": characters 1-2 and 4-5 of each; the "/" that
    // falls into the name becomes "_".
    expected << QStringLiteral("RESULTS/351234/127_1004.TXT") << QStringLiteral("RESULTS/351234/127_1004-2.TXT");
    EXPECT_EQ(names, expected);
    // Every record is still there with its own contents.
    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE(ReadStationBytes(expected[i]).contains("Customer fault description: \r\n" +
                                                           QByteArray::number(i) + "\r\n"))
            << qPrintable(expected[i]);
}

TEST_F(ResultFileTest, ExistingNamesInAnotherCaseCount)
{
    Station("GSM", 1);
    QDir(dir.path()).mkpath(QStringLiteral("results/351234"));
    WriteStationBytes(QStringLiteral("results/351234/0000017.txt"), "old");
    WriteStationBytes(QStringLiteral("results/351234/0000017a.TXT"), "old");
    WriteResultFile(app, record);
    EXPECT_EQ(Written(), QStringLiteral("results/351234/0000017B.TXT"));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("results/351234/0000017.txt")), QByteArray("old"));
}

TEST_F(ResultFileTest, UnusableImeiIsAskedForAndUnsafeCharactersAreRefused)
{
    Station("GSM", 1);
    record.Imei = kNotTestedText;
    auto entry = [](const App& a) { return a.Form1.Text1.Visible && a.Form1.Command2.Caption == QLatin1String("&OK"); };
    // A path, a wildcard, 14 digits, then an IMEI typed in groups.
    int shown = 0;
    for (const char* typed : {"../../../etc/pa", "35123400000*017", "35123400000001", "35-1234/000.000033"}) {
        platform.Await([entry, shown, this](const App& a) { return entry(a) && platform.boxes.size() == shown; },
                       QStringLiteral("the IMEI entry"));
        ++shown;
        platform.Type(1, QString::fromLatin1(typed));
        platform.Press(QStringLiteral("&OK"));
    }
    platform.Answer(QStringLiteral("Please enter all 15 digits of the IMEI."), msgbox::kOk, 3);
    EXPECT_EQ(app.Form1.Label4.Caption, QString());
    WriteResultFile(app, record);
    EXPECT_EQ(Written(), QStringLiteral("RESULTS/351234/0000033.TXT"));
    EXPECT_EQ(app.st.Imei, QStringLiteral("351234000000033"));
    EXPECT_EQ(app.Form3.Imei.Caption, QStringLiteral("351234000000033"));
    EXPECT_EQ(Boxes().size(), 3);
    EXPECT_TRUE(ReadStationBytes(QStringLiteral("RESULTS/351234/0000033.TXT")).contains("IMEI: 351234000000033"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("RESULTS")});
    platform.boxes.clear();
}

TEST_F(ResultFileTest, ImeiTypedAtTheVerdictScreenKeepsTheReportChoice)
{
    Station("GSM", 1);
    record.Imei = kNotTestedText;
    platform.Press(QStringLiteral("&Test Report"));
    platform.Type(1, QStringLiteral("351234000000041"));
    platform.Press(QStringLiteral("&OK"));
    bool report = false;
    platform.Await(
        [&report](const App& a) {
            report = a.Form1.Label4.Caption == QLatin1String("Test Report");
            return report;
        },
        QStringLiteral("the report screen"));
    platform.Press(QStringLiteral("&New test"));
    VerdictScreen(app, Verdict::Failed, record);
    EXPECT_TRUE(report);
    EXPECT_EQ(Written(), QStringLiteral("RESULTS/351234/0000041.TXT"));
    EXPECT_FALSE(app.Form1.Command2.Visible || app.Form1.Command3.Visible || app.Form1.Text1.Visible);
}

TEST_F(ResultFileTest, StopAtTheImeiEntryWritesNothing)
{
    Station("GSM", 1);
    app.st.ResultFilePath = QStringLiteral("/old/file");
    record.Imei = QStringLiteral("12345");
    platform.Await([](const App& a) { return a.Form1.Text1.Visible; }, QStringLiteral("the IMEI entry"));
    platform.Do(UiAction::Stop);
    platform.Answer(QString(), msgbox::kYes);
    WriteResultFile(app, record);
    EXPECT_TRUE(app.st.ResultFilePath.isEmpty());
    EXPECT_FALSE(QDir(dir.path()).exists(QStringLiteral("RESULTS")));
    EXPECT_FALSE(app.Form1.MStop.Enabled);
}

TEST_F(ResultFileTest, FailedWriteIsReportedAndLeavesNoFile)
{
    Station("GSM", 1);
    app.st.ResultFilePath = QStringLiteral("/old/file");
    // RESULTS is a plain file: neither the folder nor the record can be made.
    WriteStationBytes(QStringLiteral("RESULTS"), "not a folder");
    WriteResultFile(app, record);
    EXPECT_TRUE(app.st.ResultFilePath.isEmpty());
    ASSERT_EQ(platform.boxes.size(), 1);
    const QString path = dir.filePath(QStringLiteral("RESULTS/351234/0000017.TXT"));
    EXPECT_TRUE(platform.boxes[0].text.startsWith(QStringLiteral("Result file could not be written: ") + path + " ("))
        << qPrintable(platform.boxes[0].text);
    EXPECT_TRUE(Trace().contains(platform.boxes[0].text));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("RESULTS")), QByteArray("not a folder"));
}

TEST_F(ResultFileTest, FullDiskLeavesOnlyCompleteFiles)
{
    // A 64 KiB file system that is nearly full: the record does not fit.
    const QString mount = dir.filePath(QStringLiteral("RESULTS"));
    QDir().mkpath(mount);
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                    QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mount}) != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{mount};
    Station("GSM", 1);
    PassedPage(app.Form3);
    WriteResultFile(app, record);  // fits
    ASSERT_FALSE(app.st.ResultFilePath.isEmpty());
    const QByteArray first = ReadStationBytes(QStringLiteral("RESULTS/351234/0000017.TXT"));
    QFile filler(dir.filePath(QStringLiteral("RESULTS/filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(1024, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    QFile::resize(filler.fileName(), filler.size() - 512);  // room for part of a record only
    WriteResultFile(app, record);
    EXPECT_TRUE(app.st.ResultFilePath.isEmpty());
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(platform.boxes[0].text.startsWith(QStringLiteral("Result file could not be written: ")));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("RESULTS/351234"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("0000017.TXT")});
    EXPECT_EQ(ReadStationBytes(QStringLiteral("RESULTS/351234/0000017.TXT")), first);
}

}  // namespace
}  // namespace celvio::testing
