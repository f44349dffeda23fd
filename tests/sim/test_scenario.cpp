// Scenario files: defaults, syntax, errors with line numbers, overrides,
// and the shipped scenarios.
#include "sim/scenario.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

using sim::Scenario;

namespace {

bool luhnValid(const QString& digits)
{
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i) {
        int d = digits[i].digitValue();
        if (i % 2 == 1 && (d *= 2) > 9)
            d -= 9;
        sum += d;
    }
    return sum % 10 == 0;
}

}  // namespace

TEST(Scenario, EmptyTextIsAPassingSingleBandPhone)
{
    QString error = QStringLiteral("stale");
    const Scenario s = Scenario::fromText(QString(), &error);
    EXPECT_TRUE(error.isEmpty());
    const QString id = s.identityAnswer();
    EXPECT_EQ(id, QStringLiteral("Dalvora,7703S,1001234567,V3.20"));
    // The program takes 12 waiting characters for an echo of its probe.
    EXPECT_NE(id.size() + 2, 12);
    EXPECT_EQ(s.imei.size(), 15);
    EXPECT_TRUE(luhnValid(s.imei));
    EXPECT_TRUE(s.supports(sim::Band::GSM));
    EXPECT_FALSE(s.supports(sim::Band::PCN));
    EXPECT_GE(s.registrationDelayS, 0);
    EXPECT_GE(s.dialDelayS, 0);
    EXPECT_GE(s.answerDelayS, 0);
}

TEST(Scenario, ParsesValuesCommentsAndBlankLines)
{
    QString error;
    const Scenario s = Scenario::fromText(QStringLiteral("# a phone that dials a code\n"
                                                         "\n"
                                                         "  phone.digits = *#06#   # keypad code\r\n"
                                                         "phone.registration = never\n"
                                                         "PHONE.BANDS = gsm, pcn\n"
                                                         "fault.tx_power_attempts = 1,3\n"
                                                         "fault.template_attempts = all\n"
                                                         "network.channels = 17:42, 25:255\n"
                                                         "tester.identity = Dalvora 7703S\n"),
                                          &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(s.digits, QStringLiteral("*#06#"));
    EXPECT_LT(s.registrationDelayS, 0);
    EXPECT_TRUE(s.supports(sim::Band::PCN));
    EXPECT_TRUE(s.faults.txPower.contains(1));
    EXPECT_FALSE(s.faults.txPower.contains(2));
    EXPECT_TRUE(s.faults.txPower.contains(3));
    EXPECT_TRUE(s.faults.powerTemplate.contains(99));
    EXPECT_EQ(s.usedChannels.value(25), 255);
    EXPECT_EQ(s.identityAnswer(), QStringLiteral("Dalvora 7703S"));
}

// The simulator reads its numbers with a decimal point under any regional settings of
// its process (a test program under German ones, for example), and nothing more than a
// number.
TEST(Scenario, NumbersReadTheSameUnderAnyLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {{"2.5", true, 2.5},  {" -50.5 ", true, -50.5}, {"+3", true, 3},   {"1e2", true, 100},
                          {"2,5", false, 0},   {"0x10", false, 0},       {"+-1", false, 0}, {"--1", false, 0},
                          {"", false, 0},      {"1.5dB", false, 0},      {"1e999", false, 0}};
    for (const Case& c : cases) {
        double value = -1;
        EXPECT_EQ(sim::ReadReal(QString::fromLatin1(c.text), value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
    QString error;
    const Scenario s = Scenario::fromText(QStringLiteral("phone.answer = 2.5\n"), &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(s.answerDelayS, 2.5);
    std::setlocale(LC_NUMERIC, before.c_str());
    if (!german)
        std::fprintf(stderr, "note: no de_DE.UTF-8 locale here, read under %s only\n", before.c_str());
}

TEST(Scenario, ErrorsNameTheLine)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"seed = 3\n\nphone.colour = red\n", "line 3: unknown key 'phone.colour'"},
        {"phone.registration = soon\n", "line 1: phone.registration"},
        {"# ok\nphone.digits = 12a\n", "line 2: phone.digits"},
        {"fault.tx_power_attempts = 0\n", "line 1: fault.tx_power_attempts"},
        {"network.channels = 17-42\n", "line 1: network.channels"},
        {"network.channels = 17:64\n", "line 1: network.channels"},
        {"\nnetwork.late_channels = 30\n", "line 2: network.late_channels"},
        {"network.spread = -1\n", "line 1: network.spread"},
        {"network.noise_floor = 64\n", "line 1: network.noise_floor"},
        {"phone.bands = GSM,UMTS\n", "line 1: phone.bands"},
        {"just words\n", "line 1: expected 'key = value'"},
    };
    for (const auto& c : cases) {
        QString error;
        Scenario::fromText(QString::fromLatin1(c.text), &error);
        EXPECT_TRUE(error.startsWith(QString::fromLatin1(c.expected))) << c.text << " -> " << error.toStdString();
    }
}

// A delay is a number of seconds from 0 to a day, or "never": "nan", infinities and
// huge numbers are refused with the line, as negative delays are.
TEST(Scenario, DelaysOutsideZeroToADayAreRefusedWithTheLine)
{
    const struct {
        const char* text;
        const char* expected;  // null: accepted
    } cases[] = {
        {"phone.dial = nan\n", "line 1: phone.dial: 'nan' is not a finite number"},
        {"seed = 2\nphone.answer = -NaN\n", "line 2: phone.answer: '-NaN' is not a finite number"},
        {"phone.registration = inf\n", "line 1: phone.registration: 'inf' is not a finite number"},
        {"phone.registration = -infinity\n", "line 1: phone.registration: '-infinity' is not a finite number"},
        {"\n\nphone.dial = 1e308\n", "line 3: phone.dial: a delay cannot be longer than 86400 s"},
        {"phone.answer = 86400.5\n", "line 1: phone.answer: a delay cannot be longer than 86400 s"},
        {"phone.answer = -0.5\n", "line 1: phone.answer: a delay cannot be negative"},
        {"fault.tx_power_offset = nan\n", "line 1: fault.tx_power_offset: 'nan' is not a finite number"},
        {"phone.answer = 86400\nphone.dial = 0\nphone.registration = never\n", nullptr},
    };
    for (const auto& c : cases) {
        QString error;
        const Scenario s = Scenario::fromText(QString::fromLatin1(c.text), &error);
        if (!c.expected) {
            EXPECT_TRUE(error.isEmpty()) << c.text << " -> " << error.toStdString();
            EXPECT_DOUBLE_EQ(s.answerDelayS, 86400);
            EXPECT_DOUBLE_EQ(s.dialDelayS, 0);
            EXPECT_LT(s.registrationDelayS, 0);
            continue;
        }
        EXPECT_TRUE(error.startsWith(QString::fromLatin1(c.expected))) << c.text << " -> " << error.toStdString();
    }
}

TEST(Scenario, SetOverridesAndLeavesTheScenarioAloneOnError)
{
    Scenario s;
    QString error;
    EXPECT_TRUE(s.set(QStringLiteral("phone.answer"), QStringLiteral("2.5"), &error));
    EXPECT_DOUBLE_EQ(s.answerDelayS, 2.5);
    EXPECT_FALSE(s.set(QStringLiteral("phone.answer"), QStringLiteral("-1"), &error));
    EXPECT_DOUBLE_EQ(s.answerDelayS, 2.5);
    EXPECT_FALSE(s.set(QStringLiteral("no.such.key"), QStringLiteral("1"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no.such.key")));
    // A latency range stays usable whichever end is set first.
    EXPECT_TRUE(s.set(QStringLiteral("tester.latency_min_ms"), QStringLiteral("500")));
    EXPECT_LE(s.latencyMinMs, s.latencyMaxMs);
}

TEST(Scenario, ShippedScenariosLoadAndSayWhatTheyPromise)
{
    const QDir dir(QStringLiteral(CELVIO_SOURCE_DIR "/data/scenarios"));
    auto load = [&](const char* name) {
        Scenario s;
        QString error;
        EXPECT_TRUE(Scenario::loadFile(dir.filePath(QString::fromLatin1(name)), s, &error))
            << name << ": " << error.toStdString();
        return s;
    };
    const QStringList files = dir.entryList({QStringLiteral("*.scn")});
    EXPECT_GE(files.size(), 7);
    for (const QString& f : files)
        load(f.toLatin1().constData());

    EXPECT_FALSE(load("pass-single-band.scn").supports(sim::Band::PCN));
    EXPECT_TRUE(load("pass-dual-band.scn").supports(sim::Band::PCN));
    EXPECT_EQ(load("power-recovers.scn").faults.txPower.numbers.size(), 1);
    EXPECT_NE(load("wrong-digits.scn").digits, Scenario().digits);
    EXPECT_LT(load("no-registration.scn").registrationDelayS, 0);
    EXPECT_LT(load("call-not-answered.scn").answerDelayS, 0);
    EXPECT_TRUE(load("scan.scn").usedChannels.values().contains(255));
    const Scenario shortScan = load("scan-short.scn");
    EXPECT_EQ(shortScan.usedChannels.value(12), 255);
    EXPECT_EQ(shortScan.networkSpread, 0);
}

TEST(Scenario, EveryKeyIsDocumented)
{
    QFile readme(QStringLiteral(CELVIO_SOURCE_DIR "/sim/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    for (const QString& key : Scenario::keys())
        EXPECT_TRUE(text.contains(u'`' + key + u'`')) << key.toStdString();
}

// The installed manual page names every key, alone or in its group ("fault.flood_*").
TEST(Scenario, EveryKeyIsInTheManualPage)
{
    QFile page(QStringLiteral(CELVIO_SOURCE_DIR "/data/desktop/celvio-testersim.1"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    for (const QString& key : Scenario::keys()) {
        bool named = text.contains(key);
        for (qsizetype end = key.indexOf(u'_'); !named && end > 0; end = key.indexOf(u'_', end + 1))
            named = text.contains(key.left(end) + QStringLiteral("_*"));
        EXPECT_TRUE(named) << key.toStdString();
    }
}
