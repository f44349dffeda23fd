#include "scan/scan_engine.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/number_reader.h"
#include "core/settings.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/text.h"
#include "core/translation.h"
#include "scan/scan_log.h"
#include "tester/transport.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace celvio {

namespace {

// The seconds a channel step waits for the tester and the phone to settle: after
// the channel change, after the generator went down to -110 dBm, and after it was
// set back. A range waits longer than a test-channel check.
struct StepWaits {
    int afterChannel;
    int afterLowLevel;
    int afterRestore;
};
constexpr StepWaits kRangeWaits{2, 2, 2};
constexpr StepWaits kTestChannelWaits{1, 2, 1};

bool Blocked(const App& app, int channel)
{
    return app.st.BlockedChannels.contains(BlockedChannelEntry(channel));
}

// The generator level between the measurements: -45 dBm on GSM, -50 dBm on 1800/1900.
int PassLevel(const QString& sys)
{
    return sys == QLatin1String("GSM") ? -45 : -50;
}

// Shows the scan's progress in the main window's message label, below the pass heading.
void ShowScanLabel(App& app, const QString& text)
{
    app.Form1.Label3.Caption = app.st.ScanPassHeading + text;
    app.Form1.Label3.Visible = true;
}

// A line of the scan trace (DEBUGSC.INI): it goes to the trace window even when the
// general trace (DEBUGPM.INI) is off.
void ScanTrace(App& app, const QString& line)
{
    StationState& st = app.st;
    if (st.ScanDebugMode != kTrue)
        return;
    const Flag saved = st.DebugMode;
    st.DebugMode = kTrue;
    TraceLine(app, line);
    st.DebugMode = saved;
}

// Ends the scan for a fault of the tester: the reason goes to scan.log, the trace and
// the closing text. No channel is blocked for it.
int TesterFault(App& app, const QString& reason)
{
    app.st.ScanFault = reason;
    ScanLog(app, QStringLiteral("Ended by tester fault: ") + reason);
    TraceLine(app, QStringLiteral("Scan ended: ") + reason);
    return kScanTesterFault;
}

// Sends a query and reads its answer. False when no answer line came: the tester was
// silent until the time-out (already reported by ReadAnswer) or its port went away.
bool Ask(App& app, const QString& command, QString& answer)
{
    SendCommand(app, command);
    answer = ReadAnswer(app);
    if (answer.contains(QLatin1Char('\n')))
        return true;
    app.st.ScanTesterSilent = kTrue;
    return false;
}

int NoAnswer(App& app, const QString& command, int channel)
{
    return TesterFault(app, QStringLiteral("no answer to \"") + command + QStringLiteral("\" on channel ") +
                                QString::number(channel));
}

// A channel report the tester could not give twice: the operator is told, and the scan
// ends as on a tester fault.
int UnreadableReport(App& app, const QString& ch, const QString& answer)
{
    const QString shown = AnswerLine(answer);
    app.ui.MsgBox(Tr(app, QT_TRANSLATE_NOOP("Celvio", "Unreadable answer of the tester on channel %1: \"%2\""))
                          .arg(ch, shown) +
                      kCrLf + Tr(app, QT_TRANSLATE_NOOP("Celvio", "The scan ends; the channels found so far are saved.")),
                  msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("SCAN"));
    return TesterFault(app, QStringLiteral("unreadable answer \"") + shown + QStringLiteral("\" on channel ") + ch);
}

// A channel on which the phone heard a network: shown, logged and blocked; a level of
// 255 (strong interference) interrupts the scan.
int KeepInterferedChannel(App& app, int channel, int level, int quality, bool testChannel)
{
    StationState& st = app.st;
    const QString ch = QString::number(channel);
    if (testChannel)
        ScanTrace(app, QStringLiteral("-----> Chan:") + ch + QLatin1Char('=') + QString::number(level) +
                           QLatin1Char(',') + QString::number(quality));
    QString found = QStringLiteral("Scan time: ") + ElapsedScanTime(app) + st.NewLine +
                    QStringLiteral("Interfered channel found.") + st.NewLine + QStringLiteral("CHANNEL: ") + ch +
                    st.NewLine;
    found += testChannel ? QStringLiteral("RxLevel = ") + QString::number(level)
                         : QStringLiteral("RxLevel/RX-Qual = ") + QString::number(level) + QLatin1Char('/') +
                               QString::number(quality);
    ShowScanLabel(app, found);
    ScanLogMeasurement(app, channel, quality, level);
    if (!Blocked(app, channel))
        st.BlockedChannels += BlockedChannelEntry(channel);
    if (!st.NewBlockedChannels.contains(BlockedChannelEntry(channel)))
        st.NewBlockedChannels += BlockedChannelEntry(channel);
    if (level == 255) {
        ScanLog(app, QStringLiteral("Interrupted by high interference"));
        return kScanInterrupted;
    }
    return kScanGoOn;
}

// One channel: move the call there, listen with the generator at -110 dBm, set the
// generator back, and block the channel when the phone heard a network. Returns 0,
// 2 (a level of 255) or 4 (a tester fault).
int MeasureChannel(App& app, const QString& sys, int channel, const StepWaits& waits, bool testChannel)
{
    StationState& st = app.st;
    const QString ch = QString::number(channel);
    QString answer;

    QString command = CommandText(app, TesterOp::SetTrafficChannelThenEvents, {sys, ch});
    if (!Ask(app, command, answer))
        return NoAnswer(app, command, channel);
    QString label = QStringLiteral("Scan time: ") + ElapsedScanTime(app);
    if (st.ScanLoopCount >= 1)
        label += QStringLiteral(" Scan loops: ") + QString::number(st.ScanLoopCount);
    ShowScanLabel(app, label + st.NewLine + QStringLiteral("Scan channel: ") + ch);

    WaitSeconds(app, waits.afterChannel);
    command = CommandText(app, TesterOp::SetGeneratorLevelThenStatus, {sys, QStringLiteral("-110")});
    if (!Ask(app, command, answer))
        return NoAnswer(app, command, channel);
    WaitSeconds(app, waits.afterLowLevel);

    // A report that cannot be read is asked for once more before the scan gives up:
    // a level misread must never block a channel, nor pass one as free.
    command = CommandText(app, TesterOp::MeasureChannelReport);
    int level = 0;
    int quality = 0;
    bool readable = false;
    for (int attempt = 0; attempt < 2 && !readable; ++attempt) {
        if (!Ask(app, command, answer))
            return NoAnswer(app, command, channel);
        readable = ParseChannelReport(answer, level, quality);
    }
    // The generator goes back up in any case, so the call survives an ended scan.
    const QString restore =
        CommandText(app, TesterOp::SetGeneratorLevelThenReadBack, {sys, QString::number(PassLevel(sys))});
    QString restored;
    if (!Ask(app, restore, restored))
        return NoAnswer(app, restore, channel);
    if (!readable)
        return UnreadableReport(app, ch, answer);
    WaitSeconds(app, waits.afterRestore);

    if (level < st.ScanSensitivity)
        return kScanGoOn;
    return KeepInterferedChannel(app, channel, level, quality, testChannel);
}

int AbortedByUser(App& app)
{
    ScanLog(app, QStringLiteral("Aborted by User"));
    return kScanAborted;
}

}  // namespace

bool ParseChannelReport(const QString& answer, int& level, int& quality)
{
    const QStringList fields = AnswerLine(answer).split(QLatin1Char(','));
    if (fields.size() < 2)
        return false;
    int values[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const QString field = fields[i].trimmed();
        qsizetype used = 0;
        const double value = ReadNumber(field, &used);
        qint16 rounded = 0;
        if (field.isEmpty() || used != field.size() || !RoundToInt16(value, rounded))
            return false;
        values[i] = rounded;
    }
    level = values[0];
    quality = values[1];
    return true;
}

int ScanRange(App& app, int first, int last, int step, const QString& system)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    if (st.ScanDebugMode == kTrue)
        app.DebugFrm.Visible = true;
    const QString sys = system.left(3);
    const QString level = QString::number(PassLevel(sys));
    const QString att = QString::number(st.ScanAttenuation);

    f.MStop.Enabled = true;
    Send(app, TesterOp::SetTrafficPowerLevel, {sys, QStringLiteral("9")});
    Send(app, TesterOp::SetPathAttenuation, {att, att});
    Send(app, TesterOp::SetGeneratorLevel, {sys, level});

    // The bar runs over the range and on over the test-channel checks that follow it.
    const int checks = std::max<int>(st.ScanTest, 1) * (system.size() > 3 ? 8 : 4);
    f.Progress.Min = first;
    f.Progress.Max = last + checks;
    f.Progress.Value = first;
    f.Progress.Visible = true;
    WaitSeconds(app, 1);

    for (int channel = first; channel <= last; channel += step) {
        if (!Blocked(app, channel)) {
            const int result = MeasureChannel(app, sys, channel, kRangeWaits, false);
            if (result != kScanGoOn)
                return result;
        }
        if (st.StopRequested == kTrue)
            return AbortedByUser(app);
        f.Progress.Value = channel;
    }
    return kScanGoOn;
}

int CheckTestChannels(App& app, const QString& band, const qint16& bcch, const qint16& tch1, const qint16& tch2,
                      const qint16& tch3)
{
    StationState& st = app.st;
    const QString blocked = st.BlockedChannels;
    ReadSettings(app);
    st.BlockedChannels = blocked;
    app.Form1.Label4.Caption = QStringLiteral("Scan test channels");
    int result = kScanGoOn;
    const int rounds = std::max<int>(st.ScanTest, 1);
    for (int round = 0; round < rounds && result == kScanGoOn; ++round) {
        for (const qint16* channel : {&bcch, &tch1, &tch2, &tch3}) {
            result = CheckTestChannel(app, band, *channel);
            if (result != kScanGoOn)
                break;
        }
    }
    app.Form1.Label4.Caption = QStringLiteral("Scanning...");
    return result;
}

int CheckTestChannel(App& app, const QString& band, int channel)
{
    ProgressBar& bar = app.Form1.Progress;
    bar.Value = std::min(bar.Value + 1, bar.Max);
    WaitSeconds(app, 1);
    if (Blocked(app, channel))
        return kScanCompleted;
    const int result = MeasureChannel(app, band.left(3), channel, kTestChannelWaits, true);
    if (result != kScanGoOn)
        return result;
    if (app.st.StopRequested == kTrue)
        return AbortedByUser(app);
    return kScanGoOn;
}

int ScanPass(App& app)
{
    StationState& st = app.st;
    const QString gsm = QStringLiteral("GSM");
    const QString code = st.SystemCode;
    const bool gsm850 = st.GsmSystem == 14;
    auto gsmRange = [&] { return gsm850 ? ScanRange(app, 128, 251, 1, gsm) : ScanRange(app, 1, 124, 1, gsm); };
    auto gsmTests = [&] { return CheckTestChannels(app, gsm, st.GsmBcch, st.GsmTch[1], st.GsmTch[2], st.GsmTch[3]); };
    auto pcnTests = [&] {
        return CheckTestChannels(app, QStringLiteral("PCN"), st.PcnBcch, st.PcnTch[1], st.PcnTch[2], st.PcnTch[3]);
    };
    auto pcsTests = [&] {
        return CheckTestChannels(app, QStringLiteral("PCS"), st.PcsBcch, st.PcsTch[1], st.PcsTch[2], st.PcsTch[3]);
    };

    // The stages of each band setting, in order; a stage runs while all before it gave 0.
    std::vector<std::function<int()>> stages;
    if (code == QLatin1String("GSM") && !gsm850) {
        stages = {[&] { return ScanRange(app, 1, 124, 1, gsm); }, gsmTests,
                  [&] { return ScanRange(app, 975, 1023, 1, gsm); }, gsmTests};
    } else if (code == QLatin1String("GSM")) {
        stages = {gsmRange, gsmTests};
    } else if (code == QLatin1String("PCN")) {
        stages = {[&] { return ScanRange(app, 512, 884, 2, QStringLiteral("PCN")); }, pcnTests};
    } else if (code == QLatin1String("PCS")) {
        stages = {[&] { return ScanRange(app, 513, 809, 2, QStringLiteral("PCS")); }, pcsTests};
    } else if (code == QLatin1String("GSM,PCN")) {
        stages = {gsmRange, [&] { return ScanRange(app, 512, 884, 2, QStringLiteral("PCN,GSM")); }, gsmTests,
                  pcnTests};
    } else if (code == QLatin1String("GSM,PCS")) {
        stages = {gsmRange, [&] { return ScanRange(app, 513, 809, 2, QStringLiteral("PCS,GSM")); }, gsmTests,
                  pcsTests};
    }
    if (stages.empty()) {  // no band that the scan knows: nothing to repeat
        ScanLog(app, QStringLiteral("No channels to scan for system ") + code);
        return kScanCompleted;
    }
    int result = kScanGoOn;
    for (const auto& stage : stages) {
        result = stage();
        if (result != kScanGoOn)
            break;
    }
    return result;
}

}  // namespace celvio
