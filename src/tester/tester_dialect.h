// What the program asks of a tester, by name, and how a family of testers words it:
// one table of command texts per family. The procedures ask for an operation; the
// dialect of the tester on the line knows the text.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <span>

namespace celvio {

// The operations, each one line sent to the tester. `%1`, `%2`, `%3` in a text are its
// arguments, given as texts in this order (a band is "GSM", "PCN" or "PCS"). A name
// ending in "ThenStatus" or "ThenEvents" asks in the same line for the status byte or
// the event register, whose answer comes when the tester has carried out the rest.
enum class TesterOp {
    // The tester as a whole.
    Identify,                   // who the tester is: maker, model, serial, firmware
    Reset,
    ResetThenIdentify,          // the identity answer comes when the reset is over
    LocalOperation,             // hands the front panel back to the user
    ClearStatus,
    ClearStatusThenEvents,
    ClearStatusAndStopTimeout,
    ReadStatusByte,
    ReadError,
    ReadQuestionableEvents,     // bit 9 set: the call or location update failed
    RemoteDisplayText,          // %1: the text shown on the tester's screen
    SetTimeout,                 // %1: seconds of the tester's own call time-out
    StartTimeout,
    StopTimeout,
    SetPathAttenuation,         // %1, %2: receive and transmit path attenuation, all bands
    // The band and its channels.
    ConfigureSystemThenStatus,  // %1: the system ("GSM", "GSM,PCN", ...)
    SetBandPathAttenuation,     // %1: band; %2, %3: receive and transmit attenuation
    SetControlChannel,          // %1: band; %2: channel number
    SetTrafficChannel,          // %1: band; %2: channel number
    SetTrafficChannelThenStatus,
    SetTrafficChannelThenEvents,
    SetControlPowerLevel,       // %1: band; %2: the phone's power level
    SetTrafficPowerLevel,       // %1: band; %2: the phone's power level
    SetGeneratorLevel,          // %1: band; %2: dBm
    SetGeneratorLevelThenStatus,
    SetGeneratorLevelThenEvents,
    SetGeneratorLevelThenReadBack,  // answered with the level set
    AudioLoopOn,                // %1: band; the phone's speech sent back to it
    AudioLoopOff,               // %1: band
    // Calls, and what the phone reports over them.
    LocationUpdateThenStatus,   // waits for the phone to register
    PhoneCallThenStatus,        // waits for a call from the phone
    PhoneCallThenEvents,
    BaseCallThenStatus,         // calls the phone
    ReleaseCallThenEvents,      // the base station ends the call
    PhoneDialledNumber,
    PhoneImei,
    PhoneRevision,
    PhoneImsi,
    PhoneRxLevel,
    PhoneRxQuality,
    // Measurements.
    MeasureTransmitter,         // power, phase and frequency errors, burst length
    MeasurePowerTemplate,       // the burst against its power-time template
    MeasureChannelReport,       // the level and quality the phone reports on the channel
};

inline constexpr std::size_t kTesterOpCount = std::size_t(TesterOp::MeasureChannelReport) + 1;

// One row of a dialect's table.
struct TesterOpText {
    TesterOp op;
    const char* text;  // ASCII; %1.. stand for the arguments
};

// A family of testers: its name, the models that identify as it, and its table.
struct TesterDialect {
    const char* family;
    std::span<const char* const> models;  // as the identity answer names them
    std::span<const TesterOpText> texts;  // one row per operation, in the order of TesterOp
};

// True when the table has one row for every operation, in the order of TesterOp, each
// with a text; a dialect's table asserts it at compile time.
constexpr bool IsCompleteTable(std::span<const TesterOpText> texts)
{
    if (texts.size() != kTesterOpCount)
        return false;
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (std::size_t(texts[i].op) != i || texts[i].text == nullptr || texts[i].text[0] == '\0')
            return false;
    return true;
}

// The line for `op` in `dialect`, with %1, %2, ... replaced by the arguments in one
// pass (an argument's own '%' stays as it is; a missing argument counts as empty).
QString CommandText(const TesterDialect& dialect, TesterOp op, const QStringList& args = {});

// True when `model` names a model of the family, in any case and with blanks around
// it; a leading part of a listed name ("7703" for "7703S") counts, an empty one not.
bool SpeaksModel(const TesterDialect& dialect, const QString& model);

}  // namespace celvio
