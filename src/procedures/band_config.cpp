// Configuring the tester as the base station of the cycle's band or bands.
#include "procedures/band_config.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/text.h"
#include "tester/transport.h"

#include <cmath>

namespace celvio {

namespace {

QString FirstBand(const App& app)
{
    return app.st.SystemCode.left(3);
}

QString SecondBand(const App& app)
{
    return app.st.SystemCode.right(3);
}

void SendAndRead(App& app, TesterOp op, const QStringList& args = {})
{
    Send(app, op, args);
    ReadAnswer(app);
}

// Loads the control channel, the traffic channels and the generator level of the
// first band (and the second band's traffic channels) from the settings.
void LoadBandChannels(StationState& st)
{
    const QString first = st.SystemCode.left(3);
    auto load = [&st](qint16 bcch, const std::array<qint16, 4>& tch, qint16 level) {
        st.ControlChannel = bcch;
        for (int i = 1; i <= 3; ++i)
            st.TrafficChannels[i] = tch[i];
        st.GeneratorLevel = level;
    };
    if (first == QLatin1String("GSM"))
        load(st.GsmBcch, st.GsmTch, st.GsmBsLevel);
    else if (first == QLatin1String("PCN"))
        load(st.PcnBcch, st.PcnTch, st.PcnBsLevel);
    else if (first == QLatin1String("PCS"))
        load(st.PcsBcch, st.PcsTch, st.PcsBsLevel);
    const std::array<qint16, 4>* second = nullptr;
    if (st.SystemCode == QLatin1String("GSM,PCN"))
        second = &st.PcnTch;
    else if (st.SystemCode == QLatin1String("GSM,PCS"))
        second = &st.PcsTch;
    if (second)
        for (int i = 1; i <= 3; ++i)
            st.TrafficChannels[3 + i] = (*second)[i];
}

// The path-attenuation pair of a band, kept for the run; null for another band text.
AttenuationPair* BandAttenuation(StationState& st, const QString& band)
{
    if (band == QLatin1String("GSM"))
        return &st.GsmBandAttenuation;
    if (band == QLatin1String("PCN"))
        return &st.PcnBandAttenuation;
    if (band == QLatin1String("PCS"))
        return &st.PcsBandAttenuation;
    return nullptr;
}

}  // namespace

void ConfigureBand(App& app)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    f.Label3.Caption = QStringLiteral("Initializing...") + kCrLf + kCrLf + QStringLiteral("Please wait!");
    f.Label3.Visible = true;
    SetHelpTopic(app, HelpTopic::InitializeTester);

    LoadBandChannels(st);

    const QString band = FirstBand(app);
    SendAndRead(app, TesterOp::ClearStatusThenEvents);
    Send(app, TesterOp::RemoteDisplayText, {QStringLiteral("Initialize...")});
    SendAndRead(app, TesterOp::ConfigureSystemThenStatus, {st.SystemCode});
    Send(app, TesterOp::SetControlChannel, {band, Str(qint64(st.ControlChannel))});
    Send(app, TesterOp::SetTrafficChannel, {band, Str(qint64(st.TrafficChannels[1]))});
    Send(app, TesterOp::SetControlPowerLevel, {band, Str(qint64(st.MsPowerLevels[1]))});
    Send(app, TesterOp::SetTrafficPowerLevel, {band, Str(qint64(st.MsPowerLevels[1]))});
    Send(app, TesterOp::SetPathAttenuation, {QStringLiteral("20"), QStringLiteral("15")});
    SendAndRead(app, TesterOp::SetGeneratorLevelThenStatus, {band, Str(qint64(st.GeneratorLevel))});
}

void SetGeneratorLevel(App& app)
{
    Send(app, TesterOp::SetGeneratorLevel, {FirstBand(app), Str(qint64(app.st.GeneratorLevel))});
    app.ui.Sleep(kSettlePause);
    SendAndRead(app, TesterOp::ReadStatusByte);
    SendAndRead(app, TesterOp::ReadError);
}

void AdjustRxLevel(App& app)
{
    StationState& st = app.st;
    DoEvents(app);
    if (st.StopRequested == kTrue)
        return;

    // Keep the level at the phone below what its receiver takes without overload: the
    // generator level plus the path attenuation stays at or under -45 dBm on GSM and
    // -50 dBm on a single 1800 or 1900 band.
    const QString band = FirstBand(app);
    const AttenuationPair* pair = BandAttenuation(st, band);
    const double a = pair ? pair->first : 0;
    auto limitTo = [&](int ceiling) { st.GeneratorLevel = qint16(ceiling - std::floor(a) - 1); };
    if (band == QLatin1String("GSM") && st.GeneratorLevel + a > -45)
        limitTo(-45);
    else if (st.SystemCode == QLatin1String("PCN") && st.GeneratorLevel + a > -50)
        limitTo(-50);
    else if (st.SystemCode == QLatin1String("PCS") && st.GeneratorLevel + a > -50)
        limitTo(-50);
    SendAndRead(app, TesterOp::SetGeneratorLevelThenEvents, {band, Str(qint64(st.GeneratorLevel))});
}

void ConfigureSecondBand(App& app)
{
    StationState& st = app.st;
    const QString band = SecondBand(app);
    if (band == QLatin1String("PCN") || band == QLatin1String("PCS")) {
        // A pair that is still 0 takes the setting and keeps it for the rest of the run.
        AttenuationPair& pair = *BandAttenuation(st, band);
        const double setting = band == QLatin1String("PCN") ? st.PcnAttenuation : st.PcsAttenuation;
        if (pair.first == 0)
            pair.first = setting;
        if (pair.second == 0)
            pair.second = setting;
        Send(app, TesterOp::SetBandPathAttenuation, {band, Str(pair.first), Str(pair.second)});
    }
    Send(app, TesterOp::SetTrafficPowerLevel, {band, QStringLiteral("4")});
    SendAndRead(app, TesterOp::SetGeneratorLevelThenStatus, {band, Str(qint64(st.GeneratorLevel))});
}

}  // namespace celvio
