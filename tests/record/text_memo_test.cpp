// The memo of short texts the result file's reader keeps per thread: a value is found
// by the text's bytes alone, so texts that differ only in what a QString tells apart
// (no text at all, an empty one), or that share a beginning, must not share a value,
// and a file reads the same whatever the thread read before it.
#include "record/result_file_format.h"
#include "record/text_memo.h"
#include "support/result_files.h"
#include "support/station_fixture.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

// The memo's value of a text: the text made into a QString, counting the makings.
QString Lookup(TextMemo<QString>& memo, QByteArrayView text, int& made)
{
    return memo.Get(text, [&] {
        ++made;
        return QString::fromLatin1(text);
    });
}

TEST(TextMemoTest, TextsThatLookAlikeKeepValuesOfTheirOwn)
{
    TextMemo<QString> memo;
    int made = 0;
    const QByteArray line("33.0  ( 31 - 35 dBm )");
    // A null text (none at all) and an empty one, whichever is asked first.
    EXPECT_TRUE(Lookup(memo, QByteArrayView(), made).isNull());
    const QString empty = Lookup(memo, QByteArrayView(line).first(0), made);
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(Lookup(memo, QByteArrayView(), made).isNull());
    // A text and its beginning; the same bytes from another buffer find the first.
    EXPECT_EQ(Lookup(memo, QByteArrayView(line).first(4), made), QStringLiteral("33.0"));
    EXPECT_EQ(Lookup(memo, QByteArrayView(line).first(3), made), QStringLiteral("33."));
    EXPECT_EQ(Lookup(memo, QByteArrayView(QByteArray("33.0")), made), QStringLiteral("33.0"));
    // Bytes of Latin-1 beyond ASCII are a text like any other.
    EXPECT_EQ(Lookup(memo, QByteArrayView("Qualit\xe4t"), made), QStringLiteral(u"Qualit\u00e4t"));
    EXPECT_EQ(made, 5);
}

TEST(TextMemoTest, PastItsLimitTheMemoStartsAfreshAndStillAnswersRight)
{
    TextMemo<QString> memo(3);
    int made = 0;
    for (int round = 0; round < 2; ++round) {
        for (const char* text : {"a", "b", "c", "d", "e"})
            EXPECT_EQ(Lookup(memo, QByteArrayView(text), made), QString::fromLatin1(text));
    }
    // Five texts, three kept: the second round makes some of them again.
    EXPECT_GT(made, 5);
    EXPECT_LE(made, 10);
    const int before = made;
    EXPECT_EQ(Lookup(memo, QByteArrayView("e"), made), QStringLiteral("e"));
    EXPECT_EQ(made, before);  // the last one made is kept
}

TEST(TextMemoTest, ALimitLeftBlankIsNotTakenForNoLimitWhateverCameBefore)
{
    // The template row as written (no limit: the line ends before the limit's column),
    // and failed with a value so long that its limit goes below it, left blank there.
    const QByteArray none = HandWritten(kPassedGsmFile);
    QByteArray blank = none;
    blank.replace("Power-Time Template    :  Passed        \r\n",
                  "Power-Time Template    : * Template failed\r\n" + QByteArray(40, ' ') + "\r\n");
    ASSERT_NE(blank, none);
    for (const QList<const QByteArray*>& order : {QList<const QByteArray*>{&none, &blank, &none},
                                                  QList<const QByteArray*>{&blank, &none, &blank}}) {
        for (const QByteArray* file : order) {
            CycleRecord record;
            ASSERT_TRUE(ReadResultFile(*file, QDate(2026, 12, 7), record));
            const Reading& cell = record.At(1, RowId::Template, 3);
            SCOPED_TRACE(file == &none ? "no limit" : "blank limit");
            EXPECT_EQ(cell.Outcome, file == &none ? ReadingOutcome::Passed : ReadingOutcome::Failed);
            EXPECT_TRUE(cell.Limits.Text.isEmpty());
            EXPECT_EQ(cell.Limits.Text.isNull(), file == &none);
        }
    }
}

}  // namespace
}  // namespace celvio::testing
