// The line protocol: line ends, the record of received lines, answer timing,
// compound lines, settings and the error queue.
#include "sim_bench.h"

#include <gtest/gtest.h>

using simtest::Bench;

TEST(Protocol, RecordsLinesExactlyAndCountsCrLfOnce)
{
    Bench b;
    // The port probe ends in a lone CR; XON/XOFF bytes are flow control.
    b.tester.write("\r*RST;*IDN?\r");
    b.tester.write("CONF:GSM:BS:CCH:ARFC  62\r");
    b.tester.write("\n\r\n\x13SYST:ERR?\x11\r\n");
    b.tester.write("CONF:GSM:BS:TCH:ARFC ");
    b.tester.write("62\nX\n\r");
    EXPECT_EQ(b.tester.receivedLines(),
              (QStringList{"*RST;*IDN?", "CONF:GSM:BS:CCH:ARFC  62", "SYST:ERR?", "CONF:GSM:BS:TCH:ARFC 62", "X"}));
    EXPECT_EQ(b.tester.state().band(sim::Band::GSM).tch, 62);
    b.tester.clearReceived();
    EXPECT_TRUE(b.tester.receivedLines().isEmpty());
}

TEST(Protocol, IdentityAnswersOnlyAfterTheResetAndTheLatency)
{
    sim::Scenario s;
    s.resetMs = 800;
    s.latencyMinMs = 20;
    s.latencyMaxMs = 60;
    Bench b(s);
    b.tester.write("\r*RST;*IDN?\r");
    b.idle(800);
    EXPECT_EQ(b.tester.bytesAvailable(), 0);
    const QByteArray answer = b.waitForLine();
    EXPECT_EQ(answer, QByteArray("Dalvora,7703S,1001234567,V3.20\r\n"));
    EXPECT_GE(b.now, 820);
    EXPECT_LE(b.now, 860);
}

TEST(Protocol, SettingCommandsAreNeverAnswered)
{
    Bench b;
    b.send(QStringLiteral("*CLS"));
    b.send(QStringLiteral("CONF:GSM:MS:TCH:PLEV 7"));
    b.send(QStringLiteral("SYST:COMM:REM:TEXT \"Initialize...\""));
    EXPECT_TRUE(b.idle(60000).isEmpty());
    EXPECT_EQ(b.tester.nextEventMs(), -1);
}

TEST(Protocol, SeveralQueriesOnALineShareOneAnswerLine)
{
    Bench b;
    EXPECT_EQ(b.ask(QStringLiteral("*STB?;SYST:ERR?;CONF:CSYS?")), QStringLiteral("0;0,\"No error\";GSM"));
}

TEST(Protocol, CompoundCommandsUseThePathOfThePreviousCommand)
{
    Bench b;
    EXPECT_EQ(b.ask(QStringLiteral("RFG:GSM:LEV -45;LEV?")), QStringLiteral("-45"));
    EXPECT_EQ(b.ask(QStringLiteral("RFG:PCN:LEV -50.5;LEV?")), QStringLiteral("-50.5"));
    EXPECT_EQ(b.tester.state().band(sim::Band::GSM).generatorDbm, -45);
    b.send(QStringLiteral("CONF:PCN:MS:TCH:PLEV 4;:AUD:LOOP ON"));
    EXPECT_TRUE(b.tester.state().band(sim::Band::PCN).audioLoop);
    b.send(QStringLiteral("CONF:GSM:AUD:LOOP ON"));
    EXPECT_TRUE(b.tester.state().band(sim::Band::GSM).audioLoop);
    b.send(QStringLiteral("conf:gsm:aud:loop off"));
    EXPECT_FALSE(b.tester.state().band(sim::Band::GSM).audioLoop);
    // Alone on a line, the short forms act on the band of the call.
    b.send(QStringLiteral(":AUD:LOOP ON"));
    EXPECT_TRUE(b.tester.state().band(sim::Band::GSM).audioLoop);
    EXPECT_EQ(b.ask(QStringLiteral(":LEV -110;*STB?;LEV?")), QStringLiteral("0;-110"));
    EXPECT_EQ(b.ask(QStringLiteral("SYST:ERR?")), QStringLiteral("0,\"No error\""));
}

TEST(Protocol, KeepsSettingsWrittenWithTheProgramsBlanks)
{
    Bench b;
    b.ask(QStringLiteral("CONF:CSYS GSM,PCS;*STB?"));
    b.send(QStringLiteral("CONF:GSM:BS:CCH:ARFC  62"));
    b.send(QStringLiteral("CONF:GSM:MS:TCH:PLEV  5"));
    b.send(QStringLiteral("SYST:SETT:PATT:LEV 20,15"));
    b.send(QStringLiteral("CONF:PCS:PATT:LEV  1.5, 2"));
    b.send(QStringLiteral("SYST:COMM:REM:TEXT \"a;b\""));
    const sim::TesterState& s = b.tester.state();
    EXPECT_EQ(s.systemCode, QStringLiteral("GSM,PCS"));
    EXPECT_EQ(s.band(sim::Band::GSM).bcch, 62);
    EXPECT_EQ(s.band(sim::Band::GSM).tchPowerLevel, 5);
    EXPECT_EQ(s.settingsPathAtt2, 15);
    EXPECT_EQ(s.band(sim::Band::PCS).pathAtt1, 1.5);
    EXPECT_EQ(s.band(sim::Band::PCS).pathAtt2, 2);
    EXPECT_EQ(s.displayText, QStringLiteral("a;b"));
    EXPECT_FALSE(s.local);
    b.send(QStringLiteral("SYST:COMM:LOC"));
    EXPECT_TRUE(b.tester.state().local);
}

TEST(Protocol, BadCommandsAreQueuedAsErrorsAndTheLineIsStillAnswered)
{
    Bench b;
    EXPECT_EQ(b.ask(QStringLiteral("BOGUS:CMD 1;*STB?")), QStringLiteral("36")); // error queue + ESR summary
    b.send(QStringLiteral("CONF:GSM:BS:TCH:ARFC 600"));  // not a GSM channel
    b.send(QStringLiteral("CONF:CSYS UMTS"));
    b.send(QStringLiteral("CONF:GSM:MS:TCH:PLEV"));
    EXPECT_EQ(b.tester.state().band(sim::Band::GSM).tch, 62);
    EXPECT_EQ(b.tester.state().systemCode, QStringLiteral("GSM"));
    // An unknown query still gets its (empty) place in the answer line.
    EXPECT_EQ(b.ask(QStringLiteral("FOO?")), QString());
    EXPECT_EQ(b.ask(QStringLiteral("*ESR?")), QStringLiteral("48"));
    const QStringList expected{"-113,\"Undefined header\"", "-222,\"Data out of range\"",
                               "-224,\"Illegal parameter value\"", "-109,\"Missing parameter\"",
                               "-113,\"Undefined header\"", "0,\"No error\""};
    for (const QString& e : expected)
        EXPECT_EQ(b.ask(QStringLiteral("SYST:ERR?")), e);
    b.send(QStringLiteral("NOPE"));
    b.send(QStringLiteral("*CLS"));
    EXPECT_EQ(b.ask(QStringLiteral("SYST:ERR?;*ESR?")), QStringLiteral("0,\"No error\";0"));
}
