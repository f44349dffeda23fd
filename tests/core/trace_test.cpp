// The trace buffer, its autosave to DEBUG.LOG and the trace window's buttons.
#include "core/trace.h"
#include "support/station_fixture.h"

#include <QFile>

namespace celvio::testing {
namespace {

class TraceTest : public StationFixture {};

TEST_F(TraceTest, NothingIsTracedOrWrittenWhenTracingIsOff)
{
    app.st.DebugMode = kFalse;
    TraceLine(app, QStringLiteral("hello"));
    EXPECT_TRUE(Trace().isEmpty());
    EXPECT_FALSE(QFile::exists(StationFile(QStringLiteral("DEBUG.LOG"))));
}

TEST_F(TraceTest, The10003rdLineAutosavesAndEmptiesTheList)
{
    app.st.DebugMode = kTrue;
    for (int i = 1; i <= 10002; ++i)
        TraceLine(app, QStringLiteral("line %1").arg(i));
    EXPECT_EQ(Trace().size(), 10002);
    EXPECT_FALSE(QFile::exists(StationFile(QStringLiteral("DEBUG.LOG"))));

    TraceLine(app, QStringLiteral("line 10003"));
    EXPECT_TRUE(Trace().isEmpty());
    const QList<QByteArray> lines = ReadStationBytes(QStringLiteral("DEBUG.LOG")).split('\n');
    // 10003 trace lines, the marker, and the empty rest after the last CR LF.
    ASSERT_EQ(lines.size(), 10005);
    EXPECT_EQ(lines[0], QByteArray("line 1\r"));
    EXPECT_EQ(lines[10002], QByteArray("line 10003\r"));
    EXPECT_EQ(lines[10003], QByteArray("--Debugbuffer full. Autosaved--\r"));
    EXPECT_TRUE(lines[10004].isEmpty());

    // The next block is appended, never truncated.
    TraceLine(app, QStringLiteral("after"));
    SaveDebugLog(app);
    EXPECT_TRUE(ReadStationBytes(QStringLiteral("DEBUG.LOG")).endsWith("--Debugbuffer full. Autosaved--\r\nafter\r\n"));
    EXPECT_EQ(Trace(), QStringList{QStringLiteral("after")});
}

TEST_F(TraceTest, SaveAndClearChangeNothingAndSayWhy)
{
    app.st.DebugMode = kTrue;
    TraceLine(app, QStringLiteral("one"));
    TraceLine(app, QStringLiteral("two"));
    DebugFrm_SaveClick(app);
    DebugFrm_ClearClick(app);
    EXPECT_EQ(Trace(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_FALSE(QFile::exists(StationFile(QStringLiteral("DEBUG.LOG"))));
    ASSERT_EQ(platform.boxes.size(), 2);
    EXPECT_EQ(platform.boxes[0].title, QStringLiteral("MESSAGE"));
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("Function not available.\r\nAUTOSAVE active.\r\n"));
}

TEST_F(TraceTest, PrintSendsEveryLineAndReportsAFailingPrinter)
{
    app.st.DebugMode = kTrue;
    TraceLine(app, QStringLiteral("a"));
    TraceLine(app, QStringLiteral("b"));
    DebugFrm_PrintClick(app);
    ASSERT_EQ(platform.printer.documents.size(), 1);
    EXPECT_EQ(platform.printer.documents[0].pages.value(0), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

    platform.printer.failing = true;
    DebugFrm_PrintClick(app);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("There was a problem printing to your printer."));
    EXPECT_EQ(Trace().size(), 3);
    EXPECT_EQ(Trace().last(), QStringLiteral("Trace not printed: printer failing"));
}

TEST_F(TraceTest, AnUnwritableLogIsReportedOnce)
{
    app.st.DebugMode = kTrue;
    app.StationDir = dir.filePath(QStringLiteral("missing-folder"));
    TraceLine(app, QStringLiteral("x"));
    SaveDebugLog(app);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("There was a problem with file DEBUG.LOG.\r\n") +
                                          dir.filePath(QStringLiteral("missing-folder/DEBUG.LOG")) +
                                          QStringLiteral("\r\nNo such file or directory"));
    EXPECT_EQ(Trace().size(), 1);
}

}  // namespace
}  // namespace celvio::testing
