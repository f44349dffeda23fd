// What the simulated tester holds between commands: its settings per band,
// the status registers, the remote display and the state of the call.
#pragma once

#include "band.h"

#include <QString>
#include <QStringList>

#include <array>

namespace sim {

enum class CallState {
    Idle,           // no call; the phone may or may not be registered
    LocationUpdate, // CALL:LOC running
    MsOriginating,  // CALL:MSOR running: waiting for the phone to dial
    BsOriginating,  // CALL:BSOR running: the phone is ringing
    Connected,      // a call is up on the traffic channel
    Released,       // the last call was released or dropped
};

struct BandSettings {
    int bcch = 0;
    int tch = 0;
    int cchPowerLevel = 5;
    int tchPowerLevel = 5;
    double pathAtt1 = 0; // "CONF:<band>:PATT:LEV a,b"
    double pathAtt2 = 0;
    double generatorDbm = -70;
    bool audioLoop = false;
};

// Status bits of the questionable event register and the event status register.
inline constexpr int kQuesCallFailed = 512;
inline constexpr int kEsrExecutionError = 16;
inline constexpr int kEsrCommandError = 32;

struct TesterState {
    QString systemCode = QStringLiteral("GSM");
    std::array<BandSettings, 3> bands{};
    double settingsPathAtt1 = 0; // "SYST:SETT:PATT:LEV a,b"
    double settingsPathAtt2 = 0;
    int serviceTimerS = 60;
    bool serviceTimerOn = false;
    bool local = true;
    QString displayText;

    int questionableEvents = 0;
    int eventStatus = 0;
    QStringList errorQueue; // oldest first, each as "code,\"text\""

    bool registered = false;
    CallState call = CallState::Idle;
    Band callBand = Band::GSM;
    QString dialledDigits; // as the tester reports them ("A" for '*', "B" for '#')

    BandSettings& band(Band b) { return bands[static_cast<size_t>(bandIndex(b))]; }
    const BandSettings& band(Band b) const { return bands[static_cast<size_t>(bandIndex(b))]; }
};

// The settings after power-on or "*RST".
inline TesterState defaultTesterState()
{
    TesterState s;
    s.band(Band::GSM).bcch = s.band(Band::GSM).tch = 62;
    s.band(Band::PCN).bcch = s.band(Band::PCN).tch = 698;
    s.band(Band::PCS).bcch = s.band(Band::PCS).tch = 661;
    s.band(Band::PCN).cchPowerLevel = s.band(Band::PCN).tchPowerLevel = 0;
    s.band(Band::PCS).cchPowerLevel = s.band(Band::PCS).tchPowerLevel = 0;
    return s;
}

}  // namespace sim
