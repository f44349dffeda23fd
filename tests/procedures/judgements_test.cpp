// The limit judgements of the transmitter and receiver readings, alone: the cell text
// and the verdict of each value against limits written by hand.
#include "procedures/judgements.h"

#include <gtest/gtest.h>
#include <limits>

namespace celvio {
namespace {

// nominal 33 dBm +/- 3, phase RMS 5, peak 20, frequency 90 Hz, burst 553 +/- 2 us
TransmitterLimits ShopLimits()
{
    TransmitterLimits l;
    l.nominalPower = 33;
    l.power = 3;
    l.phaseRms = 5;
    l.phasePeak = 20;
    l.frequency = 90;
    l.burstLength = 2;
    return l;
}

struct Expected {
    const char* text;
    bool failed;
};

void ExpectJudged(const JudgedValue& v, const Expected& e, const char* what)
{
    EXPECT_EQ(v.text, QString::fromUtf8(e.text)) << what;
    EXPECT_EQ(v.failed, e.failed) << what;
}

TEST(JudgementsTest, TransmitterFieldsAgainstTheirLimits)
{
    const struct {
        const char* what;
        const char* fields[5];  // peak, RMS, frequency, burst, power
        Expected power, rms, peak, frequency, burst;
    } cases[] = {
        {"a good phone; the limits themselves pass",
         {"20", "3", "-45", "553", "33.2"},
         {"33 dBm", false}, {"3 deg", false}, {"20 deg", false}, {"-45 Hz", false}, {"553 µsec", false}},
        {"rounded half up: 36.5 is 37 and fails, 29.5 would be 30",
         {"-20.4", "5.4", "90.4", "555", "36.5"},
         {"37 dBm", true}, {"5 deg", false}, {"-20 deg", false}, {"90 Hz", false}, {"555 µsec", false}},
        {"just outside: magnitudes rounded above the limit, burst not rounded",
         {"21", "-5.5", "-90.5", "550.5", "29.4"},
         {"29 dBm", true}, {"-5 deg", true}, {"21 deg", true}, {"-90 Hz", true}, {"550.5 µsec", true}},
        {"the instrument's not-a-number fails and shows as read",
         {"9.91E37", "9.91E37", "9.91E37", "9.91E37", "9.91E37"},
         {"9.91E37 dBm", true}, {"9.91E37 deg", true}, {"9.91E37 deg", true}, {"9.91E37 Hz", true},
         {"9.91E37 µsec", true}},
        {"no number, an empty field, trailing text, a value beyond the quantity",
         {"NAN", "", "12abc", "-1", " 250 "},
         {"250 dBm", true}, {"? deg", true}, {"NAN deg", true}, {"12abc Hz", true}, {"-1 µsec", true}},
    };
    for (const auto& c : cases) {
        QString fields[5];
        for (int i = 0; i < 5; ++i)
            fields[i] = QString::fromLatin1(c.fields[i]);
        const TransmitterJudgement j = JudgeTransmitterFields(fields, ShopLimits(), true);
        ExpectJudged(j.power, c.power, c.what);
        ExpectJudged(j.phaseRms, c.rms, c.what);
        ExpectJudged(j.phasePeak, c.peak, c.what);
        ExpectJudged(j.frequency, c.frequency, c.what);
        ExpectJudged(j.burstLength, c.burst, c.what);

        // Without modulation only the power is judged.
        const TransmitterJudgement p = JudgeTransmitterFields(fields, ShopLimits(), false);
        ExpectJudged(p.power, c.power, c.what);
        for (const JudgedValue* v : {&p.phaseRms, &p.phasePeak, &p.frequency, &p.burstLength}) {
            EXPECT_TRUE(v->text.isEmpty()) << c.what;
            EXPECT_FALSE(v->failed) << c.what;
        }
    }
}

// Limits of any 32-bit size are computed without overflow: the widest pass every real
// reading, the most negative fail every one.
TEST(JudgementsTest, ExtremeLimitsNeitherOverflowNorPassNonsense)
{
    const QString fields[5] = {QStringLiteral("-360"), QStringLiteral("360"), QStringLiteral("1E7"),
                               QStringLiteral("0"), QStringLiteral("-200")};
    TransmitterLimits wide;
    wide.nominalPower = 33;
    wide.power = wide.phaseRms = wide.phasePeak = wide.frequency = wide.burstLength =
        std::numeric_limits<qint32>::max();
    const TransmitterJudgement w = JudgeTransmitterFields(fields, wide, true);
    for (const JudgedValue* v : {&w.power, &w.phaseRms, &w.phasePeak, &w.frequency, &w.burstLength})
        EXPECT_FALSE(v->failed) << qPrintable(v->text);

    TransmitterLimits negative = wide;
    negative.power = negative.phaseRms = negative.phasePeak = negative.frequency = negative.burstLength =
        std::numeric_limits<qint32>::min();
    const TransmitterJudgement n = JudgeTransmitterFields(fields, negative, true);
    for (const JudgedValue* v : {&n.power, &n.phaseRms, &n.phasePeak, &n.frequency, &n.burstLength})
        EXPECT_TRUE(v->failed) << qPrintable(v->text);

    EXPECT_FALSE(JudgeRxLevel(QStringLiteral("0"), -60, std::numeric_limits<qint32>::max()).failed);
    EXPECT_TRUE(JudgeRxLevel(QStringLiteral("50"), -60, std::numeric_limits<qint32>::min()).failed);
    EXPECT_TRUE(JudgeRxQuality(QStringLiteral("0"), std::numeric_limits<qint32>::min()).failed);
}

// The generator sends -60 dBm: the phone should report 50 (-110 dBm is 0), RXLEV 6
// allows 44..56; RXQUAL 2 allows qualities up to 2.
TEST(JudgementsTest, ReceiverReportsAgainstTheGeneratorLevel)
{
    const struct {
        const char* answer;
        Expected level;
        Expected quality;
    } cases[] = {
        {"44", {"44", false}, {"44", true}},
        {"56", {"56", false}, {"56", true}},
        {"57", {"57", true}, {"57", true}},
        {"2", {"2", true}, {"2", false}},
        {"2.5", {"2.5", true}, {"2.5", true}},
        {" 0 ", {"0", true}, {"0", false}},
        {"9.91E37", {"9.91E37", true}, {"9.91E37", true}},
        {"256", {"256", true}, {"256", true}},
        {"", {"?", true}, {"?", true}},
        {"NAN", {"NAN", true}, {"NAN", true}},
    };
    for (const auto& c : cases) {
        const QString line = QString::fromLatin1(c.answer);
        ExpectJudged(JudgeRxLevel(line, -60, 6), c.level, c.answer);
        ExpectJudged(JudgeRxQuality(line, 2), c.quality, c.answer);
    }
}

}  // namespace
}  // namespace celvio
