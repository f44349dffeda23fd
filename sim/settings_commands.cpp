// The setting commands: system, channels, power levels, path attenuations,
// generator level, service timer, display text and speech loop-back, and the
// checks of their parameters. Each query form answers the current value.
#include "instrument.h"

#include <cmath>

namespace sim {

namespace {

QString formatNumber(double v) { return QString::number(v, 'g', 10); }

QString unquote(const QString& text)
{
    if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front())
        return text.mid(1, text.size() - 2);
    return text;
}

}  // namespace

QString Instrument::settingCommand(const Resolved& r, bool query, const QString& param)
{
    BandSettings& b = state_.band(r.band);
    int n = 0;
    double x = 0;
    bool on = false;
    auto pair = [&](double& first, double& second) -> QString {
        if (query)
            return formatNumber(first) + u',' + formatNumber(second);
        const QStringList parts = param.split(u',');
        double a = 0;
        double c = 0;
        if (parts.size() != 2) {
            pushError(-109, QStringLiteral("Missing parameter"));
        } else if (number(parts[0], a) && number(parts[1], c)) {
            first = a;
            second = c;
        }
        return {};
    };
    switch (r.cmd) {
    case Cmd::RemoteText:
        if (query)
            return u'"' + state_.displayText + u'"';
        if (param.isEmpty())
            pushError(-109, QStringLiteral("Missing parameter"));
        else
            state_.displayText = unquote(param);
        return {};
    case Cmd::Csys:
        if (query)
            return state_.systemCode;
        setSystem(param);
        return {};
    case Cmd::Bcch:
        if (query)
            return QString::number(b.bcch);
        if (integerIn(param, 0, 1023, n)) {
            if (validChannel(r.band, n))
                b.bcch = n;
            else
                pushError(-222, QStringLiteral("Data out of range"));
        }
        return {};
    case Cmd::Tch:
        if (query)
            return QString::number(b.tch);
        setTrafficChannel(r.band, param);
        return {};
    case Cmd::CchPowerLevel:
        if (query)
            return QString::number(b.cchPowerLevel);
        if (integerIn(param, 0, 31, n))
            b.cchPowerLevel = n;
        return {};
    case Cmd::TchPowerLevel:
        if (query)
            return QString::number(b.tchPowerLevel);
        if (integerIn(param, 0, 31, n))
            b.tchPowerLevel = n;
        return {};
    case Cmd::PathAtt:
        return pair(b.pathAtt1, b.pathAtt2);
    case Cmd::SettingsPathAtt:
        return pair(state_.settingsPathAtt1, state_.settingsPathAtt2);
    case Cmd::GeneratorLevel:
        if (query)
            return formatNumber(b.generatorDbm);
        if (number(param, x)) {
            if (x < -140 || x > 20)
                pushError(-222, QStringLiteral("Data out of range"));
            else
                b.generatorDbm = x;
        }
        return {};
    case Cmd::ServiceTimer:
        if (query)
            return QString::number(state_.serviceTimerS);
        if (integerIn(param, 0, 65535, n))
            state_.serviceTimerS = n;
        return {};
    case Cmd::ServiceTimerState:
        if (query)
            return state_.serviceTimerOn ? QStringLiteral("ON") : QStringLiteral("OFF");
        if (onOff(param, on))
            state_.serviceTimerOn = on;
        return {};
    case Cmd::AudioLoop:
        if (query)
            return b.audioLoop ? QStringLiteral("ON") : QStringLiteral("OFF");
        if (onOff(param, on))
            b.audioLoop = on;
        return {};
    default:
        return {};
    }
}

void Instrument::setSystem(const QString& param)
{
    QString code = param.toUpper();
    code.remove(u' ');
    static const QStringList known{QStringLiteral("GSM"), QStringLiteral("PCN"), QStringLiteral("PCS"),
                                   QStringLiteral("GSM,PCN"), QStringLiteral("GSM,PCS")};
    if (code.isEmpty()) {
        pushError(-109, QStringLiteral("Missing parameter"));
        return;
    }
    if (!known.contains(code)) {
        pushError(-224, QStringLiteral("Illegal parameter value"));
        return;
    }
    if (code == state_.systemCode)
        return;
    // Another network: the phone has to register anew and a call is lost.
    state_.systemCode = code;
    state_.registered = false;
    if (state_.call == CallState::Connected)
        state_.call = CallState::Released;
    state_.callBand = systemBands().front();
}

// The call follows the last traffic channel set for a band of the configured
// system; a phone that lacks that band loses the call.
void Instrument::setTrafficChannel(Band band, const QString& param)
{
    int channel = 0;
    if (!integerIn(param, 0, 1023, channel))
        return;
    if (!validChannel(band, channel)) {
        pushError(-222, QStringLiteral("Data out of range"));
        return;
    }
    state_.band(band).tch = channel;
    if (!systemBands().contains(band))
        return;
    state_.callBand = band;
    if (state_.call == CallState::Connected && !scenario_.supports(band))
        state_.call = CallState::Released;
}

QList<Band> Instrument::systemBands() const
{
    QList<Band> bands;
    for (const QString& part : state_.systemCode.split(u','))
        if (const auto b = parseBand(part))
            bands << *b;
    if (bands.isEmpty())
        bands << Band::GSM;
    return bands;
}

bool Instrument::validChannel(Band band, int channel) const
{
    switch (band) {
    case Band::GSM: // GSM 900 with its extension band, and GSM 850
        return (channel >= 0 && channel <= 124) || (channel >= 975 && channel <= 1023)
               || (channel >= 128 && channel <= 251);
    case Band::PCN: return channel >= 512 && channel <= 885;
    case Band::PCS: return channel >= 512 && channel <= 810;
    }
    return false;
}

bool Instrument::number(const QString& param, double& out)
{
    if (param.trimmed().isEmpty()) {
        pushError(-109, QStringLiteral("Missing parameter"));
        return false;
    }
    double v = 0;
    if (!ReadReal(param, v)) {
        pushError(-104, QStringLiteral("Data type error"));
        return false;
    }
    out = v;
    return true;
}

bool Instrument::integerIn(const QString& param, int min, int max, int& out)
{
    double v = 0;
    if (!number(param, v))
        return false;
    if (v < min || v > max || v != std::floor(v)) {
        pushError(-222, QStringLiteral("Data out of range"));
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

bool Instrument::onOff(const QString& param, bool& out)
{
    const QString p = param.trimmed().toUpper();
    if (p == u"ON" || p == u"1")
        out = true;
    else if (p == u"OFF" || p == u"0")
        out = false;
    else if (p.isEmpty())
        pushError(-109, QStringLiteral("Missing parameter"));
    else
        pushError(-224, QStringLiteral("Illegal parameter value"));
    return p == u"ON" || p == u"1" || p == u"OFF" || p == u"0";
}

}  // namespace sim
