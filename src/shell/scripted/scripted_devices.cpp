#include "shell/scripted/scripted_devices.h"

#include "sim/tester.h"

namespace celvio {

void ScriptedDevice::Write(const QByteArray& data)
{
    written_ += data;
    if (!answers_.isEmpty()) {
        const auto answer = answers_.takeFirst();
        pending_.append({nowMs_() + answer.first, answer.second});
    }
}

void ScriptedDevice::Collect()
{
    const qint64 now = nowMs_();
    for (qsizetype i = 0; i < pending_.size();) {
        if (pending_[i].first <= now) {
            ready_ += pending_[i].second;
            pending_.removeAt(i);
        } else {
            ++i;
        }
    }
}

qint64 ScriptedDevice::BytesAvailable()
{
    Collect();
    return ready_.size();
}

QByteArray ScriptedDevice::ReadAll()
{
    Collect();
    return std::exchange(ready_, QByteArray());
}

void SimDevice::Write(const QByteArray& data)
{
    tester_->write(data);
}

qint64 SimDevice::BytesAvailable()
{
    return tester_->bytesAvailable();
}

QByteArray SimDevice::ReadAll()
{
    return tester_->readAll();
}

}  // namespace celvio
