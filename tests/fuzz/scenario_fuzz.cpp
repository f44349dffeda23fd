// The tester simulator's scenario files ("key = value" lines), read from their text,
// and the simulator run on what was accepted through a short conversation in virtual
// time.
//
// Checks: a refused file names a line that it has; an accepted one holds only what the
// keys allow (every delay never or from 0 to a day, every number finite, latencies in
// order, levels 0..63 or 255, at least one piece an answer); reading the same text again
// gives the same scenario; the simulator answers the conversation in a bounded number of
// steps with a bounded number of bytes.
#include "fuzz_support.h"

#include "sim/scenario.h"
#include "sim/tester.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

using celvio::fuzz::Check;

namespace {

bool DelayAllowed(double seconds)
{
    return std::isfinite(seconds) && (seconds < 0 || seconds <= 86400);
}

bool LevelsAllowed(const QMap<int, int>& channels)
{
    for (const int level : channels) {
        if ((level < 0 || level > 63) && level != 255)
            return false;
    }
    return true;
}

void CheckAccepted(const sim::Scenario& s, const QString& input)
{
    Check(DelayAllowed(s.registrationDelayS) && DelayAllowed(s.dialDelayS) && DelayAllowed(s.answerDelayS),
          "a delay is never or from 0 to a day", input);
    const sim::Faults& f = s.faults;
    Check(std::isfinite(f.txPowerOffsetDb) && std::isfinite(f.phasePeakDeg) && std::isfinite(f.phaseRmsDeg) &&
              std::isfinite(f.frequencyErrorHz) && std::isfinite(f.burstLengthUs),
          "every number of a fault is finite", input);
    Check(s.latencyMinMs >= 0 && s.latencyMinMs <= s.latencyMaxMs, "the latencies are in order", input);
    Check(LevelsAllowed(s.usedChannels) && LevelsAllowed(s.lateChannels), "a network's level is 0..63 or 255",
          input);
    Check(f.splitPieces >= 1, "an answer goes out in at least one piece", input);

    QString again;
    const sim::Scenario second = sim::Scenario::fromText(input, &again);
    Check(again.isEmpty() && second.identityAnswer() == s.identityAnswer() && second.imei == s.imei &&
              second.bands == s.bands && second.digits == s.digits && second.usedChannels == s.usedChannels &&
              second.registrationDelayS == s.registrationDelayS,
          "the same text reads the same", input);
}

// A short conversation: identity, status, the phone's identity, a measurement. The
// clock moves to each next event the simulator names, and no further than an hour.
void Converse(const sim::Scenario& s, const QString& input)
{
    if (s.faults.floodBytes > 64 * 1024 && !(s.faults.floodQueries.isEmpty() && s.faults.floodPrefix.isEmpty()))
        return;  // a flood is megabytes by design; its size is checked above
    qint64 now = 0;
    sim::Tester tester(s, [&now] { return now; });
    tester.write("*IDN?\r\n*STB?\r\nCALL:MSIN:IMEI?\r\nMEAS:ARR:RFTR:GRO:ALL:MAV? 3\r\n");
    qint64 bytes = 0;
    int steps = 0;
    for (; steps < 10000; ++steps) {
        bytes += tester.readAll().size();
        const qint64 next = tester.nextEventMs();
        if (next < 0 || tester.vanished() || next > 3600 * 1000)
            break;
        now = std::max(now + 1, next);
    }
    bytes += tester.readAll().size();
    Check(steps < 10000, "the simulator settles its conversation", input);
    Check(bytes <= 4 * (64 * 1024 + 4096), "the answers stay within their size", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const sim::Scenario s = sim::Scenario::fromText(input, &error);
    if (!error.isEmpty()) {
        static const QRegularExpression lineNumber(QStringLiteral("^line ([0-9]+): "));
        const QRegularExpressionMatch m = lineNumber.match(error);
        const int lines = int(input.split(QRegularExpression(QStringLiteral("\r\n|\n|\r"))).size());
        Check(m.hasMatch() && m.captured(1).toInt() >= 1 && m.captured(1).toInt() <= lines,
              "a refused file names one of its lines", error + QStringLiteral("\n") + input);
        return 0;
    }
    CheckAccepted(s, input);
    Converse(s, input);
    return 0;
}
