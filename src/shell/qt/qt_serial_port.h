// The serial port over QSerialPort. COM n is the device that PortNames gives: an
// option, the station's PORTS.INI, the environment variable CELVIO_COM<n>, else
// /dev/ttyS<n-1>.
#pragma once

#include "shell/qt/port_names.h"
#include "platform/serial_port.h"

#include <QSerialPort>

namespace celvio {

class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;

    int SetCommPort(int number) override;
    int CommPort() const override { return port_; }
    int SetSettings(const QString& settings) override;
    QString Settings() const override { return settings_; }
    int SetHandshaking(bool xonXoff) override;
    int Open() override;
    int Close() override;
    bool IsOpen() const override { return serial_.isOpen(); }
    int InBufferCount() override;
    QByteArray Input() override;
    int Output(const QByteArray& data) override;
    void ClearInput() override;
    void ClearOutput() override;
    QString DevicePath(int number) const override;
    int TakeLostError() override;
    QString OpenProblem() const override { return openProblem_; }

    void NameDevice(int number, const QString& device) override { names_.Choose(number, device); }

    // The names of the ports (from the options and PORTS.INI).
    void SetPortNames(const PortNames& names) { names_ = names; }
    const PortNames& Names() const { return names_; }

private:
    void OnError(QSerialPort::SerialPortError error);
    int ApplySettings();

    QSerialPort serial_;
    int port_ = 1;
    QString settings_ = QStringLiteral("9600,N,8,1");
    bool xonXoff_ = false;
    int lostError_ = 0;
    PortNames names_;
    QString openProblem_;
};

}  // namespace celvio
