// Serial devices that the tester tests need beyond the scripted ones.
#pragma once

#include "shell/scripted/scripted_devices.h"

#include <QByteArray>

namespace celvio::testing {

// Answers every write at once with the same bytes, like a device that is not a tester
// (a modem, a wrong instrument) or a tester with a fixed identity.
class AnsweringDevice : public SerialDevice {
public:
    explicit AnsweringDevice(QByteArray answer) : answer_(std::move(answer)) {}
    void Write(const QByteArray& data) override
    {
        written_ += data;
        pending_ += answer_;
    }
    qint64 BytesAvailable() override { return pending_.size(); }
    QByteArray ReadAll() override { return std::exchange(pending_, QByteArray()); }
    QByteArray Written() const { return written_; }

private:
    QByteArray answer_;
    QByteArray pending_;
    QByteArray written_;
};

}  // namespace celvio::testing
