// Call processing: registration, calls from and to the phone, the service
// timer, the failure bit, resets, and which band a call is on.
#include "sim_bench.h"

#include <gtest/gtest.h>

using sim::Band;
using sim::CallState;
using simtest::Bench;
using simtest::with;

TEST(Calls, LocationUpdateAnswersWhenThePhoneHasRegistered)
{
    Bench b; // registers 8 s after CALL:LOC
    b.armTimer(60);
    EXPECT_EQ(b.ask(QStringLiteral("CALL:LOC;*STB?")), QStringLiteral("0"));
    EXPECT_EQ(b.lastWaitMs, 8000 + 10);
    EXPECT_EQ(b.ask(QStringLiteral("STAT:QUES:EVEN?")), QStringLiteral("0"));
    EXPECT_TRUE(b.tester.state().registered);
    EXPECT_EQ(b.ask(QStringLiteral("CALL:MSIN:IMSI?")), QStringLiteral("001010123456789"));
}

TEST(Calls, FailedRegistrationEndsWithTheServiceTimerAndSetsBit9)
{
    Bench b(with("phone.registration", "never"));
    b.armTimer(20);
    b.ask(QStringLiteral("CALL:LOC;*STB?"));
    EXPECT_EQ(b.lastWaitMs, 20000 + 10);
    EXPECT_EQ(b.ask(QStringLiteral("STAT:QUES:EVEN?")), QStringLiteral("512"));
    EXPECT_EQ(b.ask(QStringLiteral("STAT:QUES:EVEN?")), QStringLiteral("0")); // reading clears it
    EXPECT_FALSE(b.tester.state().registered);

    // The program's clean-up after a failed search: a call attempt with a 1 s timer.
    b.armTimer(1);
    b.ask(QStringLiteral("CALL:MSOR;*ESR?"));
    EXPECT_EQ(b.lastWaitMs, 1000 + 10);
    b.send(QStringLiteral("*CLS;SYST:COMM:SER:TIM:STAT OFF"));
    EXPECT_EQ(b.ask(QStringLiteral("STAT:QUES:EVEN?")), QStringLiteral("0"));
}

TEST(Calls, WithoutTimerAWaitingActionEndsOnlyByAReset)
{
    Bench b(with("phone.registration", "never"));
    b.send(QStringLiteral("SYST:COMM:SER:TIM:STAT OFF"));
    b.send(QStringLiteral("CALL:LOC;*STB?"));
    EXPECT_TRUE(b.waitForLine(600000).isEmpty());
    // The reset abandons the location update and its pending status answer.
    EXPECT_EQ(b.ask(QStringLiteral("*RST;*IDN?")), QStringLiteral("Dalvora,7703S,1001234567,V3.20"));
    EXPECT_TRUE(b.idle(120000).isEmpty());
    EXPECT_EQ(b.tester.state().call, CallState::Idle);
}

TEST(Calls, CallFromThePhoneReportsTheDialledDigitsEncoded)
{
    Bench b(with("phone.digits", "0123*#"));
    b.armTimer(60);
    b.ask(QStringLiteral("CALL:LOC;*STB?"));
    b.ask(QStringLiteral("CALL:MSOR;*STB?"));
    EXPECT_EQ(b.lastWaitMs, 6000 + 10); // the customer dials after 6 s
    EXPECT_EQ(b.tester.state().call, CallState::Connected);
    EXPECT_EQ(b.ask(QStringLiteral("STAT:QUES:EVEN?")), QStringLiteral("0"));
    EXPECT_EQ(b.ask(QStringLiteral("CALL:MSIN:NUMB?")), QStringLiteral("0123AB"));
}

TEST(Calls, CallsFailWhenThePhoneDoesNotDoItsPart)
{
    const struct {
        const char* key;
        const char* value;
        const char* call;
        bool registerFirst;
    } cases[] = {
        {"phone.registration", "31", "CALL:LOC;*STB?", false}, // slower than the timer
        {"phone.dial", "never", "CALL:MSOR;*STB?", true},
        {"phone.answer", "never", "CALL:BSOR;*STB?", true},
        {"phone.dial", "1", "CALL:MSOR;*STB?", false}, // not registered
        {"phone.answer", "1", "CALL:BSOR;*STB?", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value + " " + c.call);
        Bench b(with(c.key, c.value));
        b.armTimer(30);
        if (c.registerFirst)
            b.ask(QStringLiteral("CALL:LOC;*STB?"));
        b.ask(QString::fromLatin1(c.call));
        EXPECT_EQ(b.lastWaitMs, 30000 + 10);
        EXPECT_EQ(b.ask(QStringLiteral("STAT:QUES:EVEN?")), QStringLiteral("512"));
        EXPECT_NE(b.tester.state().call, CallState::Connected);
    }
}

TEST(Calls, ReleaseThenNetworkCallThenReset)
{
    Bench b;
    b.connectCall();
    b.ask(QStringLiteral("CALL:BSR;*ESR?"));
    EXPECT_EQ(b.tester.state().call, CallState::Released);
    EXPECT_EQ(b.ask(QStringLiteral("MEAS:RFTR:TEMP?")), QStringLiteral("NAN")); // no call to measure

    b.ask(QStringLiteral("CALL:BSOR;*STB?"));
    EXPECT_EQ(b.lastWaitMs, 4000 + 10); // answered after 4 s
    EXPECT_EQ(b.tester.state().call, CallState::Connected);

    b.send(QStringLiteral("*RST"));
    const sim::TesterState& s = b.tester.state();
    EXPECT_EQ(s.call, CallState::Idle);
    EXPECT_FALSE(s.registered);
    EXPECT_FALSE(s.serviceTimerOn);
    EXPECT_EQ(b.ask(QStringLiteral("CALL:MSIN:IMEI?")), QStringLiteral("NAN"));
}

TEST(Calls, TheCallFollowsTrafficChannelsOfTheConfiguredSystem)
{
    sim::Scenario dual = with("phone.bands", "GSM,PCN");
    Bench b(dual);
    b.ask(QStringLiteral("CONF:CSYS GSM,PCN;*STB?"));
    b.send(QStringLiteral("CONF:GSM:BS:TCH:ARFC  30"));
    b.connectCall();
    EXPECT_EQ(b.tester.state().callBand, Band::GSM);
    b.ask(QStringLiteral("CONF:PCN:BS:TCH:ARFC 600;*STB?"));
    EXPECT_EQ(b.tester.state().callBand, Band::PCN);
    EXPECT_EQ(b.tester.state().call, CallState::Connected);

    // A band outside the configured system does not take the call.
    Bench single;
    single.connectCall();
    single.send(QStringLiteral("CONF:PCN:BS:TCH:ARFC 600"));
    EXPECT_EQ(single.tester.state().callBand, Band::GSM);
    EXPECT_EQ(single.tester.state().call, CallState::Connected);
}

TEST(Calls, APhoneWithoutTheBandLosesOrNeverGetsIt)
{
    Bench b; // GSM only
    b.ask(QStringLiteral("CONF:CSYS GSM,PCN;*STB?"));
    b.connectCall();
    b.ask(QStringLiteral("CONF:PCN:BS:TCH:ARFC 600;*STB?"));
    EXPECT_EQ(b.tester.state().call, CallState::Released);

    Bench pcn;
    pcn.ask(QStringLiteral("CONF:CSYS PCN;*STB?"));
    pcn.armTimer(10);
    pcn.ask(QStringLiteral("CALL:LOC;*STB?"));
    EXPECT_EQ(pcn.lastWaitMs, 10000 + 10);
    EXPECT_FALSE(pcn.tester.state().registered);
}

// Another phone put in the coupler between two cycles: the tester keeps its settings,
// the old phone's registration is gone, and the new phone answers with its own
// identity and faults, its attempts counted afresh.
TEST(Calls, ChangedPhoneKeepsTheTesterSettingsAndDropsTheRegistration)
{
    Bench b(with("fault.tx_power_attempts", "1"));
    b.armTimer(60);
    b.send(QStringLiteral("SYST:COMM:REM:TEXT \"Cycle 1\""));
    b.ask(QStringLiteral("CALL:LOC;*STB?"));
    ASSERT_TRUE(b.tester.state().registered);

    sim::Scenario next;
    ASSERT_TRUE(next.set(QStringLiteral("phone.imei"), QStringLiteral("351234569876543")));
    ASSERT_TRUE(next.set(QStringLiteral("phone.registration"), QStringLiteral("3")));
    ASSERT_TRUE(next.set(QStringLiteral("tester.latency_min_ms"), QStringLiteral("10")));
    ASSERT_TRUE(next.set(QStringLiteral("tester.latency_max_ms"), QStringLiteral("10")));
    b.tester.changePhone(next);
    EXPECT_FALSE(b.tester.state().registered);
    EXPECT_EQ(b.tester.state().call, CallState::Idle);
    EXPECT_EQ(b.tester.state().displayText, QStringLiteral("Cycle 1"));
    EXPECT_TRUE(b.tester.state().serviceTimerOn);
    EXPECT_EQ(b.ask(QStringLiteral("CALL:MSIN:IMEI?")), QStringLiteral("NAN"));  // not registered
    b.ask(QStringLiteral("CALL:LOC;*STB?"));
    EXPECT_EQ(b.lastWaitMs, 3000 + 10);
    EXPECT_EQ(b.ask(QStringLiteral("CALL:MSIN:IMEI?")), QStringLiteral("351234569876543"));
}
