// Transport faults and odd identities: silence, garbage, split answers, an
// echoing port, a wrong model.
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
