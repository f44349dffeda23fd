// The tester dialects: the 7700 family's text of every operation, the filling in of
// arguments, and the registry that picks a family by the identity answer (with a
// second, made-up family that is nothing but a table).
#include "tester/dialect_7700.h"
#include "tester/tester_dialect.h"
#include "tester/tester_family.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace celvio::testing {
namespace {

QString L(const char* text)
{
    return QString::fromLatin1(text);
}

TEST(TesterDialect, Family7700SpeaksEveryOperationAsItAlwaysHas)
{
    // Numbers come as the callers write them: a channel with its leading blank.
    const struct {
        TesterOp op;
        QStringList args;
        const char* text;
    } rows[] = {
        {TesterOp::Identify, {}, "*IDN?"},
        {TesterOp::Reset, {}, "*RST"},
        {TesterOp::ResetThenIdentify, {}, "*RST;*IDN?"},
        {TesterOp::LocalOperation, {}, "SYST:COMM:LOC"},
        {TesterOp::ClearStatus, {}, "*CLS"},
        {TesterOp::ClearStatusThenEvents, {}, "*CLS;*ESR?"},
        {TesterOp::ClearStatusAndStopTimeout, {}, "*CLS;SYST:COMM:SER:TIM:STAT OFF"},
        {TesterOp::ReadStatusByte, {}, "*STB?"},
        {TesterOp::ReadError, {}, "SYST:ERR?"},
        {TesterOp::ReadQuestionableEvents, {}, "STAT:QUES:EVEN?"},
        {TesterOp::RemoteDisplayText, {L("TX Test 2.Chan")}, "SYST:COMM:REM:TEXT \"TX Test 2.Chan\""},
        {TesterOp::SetTimeout, {L(" 60")}, "SYST:COMM:SER:TIM  60"},
        {TesterOp::StartTimeout, {}, "SYST:COMM:SER:TIM:STAT ON"},
        {TesterOp::StopTimeout, {}, "SYST:COMM:SER:TIM:STAT OFF"},
        {TesterOp::SetPathAttenuation, {L("20"), L("15")}, "SYST:SETT:PATT:LEV 20,15"},
        {TesterOp::ConfigureSystemThenStatus, {L("GSM,PCN")}, "CONF:CSYS GSM,PCN;*STB?"},
        {TesterOp::SetBandPathAttenuation, {L("PCN"), L(" 2.5"), L(" 3")}, "CONF:PCN:PATT:LEV  2.5, 3"},
        {TesterOp::SetControlChannel, {L("GSM"), L(" 30")}, "CONF:GSM:BS:CCH:ARFC  30"},
        {TesterOp::SetTrafficChannel, {L("GSM"), L(" 62")}, "CONF:GSM:BS:TCH:ARFC  62"},
        {TesterOp::SetTrafficChannelThenStatus, {L("PCN"), L(" 700")}, "CONF:PCN:BS:TCH:ARFC  700;*STB?"},
        {TesterOp::SetTrafficChannelThenEvents, {L("GSM"), L("12")}, "CONF:GSM:BS:TCH:ARFC 12;*ESR?"},
        {TesterOp::SetControlPowerLevel, {L("GSM"), L(" 5")}, "CONF:GSM:MS:CCH:PLEV  5"},
        {TesterOp::SetTrafficPowerLevel, {L("PCS"), L("4")}, "CONF:PCS:MS:TCH:PLEV 4"},
        {TesterOp::SetGeneratorLevel, {L("GSM"), L("-55")}, "RFG:GSM:LEV -55"},
        {TesterOp::SetGeneratorLevelThenStatus, {L("GSM"), L("-110")}, "RFG:GSM:LEV -110;*STB?"},
        {TesterOp::SetGeneratorLevelThenEvents, {L("PCN"), L("-60")}, "RFG:PCN:LEV -60;*ESR?"},
        {TesterOp::SetGeneratorLevelThenReadBack, {L("GSM"), L("-50")}, "RFG:GSM:LEV -50;LEV?"},
        {TesterOp::AudioLoopOn, {L("GSM")}, "CONF:GSM:AUD:LOOP ON"},
        {TesterOp::AudioLoopOff, {L("PCS")}, "CONF:PCS:AUD:LOOP OFF"},
        {TesterOp::LocationUpdateThenStatus, {}, "CALL:LOC;*STB?"},
        {TesterOp::PhoneCallThenStatus, {}, "CALL:MSOR;*STB?"},
        {TesterOp::PhoneCallThenEvents, {}, "CALL:MSOR;*ESR?"},
        {TesterOp::BaseCallThenStatus, {}, "CALL:BSOR;*STB?"},
        {TesterOp::ReleaseCallThenEvents, {}, "CALL:BSR;*ESR?"},
        {TesterOp::PhoneDialledNumber, {}, "CALL:MSIN:NUMB?"},
        {TesterOp::PhoneImei, {}, "CALL:MSIN:IMEI?"},
        {TesterOp::PhoneRevision, {}, "CALL:MSIN:RLEV?"},
        {TesterOp::PhoneImsi, {}, "CALL:MSIN:IMSI?"},
        {TesterOp::PhoneRxLevel, {}, "CALL:MSIN:RXL?"},
        {TesterOp::PhoneRxQuality, {}, "CALL:MSIN:RXQ?"},
        {TesterOp::MeasureTransmitter, {}, "MEAS:ARR:RFTR:GRO:ALL:MAV? 3"},
        {TesterOp::MeasurePowerTemplate, {}, "MEAS:RFTR:TEMP?"},
        {TesterOp::MeasureChannelReport, {}, "MEAS:CALL:RX?"},
    };
    std::set<TesterOp> covered;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(CommandText(Dialect7700(), row.op, row.args), L(row.text));
        covered.insert(row.op);
    }
    // A new operation needs its expected text here too.
    EXPECT_EQ(covered.size(), kTesterOpCount);
}

TEST(TesterDialect, ArgumentsAreFilledInOnce)
{
    const TesterDialect& d = Dialect7700();
    // A display text may hold a '%' or a placeholder of its own: it is sent as it is.
    EXPECT_EQ(CommandText(d, TesterOp::RemoteDisplayText, {L("100% %2 %1")}),
              L("SYST:COMM:REM:TEXT \"100% %2 %1\""));
    EXPECT_EQ(CommandText(d, TesterOp::SetBandPathAttenuation, {L("%3"), L("%1"), L("x")}),
              L("CONF:%3:PATT:LEV %1,x"));
    // Missing arguments are empty, surplus ones are left out.
    EXPECT_EQ(CommandText(d, TesterOp::SetTrafficChannel, {L("GSM")}), L("CONF:GSM:BS:TCH:ARFC "));
    EXPECT_EQ(CommandText(d, TesterOp::Reset, {L("extra")}), L("*RST"));
    // An operation outside the table gives no text rather than another operation's.
    EXPECT_TRUE(CommandText(d, TesterOp(kTesterOpCount), {}).isEmpty());
}

TEST(TesterDialect, TableCompletenessIsChecked)
{
    std::vector<TesterOpText> rows;
    for (std::size_t i = 0; i < kTesterOpCount; ++i)
        rows.push_back({TesterOp(i), "X"});
    EXPECT_TRUE(IsCompleteTable(rows));
    auto broken = rows;
    broken.pop_back();
    EXPECT_FALSE(IsCompleteTable(broken)) << "a missing row";
    broken = rows;
    std::swap(broken[3], broken[4]);
    EXPECT_FALSE(IsCompleteTable(broken)) << "rows out of order";
    broken = rows;
    broken[7].text = "";
    EXPECT_FALSE(IsCompleteTable(broken)) << "an empty text";
}

// A family that exists only here: its own models and its own wording of every
// operation. Nothing else is written for it.
class MadeUpFamily : public ::testing::Test {
protected:
    MadeUpFamily()
    {
        for (std::size_t i = 0; i < kTesterOpCount; ++i)
            texts.push_back("NINE " + std::to_string(i) + " %1 %2");
        for (std::size_t i = 0; i < kTesterOpCount; ++i)
            rows.push_back({TesterOp(i), texts[i].c_str()});
        rows[std::size_t(TesterOp::SetTrafficChannel)].text = "CHAN %2 ON %1";
        nine = TesterDialect{"9900", models, rows};
    }

    static constexpr const char* models[] = {"9901A", "9902"};
    std::vector<std::string> texts;
    std::vector<TesterOpText> rows;
    TesterDialect nine{};
    const TesterDialect* both[2] = {&Dialect7700(), &nine};
};

TEST_F(MadeUpFamily, IdentityAnswerPicksTheFamilyAndItsTexts)
{
    ASSERT_TRUE(IsCompleteTable(nine.texts));
    const struct {
        const char* answer;
        const char* family;  // null: no family speaks with it
    } cases[] = {
        {"Dalvora,7703S,1001234567,V3.20\r\n", "7700"},
        {"Dalvora, 7806s ,1001234567,V1", "7700"},  // blanks and case do not matter
        {"Dalvora,7703", "7700"},                   // a leading part of a listed name
        {"Other,9901A,55501,2.0\r\n", "9900"},
        {"Other,9902", "9900"},
        {"\r\nOther,9901a,1\r\nDalvora,7703S,1\r\n", "9900"},  // the first line decides
        {"Other,9903,1", nullptr},
        {"Other,,1", nullptr},
        {"9901A", nullptr},  // no model field without a comma
        {"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const TesterDialect* found = DialectForIdentity(L(c.answer), both);
        if (c.family == nullptr) {
            EXPECT_EQ(found, nullptr);
            continue;
        }
        ASSERT_NE(found, nullptr);
        EXPECT_STREQ(found->family, c.family);
    }
    const TesterDialect* found = DialectForIdentity(L("Other,9901A,1"), both);
    ASSERT_EQ(found, &nine);
    EXPECT_EQ(CommandText(*found, TesterOp::SetTrafficChannel, {L("GSM"), L("62")}), L("CHAN 62 ON GSM"));
    EXPECT_EQ(CommandText(*found, TesterOp::Identify), L("NINE 0  "));

    // The program's own registry knows only the 7700 family.
    EXPECT_EQ(DialectForIdentity(L("Other,9901A,1")), nullptr);
    EXPECT_FALSE(IsFamilyIdentity(L("Other,9901A,1")));
    EXPECT_TRUE(IsFamilyIdentity(L("Dalvora,7703S,1")));
    EXPECT_EQ(KnownDialects().front(), &Dialect7700());
}

TEST_F(MadeUpFamily, FirstFamilyInTheRegistryWinsAModelBothName)
{
    const char* const shared[] = {"7703S"};
    TesterDialect copycat = nine;
    copycat.models = shared;
    const TesterDialect* order1[] = {&Dialect7700(), &copycat};
    const TesterDialect* order2[] = {&copycat, &Dialect7700()};
    EXPECT_EQ(DialectForModel(L("7703S"), order1), &Dialect7700());
    EXPECT_EQ(DialectForModel(L("7703S"), order2), &copycat);
}

}  // namespace
}  // namespace celvio::testing
