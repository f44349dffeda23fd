// The marking of training papers: the line in front of a result file, which the history's
// reader passes over, and the line at the top of every printed page.
#include "core/training_mark.h"
#include "history/index_files.h"
#include "support/result_files.h"
#include "training/training_platform.h"
#include "training_fixture.h"

namespace celvio::testing {
namespace {

TEST(TrainingMark, ResultFileReadsTheSameWithTheMarkingLine)
{
    const QByteArray plain = HandWritten(kPassedGsmFile);
    const QByteArray marked = QByteArray("TRAINING - not a test certificate\r\n") + plain;
    CycleRecord fromPlain, fromMarked;
    QString reason;
    ASSERT_TRUE(ReadStoredResultFile(plain, QDate(2026, 12, 7), fromPlain, nullptr, DateOrder::DayFirst));
    ASSERT_TRUE(ReadStoredResultFile(marked, QDate(2026, 12, 7), fromMarked, &reason, DateOrder::DayFirst))
        << qPrintable(reason);
    EXPECT_EQ(fromMarked.Imei, QStringLiteral("351234000000017"));
    EXPECT_EQ(fromMarked.Verdict, TestVerdict::Passed);
    EXPECT_EQ(fromMarked, fromPlain);
    // Only a whole marking line is passed over: a file that merely begins with the words
    // is no result file.
    EXPECT_FALSE(ReadStoredResultFile(QByteArray("TRAINING - not a test certificate ") + plain, QDate(), fromMarked,
                                      nullptr, DateOrder::DayFirst));
    EXPECT_EQ(WithoutTrainingMark(marked), plain);
    EXPECT_EQ(WithoutTrainingMark(plain), plain);
}

TEST(TrainingMark, OnlyATrainingProgramMarksItsFiles)
{
    ScriptedPlatform platform;
    App app(platform, QStringLiteral("/nonexistent"));
    EXPECT_EQ(WithTrainingMark(app, "TEST REPORT\r\n"), QByteArray("TEST REPORT\r\n"));
    app.TrainingMark = QString::fromLatin1(kTrainingMark);
    EXPECT_EQ(WithTrainingMark(app, "TEST REPORT\r\n"),
              QByteArray("TRAINING - not a test certificate\r\nTEST REPORT\r\n"));
}

TEST(MarkingPrinter, EveryPageBeginsWithTheMarkingOnce)
{
    CapturingPrinter inner;
    MarkingPrinter printer(inner, QStringLiteral("TRAINING - not a test certificate"));
    printer.SetFont(QStringLiteral("Courier New"), 10);
    printer.PrintLine(QStringLiteral("Test report for customer"));
    printer.PrintLine(QStringLiteral("IMEI 351234560123457"));
    printer.NewPage();
    printer.PrintLine(QStringLiteral("Page two"));
    printer.EndDoc();
    // A stored result file printed as it is already begins with the marking.
    printer.PrintLine(QStringLiteral("TRAINING - not a test certificate"));
    printer.PrintLine(QStringLiteral("TEST REPORT - CELVIO : 2.02"));
    printer.EndDoc();
    ASSERT_EQ(inner.documents.size(), 2);
    const QList<QStringList> first{
        {"TRAINING - not a test certificate", "Test report for customer", "IMEI 351234560123457"},
        {"TRAINING - not a test certificate", "Page two"}};
    EXPECT_EQ(inner.documents[0].pages, first);
    const QList<QStringList> second{{"TRAINING - not a test certificate", "TEST REPORT - CELVIO : 2.02"}};
    EXPECT_EQ(inner.documents[1].pages, second);
}

TEST(MarkingPrinter, AFailingPrinterStaysFailing)
{
    CapturingPrinter inner;
    inner.failing = true;
    MarkingPrinter printer(inner, QStringLiteral("TRAINING - not a test certificate"));
    EXPECT_NE(printer.PrintLine(QStringLiteral("x")), 0);
    EXPECT_EQ(printer.LastError(), QStringLiteral("printer failing"));
}

}  // namespace
}  // namespace celvio::testing
