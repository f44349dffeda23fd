#include "procedure_fixture.h"

#include "sim/tester.h"

namespace celvio::testing {

void ReplyDevice::Write(const QByteArray& data)
{
    partial_ += data;
    for (qsizetype end = partial_.indexOf("\r\n"); end >= 0; end = partial_.indexOf("\r\n")) {
        const QString line = QString::fromLatin1(partial_.left(end));
        partial_.remove(0, end + 2);
        lines << line;
        if (!line.contains(QLatin1Char('?')))
            continue;
        auto it = replies_.find(line);
        if (it == replies_.end())
            it = replies_.find(line.section(QLatin1Char(';'), -1));
        QByteArray answer = "0";
        qint64 delay = 30;
        if (it != replies_.end() && !it->answers.isEmpty()) {
            answer = it->answers[std::min<qsizetype>(it->next, it->answers.size() - 1)].toLatin1();
            ++it->next;
            delay = it->delayMs;
        }
        pending_.append({now_() + delay, answer + "\r\n"});
    }
}

qint64 ReplyDevice::BytesAvailable()
{
    qint64 n = 0;
    for (const auto& p : pending_)
        if (p.first <= now_())
            n += p.second.size();
    return n;
}

QByteArray ReplyDevice::ReadAll()
{
    QByteArray out;
    for (qsizetype i = 0; i < pending_.size();) {
        if (pending_[i].first <= now_()) {
            out += pending_[i].second;
            pending_.removeAt(i);
        } else {
            ++i;
        }
    }
    return out;
}

ProcedureTest::ProcedureTest()
{
    StationState& st = app.st;
    st.Version = QStringLiteral("2.02");
    st.NewLine = kCrLf;
    st.Language = 1;
    st.SystemCode = QStringLiteral("GSM");
    st.DialNumber = QStringLiteral("0123");
    st.SearchTimeout = 60, st.MsCallTimeout = 30, st.BsCallTimeout = 30, st.LocateBsLevel = -50;
    st.GsmBcch = 30, st.GsmTch = {0, 20, 62, 100}, st.GsmBsLevel = -60;
    st.PcnBcch = 700, st.PcnTch = {0, 512, 698, 884}, st.PcnBsLevel = -65, st.PcnAttenuation = 2.5;
    st.PcsBcch = 661, st.PcsTch = {0, 513, 661, 809}, st.PcsBsLevel = -65, st.PcsAttenuation = 3;
    st.MsPowerLevels = {0, 5, 10, 15, 0, 5, 10};
    st.LimitTxPower = 2, st.LimitPhaseRms = 5, st.LimitPhasePeak = 20, st.LimitFrequency = 90;
    st.LimitFrequencyHigh = 180, st.LimitBurstLength = 1, st.LimitRxLevel = 3, st.LimitRxQuality = 2;
}

std::shared_ptr<sim::Tester> ProcedureTest::Simulator(const QString& scenario)
{
    auto tester = AttachSimulator(1, scenario);
    OpenPort(1);
    return tester;
}

std::shared_ptr<ReplyDevice> ProcedureTest::Replies()
{
    auto device = std::make_shared<ReplyDevice>(platform.Clock());
    platform.serial.devices[1] = device;
    OpenPort(1);
    return device;
}

QStringList ProcedureTest::From(const QStringList& lines, const QString& first)
{
    const qsizetype at = lines.indexOf(first);
    return at < 0 ? QStringList() : lines.mid(at);
}

}  // namespace celvio::testing
