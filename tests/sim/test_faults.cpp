// Transport faults and odd identities: silence, garbage, split answers, an
// echoing port, a wrong model, answers without their line end, floods, a device
// that vanishes and a tester that restarts.
#include "sim_bench.h"

#include <gtest/gtest.h>

using simtest::Bench;
using simtest::with;

TEST(Faults, SilenceFromTheNthLineOrACommandPrefixOn)
{
    Bench b(with("fault.silent_from", "3"));
    EXPECT_FALSE(b.ask(QStringLiteral("*IDN?")).isEmpty());
    b.send(QStringLiteral("*CLS"));
    EXPECT_TRUE(b.ask(QStringLiteral("*IDN?")).isEmpty());
    EXPECT_TRUE(b.ask(QStringLiteral("*STB?")).isEmpty());
    EXPECT_EQ(b.tester.receivedLines().size(), 4); // still recorded

    Bench p(with("fault.silent_prefix", "CALL:MSIN:IMEI"));
    EXPECT_EQ(p.ask(QStringLiteral("*STB?")), QStringLiteral("0"));
    EXPECT_TRUE(p.ask(QStringLiteral("call:msin:imei?")).isEmpty());
    EXPECT_TRUE(p.ask(QStringLiteral("*STB?")).isEmpty());
}

TEST(Faults, GarbageByQueryCountOrPrefix)
{
    sim::Scenario s = with("fault.garbage_queries", "2");
    s.set(QStringLiteral("fault.garbage_prefix"), QStringLiteral("MEAS:"));
    s.set(QStringLiteral("fault.garbage_text"), QStringLiteral("x?x"));
    Bench b(s);
    EXPECT_EQ(b.ask(QStringLiteral("*STB?")), QStringLiteral("0"));
    EXPECT_EQ(b.ask(QStringLiteral("*STB?")), QStringLiteral("x?x"));
    EXPECT_EQ(b.ask(QStringLiteral("*STB?")), QStringLiteral("0"));
    EXPECT_EQ(b.ask(QStringLiteral("MEAS:RFTR:TEMP?")), QStringLiteral("x?x"));
}

TEST(Faults, AnswersSplitIntoPiecesWithPauses)
{
    sim::Scenario s = with("fault.split_pieces", "3");
    s.set(QStringLiteral("fault.split_pause_ms"), QStringLiteral("300"));
    Bench b(s);
    b.send(QStringLiteral("*IDN?"));
    QList<QByteArray> pieces;
    for (int t = 10; t <= 610; t += 300) { // due at 10, 310 and 610 ms
        b.now = t - 1;
        EXPECT_EQ(b.tester.bytesAvailable(), 0) << t;
        b.now = t;
        pieces << b.tester.readAll();
        EXPECT_FALSE(pieces.back().isEmpty()) << t;
    }
    EXPECT_FALSE(pieces[0].contains('\n'));
    EXPECT_EQ(pieces.join(), QByteArray("Dalvora,7703S,1001234567,V3.20\r\n"));
}

TEST(Faults, EchoOnlyPortReturnsExactlyWhatItGets)
{
    Bench b(with("fault.echo", "on"));
    const QByteArray probe("\r*RST;*IDN?\r");
    b.tester.write(probe);
    EXPECT_EQ(b.tester.readAll(), probe); // at once, 12 characters
    EXPECT_TRUE(b.idle(10000).isEmpty());
    EXPECT_EQ(b.tester.receivedLines(), QStringList{"*RST;*IDN?"});
}

TEST(Faults, IdentityFieldsOrAWholeMalformedIdentity)
{
    sim::Scenario s = with("tester.model", "8800X");
    Bench wrong(s);
    EXPECT_EQ(wrong.ask(QStringLiteral("*IDN?")), QStringLiteral("Dalvora,8800X,1001234567,V3.20"));
    Bench malformed(with("tester.identity", "Dalvora 7703S"));
    EXPECT_EQ(malformed.ask(QStringLiteral("*IDN?")), QStringLiteral("Dalvora 7703S"));
}

TEST(Faults, AnswersWithoutTheirLineEndByQueryCountOrPrefix)
{
    sim::Scenario s = with("fault.unended_queries", "2");
    s.set(QStringLiteral("fault.unended_prefix"), QStringLiteral("call:msin:imei"));
    Bench b(s);
    b.send(QStringLiteral("*STB?"));
    EXPECT_EQ(b.waitForLine(), QByteArray("0\r\n"));
    b.send(QStringLiteral("*IDN?"));
    EXPECT_EQ(b.waitForLine(), QByteArray("Dalvora,7703S,1001234567,V3.20")); // and nothing more
    EXPECT_TRUE(b.idle(60000).isEmpty());
    b.send(QStringLiteral("CALL:MSIN:IMEI?"));
    EXPECT_EQ(b.waitForLine(), QByteArray("NAN"));
}

TEST(Faults, FloodOfPrintableBytesWithoutALineEndReplacesTheAnswer)
{
    sim::Scenario s = with("fault.flood_prefix", "CALL:MSIN:IMSI");
    s.set(QStringLiteral("fault.flood_bytes"), QStringLiteral("100000"));
    Bench b(s);
    b.send(QStringLiteral("CALL:MSIN:IMSI?"));
    const QByteArray flood = b.waitForLine();
    EXPECT_EQ(flood.size(), 100000);
    EXPECT_FALSE(flood.contains('\r'));
    EXPECT_FALSE(flood.contains('\n'));
    EXPECT_TRUE(std::all_of(flood.begin(), flood.end(), [](char c) { return c > ' ' && c < 0x7f; }));
    // Later queries are answered as usual.
    EXPECT_EQ(b.ask(QStringLiteral("*IDN?")), QStringLiteral("Dalvora,7703S,1001234567,V3.20"));
    sim::Scenario refused = Bench::fastScenario();
    EXPECT_FALSE(refused.set(QStringLiteral("fault.flood_bytes"), QStringLiteral("0")));
}

// The line a fault strikes at: its number among the received lines, or the first
// line starting with a text.
TEST(Faults, DeviceVanishesAtALineAtOnceOrHalfwayThroughItsAnswer)
{
    Bench atOnce(with("fault.vanish_at", "3"));
    EXPECT_EQ(atOnce.ask(QStringLiteral("*STB?")), QStringLiteral("0"));
    atOnce.send(QStringLiteral("*CLS"));
    EXPECT_FALSE(atOnce.tester.vanished());
    atOnce.send(QStringLiteral("*IDN?"));
    EXPECT_TRUE(atOnce.tester.vanished());
    EXPECT_TRUE(atOnce.waitForLine().isEmpty());

    sim::Scenario s = with("fault.vanish_at", "call:msin:IMEI?");
    s.set(QStringLiteral("fault.vanish_mid_answer"), QStringLiteral("on"));
    Bench half(s);
    EXPECT_EQ(half.ask(QStringLiteral("CALL:MSIN:IMSI?")), QStringLiteral("NAN"));
    half.send(QStringLiteral("CALL:MSIN:IMEI? "));
    EXPECT_FALSE(half.tester.vanished()); // its half answer is still to go
    EXPECT_EQ(half.waitForLine(), QByteArray("NA")); // "NAN\r\n" cut after 2 of 5 bytes
    EXPECT_TRUE(half.tester.vanished());
    half.send(QStringLiteral("*IDN?"));
    EXPECT_TRUE(half.waitForLine().isEmpty());
}

TEST(Faults, TesterRestartsAsAfterPowerOnBeforeTheChosenLine)
{
    sim::Scenario s = with("fault.restart_at", "MEAS:");
    s.resetMs = 500;
    s.registrationDelayS = 0.1;
    s.dialDelayS = 0.1;
    Bench b(s);
    b.connectCall();
    b.send(QStringLiteral("CONF:GSM:MS:TCH:PLEV 10"));
    ASSERT_EQ(b.tester.state().call, sim::CallState::Connected);
    // The restart forgets the call and the settings, and keeps the line waiting
    // while the tester starts up; then the line runs on the fresh tester.
    const qint64 before = b.now;
    EXPECT_EQ(b.ask(QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3")), QStringLiteral("NAN,NAN,NAN,NAN,NAN"));
    EXPECT_GE(b.now - before, 500);
    EXPECT_NE(b.tester.state().call, sim::CallState::Connected);
    EXPECT_FALSE(b.tester.state().registered);
    EXPECT_FALSE(b.tester.state().serviceTimerOn);
    EXPECT_EQ(b.tester.state().band(sim::Band::GSM).tchPowerLevel, 5);
    EXPECT_EQ(b.ask(QStringLiteral("*IDN?")), QStringLiteral("Dalvora,7703S,1001234567,V3.20"));
    // Once only: the next measurement after a new call is measured.
    b.connectCall();
    EXPECT_NE(b.ask(QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3")), QStringLiteral("NAN,NAN,NAN,NAN,NAN"));

    sim::Scenario bad = Bench::fastScenario();
    EXPECT_FALSE(bad.set(QStringLiteral("fault.restart_at"), QStringLiteral("0")));
}
