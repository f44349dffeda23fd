// Call processing: location update, calls from and to the phone, release.
// The outcome of a call action is known when it starts (the phone's delays
// and the service timer are fixed then); it takes effect at its end time.
#include "instrument.h"

#include <cmath>

namespace sim {

namespace {

qint64 toMs(double seconds) { return static_cast<qint64>(std::llround(seconds * 1000.0)); }

// The tester reports '*' as "A" and '#' as "B".
QString encodeDigits(const QString& keypad)
{
    QString out = keypad;
    out.replace(u'*', u'A').replace(u'#', u'B');
    return out;
}

}  // namespace

// Starts a call action and returns when it ends. It succeeds when the phone
// does its part before the service timer (if switched on) runs out; with the
// timer off, a phone that never does its part keeps the tester waiting.
qint64 Instrument::startCallAction(CallState kind, qint64 nowMs)
{
    double phoneDelayS = kNever;
    switch (kind) {
    case CallState::LocationUpdate:
        // Registering on a network of a band the phone lacks never happens.
        if (scenario_.supports(systemBands().front()))
            phoneDelayS = scenario_.registrationDelayS;
        break;
    case CallState::MsOriginating:
        if (state_.registered && scenario_.supports(state_.callBand))
            phoneDelayS = scenario_.dialDelayS;
        break;
    case CallState::BsOriginating:
        if (state_.registered && scenario_.supports(state_.callBand))
            phoneDelayS = scenario_.answerDelayS;
        break;
    default:
        return nowMs;
    }
    // A new call action replaces a call that is up.
    if (state_.call == CallState::Connected)
        state_.call = CallState::Released;

    const qint64 successAt = phoneDelayS < 0 ? kNeverMs : nowMs + toMs(phoneDelayS);
    const qint64 failAt = state_.serviceTimerOn ? nowMs + qint64(state_.serviceTimerS) * 1000 : kNeverMs;
    const bool success = successAt <= failAt && successAt != kNeverMs;
    pending_ = PendingAction{kind, success ? successAt : failAt, success};
    state_.call = kind;
    return pending_->endMs;
}

void Instrument::finishCallAction(const PendingAction& action)
{
    if (!action.success) {
        state_.questionableEvents |= kQuesCallFailed;
        if (action.kind == CallState::LocationUpdate)
            state_.registered = false;
        state_.call = CallState::Idle;
        return;
    }
    switch (action.kind) {
    case CallState::LocationUpdate:
        state_.registered = true;
        state_.call = CallState::Idle;
        break;
    case CallState::MsOriginating:
        state_.dialledDigits = encodeDigits(scenario_.digits);
        state_.call = CallState::Connected;
        break;
    default:
        state_.call = CallState::Connected;
        break;
    }
}

void Instrument::advanceTo(qint64 nowMs)
{
    if (pending_ && pending_->endMs <= nowMs) {
        const PendingAction action = *pending_;
        pending_.reset();
        finishCallAction(action);
    }
}

void Instrument::abortAction()
{
    if (!pending_)
        return;
    pending_.reset();
    state_.call = CallState::Idle;
}

void Instrument::releaseCall()
{
    if (state_.call == CallState::Connected)
        state_.call = CallState::Released;
}

}  // namespace sim
