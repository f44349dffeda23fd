// Command interpretation: finding a command from its header (with the SCPI
// rules for compound lines), the status commands, and the queries about the
// phone and its measured values.
#include "instrument.h"

namespace sim {

Instrument::Instrument(const Scenario& scenario)
    : scenario_(scenario), state_(defaultTesterState()), measurements_(scenario)
{
}

// Headers in their short SCPI form; "<B>" stands for GSM, PCN or PCS.
const QHash<QString, Instrument::HeaderForm>& Instrument::headerTable()
{
    static const QHash<QString, HeaderForm> table{
        {QStringLiteral("*IDN"), {Cmd::Idn, false, true}},
        {QStringLiteral("*RST"), {Cmd::Rst, true, false}},
        {QStringLiteral("*CLS"), {Cmd::Cls, true, false}},
        {QStringLiteral("*ESR"), {Cmd::Esr, false, true}},
        {QStringLiteral("*STB"), {Cmd::Stb, false, true}},
        {QStringLiteral("*OPC"), {Cmd::Opc, true, true}},
        {QStringLiteral("*WAI"), {Cmd::Wai, true, false}},
        {QStringLiteral("SYST:ERR"), {Cmd::SystErr, false, true}},
        {QStringLiteral("SYST:COMM:LOC"), {Cmd::CommLocal, true, false}},
        {QStringLiteral("SYST:COMM:REM:TEXT"), {Cmd::RemoteText, true, true}},
        {QStringLiteral("SYST:COMM:SER:TIM"), {Cmd::ServiceTimer, true, true}},
        {QStringLiteral("SYST:COMM:SER:TIM:STAT"), {Cmd::ServiceTimerState, true, true}},
        {QStringLiteral("SYST:SETT:PATT:LEV"), {Cmd::SettingsPathAtt, true, true}},
        {QStringLiteral("CONF:CSYS"), {Cmd::Csys, true, true}},
        {QStringLiteral("CONF:<B>:BS:CCH:ARFC"), {Cmd::Bcch, true, true}},
        {QStringLiteral("CONF:<B>:BS:TCH:ARFC"), {Cmd::Tch, true, true}},
        {QStringLiteral("CONF:<B>:MS:CCH:PLEV"), {Cmd::CchPowerLevel, true, true}},
        {QStringLiteral("CONF:<B>:MS:TCH:PLEV"), {Cmd::TchPowerLevel, true, true}},
        {QStringLiteral("CONF:<B>:PATT:LEV"), {Cmd::PathAtt, true, true}},
        {QStringLiteral("CONF:<B>:AUD:LOOP"), {Cmd::AudioLoop, true, true}},
        {QStringLiteral("RFG:<B>:LEV"), {Cmd::GeneratorLevel, true, true}},
        {QStringLiteral("CALL:LOC"), {Cmd::CallLocate, true, false}},
        {QStringLiteral("CALL:MSOR"), {Cmd::CallMsOriginate, true, false}},
        {QStringLiteral("CALL:BSOR"), {Cmd::CallBsOriginate, true, false}},
        {QStringLiteral("CALL:BSR"), {Cmd::CallRelease, true, false}},
        {QStringLiteral("STAT:QUES:EVEN"), {Cmd::QuesEvent, false, true}},
        {QStringLiteral("CALL:MSIN:IMEI"), {Cmd::Imei, false, true}},
        {QStringLiteral("CALL:MSIN:IMSI"), {Cmd::Imsi, false, true}},
        {QStringLiteral("CALL:MSIN:RLEV"), {Cmd::Revision, false, true}},
        {QStringLiteral("CALL:MSIN:NUMB"), {Cmd::DialledNumber, false, true}},
        {QStringLiteral("CALL:MSIN:RXL"), {Cmd::RxLevel, false, true}},
        {QStringLiteral("CALL:MSIN:RXQ"), {Cmd::RxQuality, false, true}},
        {QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV"), {Cmd::TxArray, false, true}},
        {QStringLiteral("MEAS:RFTR:TEMP"), {Cmd::PowerTemplate, false, true}},
        {QStringLiteral("MEAS:CALL:RX"), {Cmd::ChannelReport, false, true}},
    };
    return table;
}

std::optional<Instrument::Resolved> Instrument::lookup(const QStringList& nodes, bool query) const
{
    QStringList key = nodes;
    std::optional<Band> band;
    if (key.size() >= 3 && (key[0] == u"CONF" || key[0] == u"RFG")) {
        band = parseBand(key[1]);
        if (band)
            key[1] = QStringLiteral("<B>");
    }
    const auto it = headerTable().constFind(key.join(u':'));
    if (it == headerTable().constEnd() || (query ? !it->canQuery : !it->canSet))
        return std::nullopt;
    return Resolved{it->cmd, band.value_or(Band::GSM), nodes};
}

// Tries the header from the root first, then under the path of the previous
// command and each of its parents ("RFG:GSM:LEV -45;LEV?"), and last, for a
// header written with a leading ':', under the call's band (":AUD:LOOP ON" as
// "CONF:GSM:AUD:LOOP ON", ":LEV -110" as "RFG:GSM:LEV -110").
std::optional<Instrument::Resolved> Instrument::resolve(const QString& header, bool query,
                                                       const QStringList& path) const
{
    QString h = header.toUpper();
    if (h.startsWith(u'*'))
        return lookup({h}, query);
    const bool fromRoot = h.startsWith(u':');
    if (fromRoot)
        h.remove(0, 1);
    const QStringList nodes = h.split(u':');
    if (auto r = lookup(nodes, query))
        return r;
    for (qsizetype depth = path.size(); depth > 0; --depth)
        if (auto r = lookup(path.mid(0, depth) + nodes, query))
            return r;
    if (!fromRoot)
        return std::nullopt;
    for (const QString& root : {QStringLiteral("CONF"), QStringLiteral("RFG")})
        if (auto r = lookup(QStringList{root, bandName(state_.callBand)} + nodes, query))
            return r;
    return std::nullopt;
}

CommandResult Instrument::execute(const QString& command, qint64 nowMs, QStringList& path)
{
    const QString text = command.trimmed();
    CommandResult result;
    if (text.isEmpty())
        return result;
    qsizetype blank = 0;
    while (blank < text.size() && !text[blank].isSpace())
        ++blank;
    QString header = text.left(blank);
    const QString param = text.mid(blank).trimmed();
    const bool query = header.endsWith(u'?');
    if (query)
        header.chop(1);

    const auto resolved = resolve(header, query, path);
    if (!resolved) {
        pushError(-113, QStringLiteral("Undefined header"));
        result.query = query; // still answered, with an empty field, so the line completes
        return result;
    }
    if (!header.startsWith(u'*'))
        path = resolved->nodes.mid(0, resolved->nodes.size() - 1);
    if (resolved->cmd != Cmd::CommLocal)
        state_.local = false;
    return dispatch(*resolved, query, param, nowMs);
}

CommandResult Instrument::dispatch(const Resolved& r, bool query, const QString& param, qint64 nowMs)
{
    CommandResult result;
    result.query = query;
    switch (r.cmd) {
    case Cmd::Idn:
        result.answer = scenario_.identityAnswer();
        break;
    case Cmd::Rst: {
        const TesterState old = state_;
        state_ = defaultTesterState();
        state_.questionableEvents = old.questionableEvents;
        state_.eventStatus = old.eventStatus;
        state_.errorQueue = old.errorQueue;
        state_.local = false;
        pending_.reset();
        result.resumeAtMs = nowMs + scenario_.resetMs;
        break;
    }
    case Cmd::Cls:
        state_.questionableEvents = 0;
        state_.eventStatus = 0;
        state_.errorQueue.clear();
        break;
    case Cmd::Esr:
        result.answer = QString::number(state_.eventStatus);
        state_.eventStatus = 0;
        break;
    case Cmd::Stb:
        result.answer = QString::number((state_.errorQueue.isEmpty() ? 0 : 4)
                                        | (state_.questionableEvents ? 8 : 0)
                                        | (state_.eventStatus ? 32 : 0));
        break;
    case Cmd::Opc:
        result.answer = QStringLiteral("1");
        break;
    case Cmd::Wai:
        break;
    case Cmd::SystErr:
        result.answer = state_.errorQueue.isEmpty() ? QStringLiteral("0,\"No error\"")
                                                    : state_.errorQueue.takeFirst();
        break;
    case Cmd::CommLocal:
        state_.local = true;
        break;
    case Cmd::QuesEvent:
        result.answer = QString::number(state_.questionableEvents);
        state_.questionableEvents = 0;
        break;
    case Cmd::CallLocate:
    case Cmd::CallMsOriginate:
    case Cmd::CallBsOriginate: {
        const CallState kind = r.cmd == Cmd::CallLocate        ? CallState::LocationUpdate
                               : r.cmd == Cmd::CallMsOriginate ? CallState::MsOriginating
                                                               : CallState::BsOriginating;
        result.resumeAtMs = startCallAction(kind, nowMs);
        break;
    }
    case Cmd::CallRelease:
        releaseCall();
        break;
    case Cmd::Imei:
    case Cmd::Imsi:
    case Cmd::Revision:
    case Cmd::DialledNumber:
    case Cmd::RxLevel:
    case Cmd::RxQuality:
    case Cmd::TxArray:
    case Cmd::PowerTemplate:
    case Cmd::ChannelReport:
        result.answer = phoneQuery(r.cmd);
        if (r.cmd == Cmd::TxArray || r.cmd == Cmd::PowerTemplate || r.cmd == Cmd::ChannelReport)
            result.extraDelayMs = scenario_.measureMs;
        break;
    default:
        result.answer = settingCommand(r, query, param);
        break;
    }
    return result;
}

// Answers about the phone: its identity once it has registered, and its
// measured values while a call is up. Without them the tester answers "NAN"
// and notes a settings conflict.
QString Instrument::phoneQuery(Cmd cmd)
{
    const BandSettings& b = state_.band(state_.callBand);
    int attempt = 0;
    switch (cmd) {
    case Cmd::TxArray: attempt = ++txQueries_; break;
    case Cmd::PowerTemplate: attempt = ++templateQueries_; break;
    case Cmd::RxLevel: attempt = ++rxLevelQueries_; break;
    case Cmd::RxQuality: attempt = ++rxQualityQueries_; break;
    default: break;
    }
    if (cmd == Cmd::DialledNumber)
        return state_.dialledDigits;
    const bool identityKnown = state_.registered;
    const bool inCall = state_.call == CallState::Connected;
    const bool isIdentity = cmd == Cmd::Imei || cmd == Cmd::Imsi || cmd == Cmd::Revision;
    if (isIdentity ? !identityKnown : !inCall) {
        pushError(-221, QStringLiteral("Settings conflict"));
        return cmd == Cmd::TxArray ? QStringLiteral("NAN,NAN,NAN,NAN,NAN")
               : cmd == Cmd::ChannelReport ? QStringLiteral("NAN,NAN")
                                           : QStringLiteral("NAN");
    }
    switch (cmd) {
    case Cmd::Imei: return scenario_.imei;
    case Cmd::Imsi: return scenario_.imsi;
    case Cmd::Revision: return QString::number(scenario_.revisionLevel);
    case Cmd::TxArray: return measurements_.transmitter(state_.callBand, b.tchPowerLevel, attempt);
    case Cmd::PowerTemplate: return measurements_.powerTemplate(attempt);
    case Cmd::RxLevel:
        return QString::number(measurements_.rxLevel(b.generatorDbm, b.tch, attempt));
    case Cmd::RxQuality:
        return QString::number(measurements_.rxQuality(b.generatorDbm, b.tch, attempt));
    case Cmd::ChannelReport: return measurements_.channelReport(b.generatorDbm, b.tch);
    default: return {};
    }
}

void Instrument::pushError(int code, const QString& text)
{
    constexpr int kQueueSize = 20;
    if (state_.errorQueue.size() >= kQueueSize)
        state_.errorQueue.last() = QStringLiteral("-350,\"Queue overflow\"");
    else
        state_.errorQueue << QStringLiteral("%1,\"%2\"").arg(code).arg(text);
    state_.eventStatus |= (code <= -100 && code > -200) ? kEsrCommandError : kEsrExecutionError;
}

void Instrument::keepSettings(const TesterState& settings)
{
    state_ = settings;
    state_.registered = false;
    state_.call = CallState::Idle;
    state_.dialledDigits.clear();
    pending_.reset();
}

}  // namespace sim
