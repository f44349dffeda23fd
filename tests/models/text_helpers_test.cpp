// Reading the data files: lines through the buffered reader, KEY=value lines and the
// number at the start of a line.
#include "core/line_reader.h"
#include "core/text.h"
#include "support/station_fixture.h"

namespace celvio::testing {
namespace {

class TextHelpersTest : public StationFixture {};

TEST_F(TextHelpersTest, LinesEndAtLfDropEveryCrAndTheLastNeedsNoLf)
{
    WriteStationBytes(QStringLiteral("lines.dat"), "first\r\n\r\nmid\rdle\n\xE9t\xE9\r\nno end");
    const QStringList expected{QStringLiteral("first"), QString(), QStringLiteral("middle"),
                               QStringLiteral("\u00e9t\u00e9"), QStringLiteral("no end")};
    // Buffers smaller than a line make lines and CR LF pairs straddle the refills.
    for (qsizetype size : {1, 2, 7, 65536}) {
        LfLineReader file(size);
        ASSERT_TRUE(file.Open(StationFile(QStringLiteral("lines.dat"))));
        QStringList lines;
        for (QString line; ReadLfLine(file, line);)
            lines.append(line);
        EXPECT_EQ(lines, expected) << "buffer " << size;
    }
}

TEST_F(TextHelpersTest, KeyValueLines)
{
    EXPECT_EQ(ValuePart(QStringLiteral("1,a=b")), QStringLiteral("b"));  // "=" wins over an earlier ","
    const ValueSlots v = SplitValues(QStringLiteral("K=,b,x=y,3,4,5,6,7,8,9,10"));
    EXPECT_EQ((QStringList{v[0], v[1], v[2], v[9]}),
              (QStringList{QString(), QStringLiteral("b"), QStringLiteral("x=y"), QStringLiteral("9")}));
}

TEST_F(TextHelpersTest, LeadingNumbersOfLines)
{
    const struct {
        const char* text;
        std::optional<qint32> integer;
    } cases[] = {
        {"351234,ModelX", 351234}, {" 35 12 34 , X", 351234}, {"\t7=x", 7},   {"- 9", -9},
        {"2.5", 2},                {"3.5,x", 4},              {"1e3,x", 1000}, {"&H1F", 31},
        {"", 0},                   {"# 123", 0},              {"-", 0},       {"1234567890,x", 1234567890},
        {"-2147483648", qint32(-2147483647 - 1)},
        {"2147483648", std::nullopt},  // beyond 32 bits: no number
        {"99999999999999999999,X", std::nullopt},
        {"1e999", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingInteger(QString::fromLatin1(c.text)), c.integer) << c.text;
        // The file walks read the number straight from the line's bytes.
        EXPECT_EQ(LeadingInteger(QByteArrayView(c.text)), c.integer) << c.text;
    }
    EXPECT_EQ(NumericValue(u"-0.5dB"), -0.5);
    EXPECT_EQ(NumericValue(u"1e999"), 0.0);  // out of range counts as no number
}

}  // namespace
}  // namespace celvio::testing
