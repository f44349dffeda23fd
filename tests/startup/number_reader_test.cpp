// The shared number reader: the numeric prefix of a text and the rounding to a field.
#include "core/number_reader.h"

#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace celvio {
namespace {

TEST(ReadNumber, ReadsTheNumericPrefix)
{
    struct Case {
        const char* text;
        double value;
        qsizetype consumed;
    };
    const Case cases[] = {
        {"", 0, 0}, {"abc", 0, 0}, {"  42  ", 42, 4}, {"-17", -17, 3}, {"+5", 5, 2}, {"--5", 0, 0}, {"-", 0, 0},
        // blanks and tabs are skipped anywhere, also inside the number
        {"- 1 2", -12, 5}, {"1 000", 1000, 5}, {"\t7\t8x", 78, 4},
        // a decimal point, never a comma
        {"12.5 dBm", 12.5, 4}, {".5", 0.5, 2}, {"5.", 5, 2}, {".", 0, 0}, {"30,31", 30, 2}, {"1.2.3", 1.2, 3},
        // exponents; a mark without digits is not part of the number
        {"1.5E3", 1500, 5}, {"2.5e-1", 0.25, 6}, {"1D2", 100, 3}, {"7e 2", 700, 4}, {"5E+x", 5, 1}, {"E5", 0, 0},
        // hexadecimal and octal: non-negative whole numbers
        {"&HFF", 255, 4}, {"&h1f rest", 31, 4}, {"&HFFFF", 65535, 6}, {"& H 1 0", 16, 7}, {"&O17", 15, 4},
        {"&o19", 1, 3}, {"&H", 0, 0}, {"&X1", 0, 0}, {"-&H10", 0, 0},
    };
    for (const Case& c : cases) {
        qsizetype consumed = -1;
        EXPECT_EQ(ReadNumber(QString::fromLatin1(c.text), &consumed), c.value) << c.text;
        EXPECT_EQ(consumed, c.consumed) << c.text;
    }
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ReadNumber(u"-1e400"), -inf);
    EXPECT_EQ(ReadNumber(QString(400, QLatin1Char('9'))), inf);
    EXPECT_EQ(ReadNumber(u"1e99999999999999999999"), inf);
    EXPECT_EQ(ReadNumber(u"0.001e-400"), 0);
}

TEST(RoundTo, HalvesGoToTheEvenNumberAndOverflowChangesNothing)
{
    const std::pair<double, qint16> halves[] = {{2.5, 2},   {3.5, 4},  {-2.5, -2}, {-0.5, 0},
                                                {2.51, 3},  {0.49, 0}, {-32768.5, -32768}};
    for (const auto& [value, expected] : halves) {
        qint16 out = 99;
        EXPECT_TRUE(RoundToInt16(value, out)) << value;
        EXPECT_EQ(out, expected) << value;
    }
    quint8 byte = 7;
    qint16 word = 7;
    qint32 dword = 7;
    for (double bad : {255.5, 256.0, -0.51})
        EXPECT_FALSE(RoundToByte(bad, byte)) << bad;
    for (double bad : {32767.5, -32769.0})
        EXPECT_FALSE(RoundToInt16(bad, word)) << bad;
    for (double bad : {2147483647.5, std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_FALSE(RoundToInt32(bad, dword)) << bad;
    EXPECT_EQ(byte + word + dword, 21);
    EXPECT_TRUE(RoundToByte(254.5, byte));
    EXPECT_EQ(byte, 254);
}

}  // namespace
}  // namespace celvio
