// Serial devices for the scripted platform: what sits at the other end of COM n.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

namespace sim {
class Tester;
}

namespace celvio {

class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    virtual void Write(const QByteArray& data) = 0;
    virtual qint64 BytesAvailable() = 0;
    virtual QByteArray ReadAll() = 0;
    // True when another program holds the device (opening it fails with 8010).
    virtual bool HeldByOtherProgram() const { return false; }
    // True when the operator's account may not open the device.
    virtual bool ForbiddenToAccount() const { return false; }
};

// A device whose answers a test lays out byte by byte in time.
class ScriptedDevice : public SerialDevice {
public:
    explicit ScriptedDevice(std::function<qint64()> nowMs) : nowMs_(std::move(nowMs)) {}

    // Bytes that arrive at the given time (milliseconds of the platform's monotonic clock).
    void Arrive(qint64 atMs, const QByteArray& bytes) { pending_.append({atMs, bytes}); }
    // Bytes that arrive `afterMs` after the next write.
    void AnswerNextWrite(qint64 afterMs, const QByteArray& bytes) { answers_.append({afterMs, bytes}); }

    void Write(const QByteArray& data) override;
    qint64 BytesAvailable() override;
    QByteArray ReadAll() override;

    QByteArray Written() const { return written_; }
    bool heldByOther = false;
    bool HeldByOtherProgram() const override { return heldByOther; }
    bool forbidden = false;
    bool ForbiddenToAccount() const override { return forbidden; }

private:
    void Collect();

    std::function<qint64()> nowMs_;
    QList<QPair<qint64, QByteArray>> pending_;
    QList<QPair<qint64, QByteArray>> answers_;
    QByteArray ready_;
    QByteArray written_;
};

// Echoes everything written, like a loop-back or infrared port.
class EchoDevice : public SerialDevice {
public:
    void Write(const QByteArray& data) override { buffer_ += data; }
    qint64 BytesAvailable() override { return buffer_.size(); }
    QByteArray ReadAll() override { return std::exchange(buffer_, QByteArray()); }

private:
    QByteArray buffer_;
};

// The tester simulator, in process, on the platform's virtual clock.
class SimDevice : public SerialDevice {
public:
    explicit SimDevice(std::shared_ptr<sim::Tester> tester) : tester_(std::move(tester)) {}
    void Write(const QByteArray& data) override;
    qint64 BytesAvailable() override;
    QByteArray ReadAll() override;
    sim::Tester& Tester() { return *tester_; }

private:
    std::shared_ptr<sim::Tester> tester_;
};

}  // namespace celvio
