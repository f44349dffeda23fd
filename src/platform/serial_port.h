// The serial port as the program sees it: the operations of a classic port control
// (port number, settings text, XON/XOFF, waiting count, read all, write, discard,
// close) with its error numbers 8000-8020. Implemented over QSerialPort (shell/qt) and
// over an in-process link to the tester simulator (shell/scripted).
#pragma once

#include <QByteArray>
#include <QString>

namespace celvio {

// Error numbers of the port control; 0 means success.
namespace comm_error {
inline constexpr int kNone = 0;
inline constexpr int kOperationNotValidWhileOpen = 8000;
inline constexpr int kInvalidPortNumber = 8002;
inline constexpr int kPortAlreadyOpen = 8005;
inline constexpr int kDeviceIdInvalid = 8006;
inline constexpr int kBaudRateUnsupported = 8007;
inline constexpr int kDefaultParametersInError = 8009;
inline constexpr int kHardwareNotAvailable = 8010;  // held by another program
inline constexpr int kDeviceNotOpen = 8012;
inline constexpr int kCouldNotSetCommState = 8015;
inline constexpr int kPortNotOpen = 8018;
inline constexpr int kDeviceBusy = 8019;
inline constexpr int kReadError = 8020;
}  // namespace comm_error

// The fixed text of a port error number (and of the probe's own numbers 999-1001).
QString CommErrorText(int number);

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Port number 1..8. Changing it while open is error 8000.
    virtual int SetCommPort(int number) = 0;
    virtual int CommPort() const = 0;
    // Settings text such as "19200,N,8,1". A malformed text is error 8009.
    virtual int SetSettings(const QString& settings) = 0;
    virtual QString Settings() const = 0;
    // XON/XOFF flow control on or off.
    virtual int SetHandshaking(bool xonXoff) = 0;
    virtual int Open() = 0;
    virtual int Close() = 0;
    virtual bool IsOpen() const = 0;
    // Number of received characters waiting; 0 when closed.
    virtual int InBufferCount() = 0;
    // Everything waiting; empty when closed.
    virtual QByteArray Input() = 0;
    // Writes the bytes; error 8018 when the port is not open.
    virtual int Output(const QByteArray& data) = 0;
    virtual void ClearInput() = 0;
    virtual void ClearOutput() = 0;
    // The device path that a port number names (for messages and traces).
    virtual QString DevicePath(int number) const = 0;
    // Set once when an open port failed under the program (a pulled USB adapter):
    // the port has been closed and this holds the error number. Reading clears it.
    virtual int TakeLostError() = 0;
    // Plain words for the last Open that failed where its error number says too little
    // (the operator's account may not open the device); empty otherwise.
    virtual QString OpenProblem() const { return QString(); }
    // COM `number` is `device` from now on (the operator's choice on screen).
    virtual void NameDevice(int /*number*/, const QString& /*device*/) {}
};

}  // namespace celvio
