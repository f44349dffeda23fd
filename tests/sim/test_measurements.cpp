// Measured values: following power level, band and generator level; a
// repeatable spread; faults on chosen attempts; what the phone hears in a scan.
#include "sim_bench.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using simtest::Bench;

namespace {

const QString kTx = QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3");

QList<double> fields(const QString& answer)
{
    QList<double> values;
    for (const QString& f : answer.split(u','))
        values << f.toDouble();
    return values;
}

}  // namespace

TEST(Measurements, TransmitterFollowsPowerLevelAndBand)
{
    sim::Scenario s = Bench::fastScenario();
    s.set(QStringLiteral("phone.bands"), QStringLiteral("GSM,PCN"));
    Bench b(s);
    b.ask(QStringLiteral("CONF:CSYS GSM,PCN;*STB?"));
    b.connectCall();
    b.send(QStringLiteral("CONF:GSM:MS:TCH:PLEV  5"));
    for (int i = 0; i < 10; ++i) {
        const QString answer = b.ask(kTx);
        const QList<double> v = fields(answer);
        ASSERT_EQ(v.size(), 5) << answer.toStdString();
        EXPECT_NEAR(v[4], 33.0, 0.61);
        EXPECT_GT(v[0], v[1]);           // peak phase above RMS phase
        EXPECT_LE(std::abs(v[2]), 45);   // Hz
        EXPECT_EQ(v[2], std::round(v[2]));
        EXPECT_NEAR(v[3], 553.0, 0.41);  // µs
        EXPECT_EQ(b.ask(QStringLiteral("MEAS:RFTR:TEMP?")), QStringLiteral("0,0,0,0,0"));
    }
    b.send(QStringLiteral("CONF:GSM:MS:TCH:PLEV  10"));
    EXPECT_NEAR(fields(b.ask(kTx))[4], 23.0, 0.61);

    b.ask(QStringLiteral("CONF:PCN:BS:TCH:ARFC 600;*STB?"));
    b.send(QStringLiteral("CONF:PCN:MS:TCH:PLEV 0"));
    EXPECT_NEAR(fields(b.ask(kTx))[4], 30.0, 0.61);
    b.send(QStringLiteral("CONF:PCN:MS:TCH:PLEV 4"));
    EXPECT_NEAR(fields(b.ask(kTx))[4], 22.0, 0.61);
}

TEST(Measurements, TheSpreadIsRepeatableForASeed)
{
    auto session = [](quint32 seed) {
        sim::Scenario s = Bench::fastScenario();
        s.seed = seed;
        Bench b(s);
        b.connectCall();
        QStringList answers;
        for (int i = 0; i < 3; ++i)
            answers << b.ask(kTx) << b.ask(QStringLiteral("CALL:MSIN:RXL?"));
        return answers;
    };
    EXPECT_EQ(session(7), session(7));
    EXPECT_NE(session(7), session(8));
}

TEST(Measurements, FaultsHitOnlyTheChosenAttemptsOfTheirQuery)
{
    const struct {
        const char* key;
        const char* query;
        std::function<bool(const QString&)> isFault;
    } cases[] = {
        {"fault.tx_power_attempts", "MEAS:ARR:RFTR:GRO:ALL:MAV? 3",
         [](const QString& a) { return fields(a)[4] > 38.0; }},
        {"fault.phase_attempts", "MEAS:ARR:RFTR:GRO:ALL:MAV? 3",
         [](const QString& a) { return fields(a)[0] == 35.0 && fields(a)[1] == 12.0; }},
        {"fault.freq_attempts", "MEAS:ARR:RFTR:GRO:ALL:MAV? 3", [](const QString& a) { return fields(a)[2] == 350; }},
        {"fault.burst_attempts", "MEAS:ARR:RFTR:GRO:ALL:MAV? 3",
         [](const QString& a) { return fields(a)[3] == 561.0; }},
        {"fault.template_attempts", "MEAS:RFTR:TEMP?", [](const QString& a) { return a != "0,0,0,0,0"; }},
        {"fault.rxlev_attempts", "CALL:MSIN:RXL?", [](const QString& a) { return a.toInt() < 45; }},
        {"fault.rxqual_attempts", "CALL:MSIN:RXQ?", [](const QString& a) { return a == "5"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        sim::Scenario s = Bench::fastScenario();
        ASSERT_TRUE(s.set(QString::fromLatin1(c.key), QStringLiteral("1,3")));
        Bench b(s);
        b.connectCall();
        b.ask(QStringLiteral("RFG:GSM:LEV -60;*ESR?"));
        QList<bool> hits;
        for (int attempt = 1; attempt <= 4; ++attempt) {
            hits << c.isFault(b.ask(QString::fromLatin1(c.query)));
            // Queries of other kinds do not count as attempts.
            b.ask(QStringLiteral("MEAS:RFTR:TEMP?") == c.query ? kTx : QStringLiteral("MEAS:RFTR:TEMP?"));
        }
        EXPECT_EQ(hits, (QList<bool>{true, false, true, false}));
    }
}

TEST(Measurements, RxLevelFollowsTheGenerator)
{
    Bench b;
    b.connectCall();
    const struct {
        int generator;
        int low;
        int high;
    } cases[] = {{-60, 49, 51}, {-85, 24, 26}, {-30, 63, 63}, {-115, 0, 1}};
    for (const auto& c : cases) {
        b.send(QStringLiteral("RFG:GSM:LEV %1").arg(c.generator));
        for (int i = 0; i < 10; ++i) {
            const int level = b.ask(QStringLiteral("CALL:MSIN:RXL?")).toInt();
            EXPECT_GE(level, c.low) << c.generator;
            EXPECT_LE(level, c.high) << c.generator;
        }
        EXPECT_EQ(b.ask(QStringLiteral("CALL:MSIN:RXQ?")), QStringLiteral("0"));
    }
}

TEST(Measurements, ScanHearsOnlyRealNetworksAtMinus110)
{
    sim::Scenario s = Bench::fastScenario();
    s.set(QStringLiteral("network.channels"), QStringLiteral("17:42, 25:255"));
    Bench b(s);
    b.connectCall();
    auto report = [&b](int channel, int generator) {
        b.ask(QStringLiteral("CONF:GSM:BS:TCH:ARFC %1;*ESR?").arg(channel));
        b.ask(QStringLiteral("RFG:GSM:LEV %1;*STB?").arg(generator));
        return b.ask(QStringLiteral("MEAS:CALL:RX?"));
    };
    const QStringList used = report(17, -110).split(u',');
    EXPECT_NEAR(used[0].toInt(), 42, 1);
    EXPECT_EQ(report(25, -110), QStringLiteral("255,7"));
    for (int channel : {1, 30, 124}) {
        const int level = report(channel, -110).split(u',')[0].toInt();
        EXPECT_GE(level, 0);
        EXPECT_LE(level, 3);
    }
    EXPECT_EQ(report(30, -45), QStringLiteral("63,0"));
}

// With no spread the interference table is reported as it stands, free channels
// read 0, and a late network is heard from the second report of its channel on,
// also on another band's channel numbers.
TEST(Measurements, ExactInterferenceTableAndLateNetworks)
{
    sim::Scenario s = Bench::fastScenario();
    s.set(QStringLiteral("network.channels"), QStringLiteral("17:42, 25:255, 1000:0, 546:31"));
    s.set(QStringLiteral("network.late_channels"), QStringLiteral("30:40, 62:255"));
    s.set(QStringLiteral("network.spread"), QStringLiteral("0"));
    s.set(QStringLiteral("network.noise_floor"), QStringLiteral("0"));
    s.set(QStringLiteral("phone.bands"), QStringLiteral("GSM,PCN"));
    Bench b(s);
    b.ask(QStringLiteral("CONF:CSYS GSM,PCN;*STB?"));
    b.connectCall();
    auto report = [&b](const char* band, int channel) {
        b.ask(QStringLiteral("CONF:%1:BS:TCH:ARFC %2;*ESR?").arg(QLatin1String(band)).arg(channel));
        b.ask(QStringLiteral("RFG:%1:LEV -110;*STB?").arg(QLatin1String(band)));
        return b.ask(QStringLiteral("MEAS:CALL:RX?"));
    };
    const struct {
        const char* band;
        int channel;
        const char* answer;
    } cases[] = {
        {"GSM", 17, "42,2"}, {"GSM", 17, "42,2"},   {"GSM", 25, "255,7"}, {"GSM", 1, "0,7"},
        {"GSM", 1000, "0,2"}, {"GSM", 30, "0,7"},   {"GSM", 30, "40,2"},  {"GSM", 30, "40,2"},
        {"GSM", 62, "0,7"},   {"GSM", 62, "255,7"}, {"PCN", 546, "31,2"}, {"PCN", 548, "0,7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(report(c.band, c.channel), QLatin1String(c.answer)) << c.band << ' ' << c.channel;
}

TEST(Measurements, NoiseFloorBoundsFreeChannels)
{
    sim::Scenario s = Bench::fastScenario();
    s.set(QStringLiteral("network.noise_floor"), QStringLiteral("5"));
    Bench b(s);
    b.connectCall();
    int highest = 0;
    for (int channel = 1; channel <= 124; ++channel) {
        b.ask(QStringLiteral("CONF:GSM:BS:TCH:ARFC %1;*ESR?").arg(channel));
        b.ask(QStringLiteral("RFG:GSM:LEV -110;*STB?"));
        const int level = b.ask(QStringLiteral("MEAS:CALL:RX?")).split(u',')[0].toInt();
        EXPECT_GE(level, 0);
        highest = std::max(highest, level);
    }
    EXPECT_EQ(highest, 5);  // reached over 124 channels, never passed
}

TEST(Measurements, ANetworkOnTheTrafficChannelSpoilsTheQuality)
{
    sim::Scenario s = Bench::fastScenario();
    s.set(QStringLiteral("network.channels"), QStringLiteral("30:48"));
    Bench b(s);
    b.send(QStringLiteral("CONF:GSM:BS:TCH:ARFC 30;:RFG:GSM:LEV -60"));
    b.connectCall();
    EXPECT_GE(b.ask(QStringLiteral("CALL:MSIN:RXL?")).toInt(), 48);
    EXPECT_EQ(b.ask(QStringLiteral("CALL:MSIN:RXQ?")), QStringLiteral("4"));
}
