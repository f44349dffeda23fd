// The memo of short texts the result file's reader keeps per thread: a value is found
// by the text's bytes alone, so texts that differ only in what a QString tells apart
// (no text at all, an empty one), or that share a beginning, must not share a value.
#include "record/text_memo.h"

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

}  // namespace
}  // namespace celvio::testing
