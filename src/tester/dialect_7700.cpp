#include "tester/dialect_7700.h"

namespace celvio {

namespace {

constexpr const char* kModels[] = {"7703S", "7703M", "770X", "7804S", "7806S"};

constexpr TesterOpText kTexts[] = {
    {TesterOp::Identify, "*IDN?"},
    {TesterOp::Reset, "*RST"},
    {TesterOp::ResetThenIdentify, "*RST;*IDN?"},
    {TesterOp::LocalOperation, "SYST:COMM:LOC"},
    {TesterOp::ClearStatus, "*CLS"},
    {TesterOp::ClearStatusThenEvents, "*CLS;*ESR?"},
    {TesterOp::ClearStatusAndStopTimeout, "*CLS;SYST:COMM:SER:TIM:STAT OFF"},
    {TesterOp::ReadStatusByte, "*STB?"},
    {TesterOp::ReadError, "SYST:ERR?"},
    {TesterOp::ReadQuestionableEvents, "STAT:QUES:EVEN?"},
    {TesterOp::RemoteDisplayText, "SYST:COMM:REM:TEXT \"%1\""},
    {TesterOp::SetTimeout, "SYST:COMM:SER:TIM %1"},
    {TesterOp::StartTimeout, "SYST:COMM:SER:TIM:STAT ON"},
    {TesterOp::StopTimeout, "SYST:COMM:SER:TIM:STAT OFF"},
    {TesterOp::SetPathAttenuation, "SYST:SETT:PATT:LEV %1,%2"},
    {TesterOp::ConfigureSystemThenStatus, "CONF:CSYS %1;*STB?"},
    {TesterOp::SetBandPathAttenuation, "CONF:%1:PATT:LEV %2,%3"},
    {TesterOp::SetControlChannel, "CONF:%1:BS:CCH:ARFC %2"},
    {TesterOp::SetTrafficChannel, "CONF:%1:BS:TCH:ARFC %2"},
    {TesterOp::SetTrafficChannelThenStatus, "CONF:%1:BS:TCH:ARFC %2;*STB?"},
    {TesterOp::SetTrafficChannelThenEvents, "CONF:%1:BS:TCH:ARFC %2;*ESR?"},
    {TesterOp::SetControlPowerLevel, "CONF:%1:MS:CCH:PLEV %2"},
    {TesterOp::SetTrafficPowerLevel, "CONF:%1:MS:TCH:PLEV %2"},
    {TesterOp::SetGeneratorLevel, "RFG:%1:LEV %2"},
    {TesterOp::SetGeneratorLevelThenStatus, "RFG:%1:LEV %2;*STB?"},
    {TesterOp::SetGeneratorLevelThenEvents, "RFG:%1:LEV %2;*ESR?"},
    {TesterOp::SetGeneratorLevelThenReadBack, "RFG:%1:LEV %2;LEV?"},
    {TesterOp::AudioLoopOn, "CONF:%1:AUD:LOOP ON"},
    {TesterOp::AudioLoopOff, "CONF:%1:AUD:LOOP OFF"},
    {TesterOp::LocationUpdateThenStatus, "CALL:LOC;*STB?"},
    {TesterOp::PhoneCallThenStatus, "CALL:MSOR;*STB?"},
    {TesterOp::PhoneCallThenEvents, "CALL:MSOR;*ESR?"},
    {TesterOp::BaseCallThenStatus, "CALL:BSOR;*STB?"},
    {TesterOp::ReleaseCallThenEvents, "CALL:BSR;*ESR?"},
    {TesterOp::PhoneDialledNumber, "CALL:MSIN:NUMB?"},
    {TesterOp::PhoneImei, "CALL:MSIN:IMEI?"},
    {TesterOp::PhoneRevision, "CALL:MSIN:RLEV?"},
    {TesterOp::PhoneImsi, "CALL:MSIN:IMSI?"},
    {TesterOp::PhoneRxLevel, "CALL:MSIN:RXL?"},
    {TesterOp::PhoneRxQuality, "CALL:MSIN:RXQ?"},
    // Averaged over three bursts.
    {TesterOp::MeasureTransmitter, "MEAS:ARR:RFTR:GRO:ALL:MAV? 3"},
    {TesterOp::MeasurePowerTemplate, "MEAS:RFTR:TEMP?"},
    {TesterOp::MeasureChannelReport, "MEAS:CALL:RX?"},
};
static_assert(IsCompleteTable(kTexts), "one text for every operation, in the order of TesterOp");

constexpr TesterDialect kDialect{"7700", kModels, kTexts};

}  // namespace

const TesterDialect& Dialect7700()
{
    return kDialect;
}

}  // namespace celvio
