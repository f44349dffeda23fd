// The tester's command interpreter: one SCPI-style command at a time,
// against the tester's state, the phone of the scenario and its call.
// It knows nothing about bytes, lines or transport faults (see tester.h).
#pragma once

#include "measurements.h"
#include "scenario.h"
#include "tester_state.h"

#include <QHash>
#include <QStringList>

#include <limits>
#include <optional>

namespace sim {

// A time that never comes: a call action with neither success nor a service timer.
inline constexpr qint64 kNeverMs = std::numeric_limits<qint64>::max() / 4;

struct CommandResult {
    bool query = false;
    QString answer;          // this command's part of the answer line
    qint64 resumeAtMs = -1;  // the rest of the line waits until then (call action, reset)
    qint64 extraDelayMs = 0; // time the measurement takes on top of the normal latency
};

class Instrument {
public:
    explicit Instrument(const Scenario& scenario);

    // Carries out one command of a line at time nowMs. `path` holds the header
    // path of the previous command on the same line, so that "RFG:GSM:LEV -45;LEV?"
    // reads the GSM level; the caller starts each line with an empty path.
    CommandResult execute(const QString& command, qint64 nowMs, QStringList& path);

    // Ends a running call action whose end is due by nowMs.
    void advanceTo(qint64 nowMs);
    bool actionRunning() const { return pending_.has_value(); }
    // A reset cuts a running call action short; it then neither succeeds nor fails.
    void abortAction();

    const TesterState& state() const { return state_; }
    // Another phone is put in the coupler: the tester keeps its settings, the old
    // phone's registration, call and dialled digits are gone.
    void keepSettings(const TesterState& settings);

private:
    enum class Cmd {
        Idn, Rst, Cls, Esr, Stb, Opc, Wai, SystErr, CommLocal, RemoteText, Csys, Bcch, Tch,
        CchPowerLevel, TchPowerLevel, PathAtt, SettingsPathAtt, GeneratorLevel, ServiceTimer,
        ServiceTimerState, CallLocate, CallMsOriginate, CallBsOriginate, CallRelease,
        QuesEvent, Imei, Imsi, Revision, DialledNumber, RxLevel, RxQuality, TxArray,
        PowerTemplate, ChannelReport, AudioLoop,
    };
    struct HeaderForm {
        Cmd cmd;
        bool canSet;
        bool canQuery;
    };
    static const QHash<QString, HeaderForm>& headerTable();

    struct Resolved {
        Cmd cmd;
        Band band = Band::GSM;
        QStringList nodes; // the full header, for the next command's path
    };
    struct PendingAction {
        CallState kind;
        qint64 endMs;
        bool success;
    };

    std::optional<Resolved> resolve(const QString& header, bool query, const QStringList& path) const;
    std::optional<Resolved> lookup(const QStringList& nodes, bool query) const;
    CommandResult dispatch(const Resolved& r, bool query, const QString& param, qint64 nowMs);
    QString settingCommand(const Resolved& r, bool query, const QString& param);
    QString phoneQuery(Cmd cmd);

    void pushError(int code, const QString& text);
    bool number(const QString& param, double& out);
    bool integerIn(const QString& param, int min, int max, int& out);
    bool onOff(const QString& param, bool& out);
    bool validChannel(Band band, int channel) const;
    QList<Band> systemBands() const;
    void setSystem(const QString& param);
    void setTrafficChannel(Band band, const QString& param);

    // Call processing (call_control.cpp).
    qint64 startCallAction(CallState kind, qint64 nowMs);
    void finishCallAction(const PendingAction& action);
    void releaseCall();

    Scenario scenario_;
    TesterState state_;
    Measurements measurements_;
    std::optional<PendingAction> pending_;
    int txQueries_ = 0;
    int templateQueries_ = 0;
    int rxLevelQueries_ = 0;
    int rxQualityQueries_ = 0;
};

}  // namespace sim
