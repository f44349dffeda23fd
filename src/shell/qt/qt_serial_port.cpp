#include "shell/qt/qt_serial_port.h"

#include <QStringList>
#include <cerrno>
#include <unistd.h>

namespace celvio {

namespace {

struct PortSettings {
    qint32 baud = 0;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// "19200,N,8,1" -> settings; false for a malformed text.
bool ParseSettings(const QString& text, PortSettings& out)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    out.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || out.baud <= 0)
        return false;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity == QLatin1String("N"))
        out.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("E"))
        out.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("O"))
        out.parity = QSerialPort::OddParity;
    else
        return false;
    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return false;
    out.dataBits = QSerialPort::DataBits(bits);
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        out.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("2"))
        out.stopBits = QSerialPort::TwoStop;
    else
        return false;
    return true;
}

int OpenErrorNumber(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return comm_error::kInvalidPortNumber;
    case QSerialPort::PermissionError: return comm_error::kHardwareNotAvailable;
    case QSerialPort::OpenError: return comm_error::kPortAlreadyOpen;
    case QSerialPort::UnsupportedOperationError: return comm_error::kCouldNotSetCommState;
    case QSerialPort::ResourceError: return comm_error::kReadError;
    default: return comm_error::kDeviceIdInvalid;
    }
}

// Plain words for an open that failed for lack of permission: Qt reports a device
// that the account may not open and one locked by another program alike.
QString OpenProblemText(const QString& path, QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::PermissionError)
        return QString();
    const QByteArray local = path.toLocal8Bit();
    if (::access(local.constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return QString();
    return QStringLiteral("No permission to open %1: add the operator to the group dialout").arg(path);
}

}  // namespace

QtSerialPort::QtSerialPort()
{
    QObject::connect(&serial_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) { OnError(e); });
}

QtSerialPort::~QtSerialPort()
{
    if (serial_.isOpen())
        serial_.close();
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error)
{
    // A device that went away (a pulled USB adapter, the other side of a pty closed)
    // reports ReadError, WriteError or ResourceError again and again: close at the
    // first one, and keep its number for the one report of the loss.
    if ((error == QSerialPort::ReadError || error == QSerialPort::WriteError || error == QSerialPort::ResourceError) &&
        serial_.isOpen()) {
        lostError_ = comm_error::kReadError;
        serial_.close();
    }
}

QString QtSerialPort::DevicePath(int number) const
{
    return names_.Device(number);
}

int QtSerialPort::SetCommPort(int number)
{
    if (serial_.isOpen())
        return comm_error::kOperationNotValidWhileOpen;
    if (number < 1 || number > kHighestPortNumber)
        return comm_error::kInvalidPortNumber;
    port_ = number;
    return 0;
}

int QtSerialPort::SetSettings(const QString& settings)
{
    PortSettings parsed;
    if (!ParseSettings(settings, parsed))
        return comm_error::kDefaultParametersInError;
    settings_ = settings;
    return serial_.isOpen() ? ApplySettings() : 0;
}

int QtSerialPort::SetHandshaking(bool xonXoff)
{
    xonXoff_ = xonXoff;
    if (serial_.isOpen() && !serial_.setFlowControl(xonXoff ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl))
        return comm_error::kCouldNotSetCommState;
    return 0;
}

int QtSerialPort::ApplySettings()
{
    PortSettings s;
    if (!ParseSettings(settings_, s))
        return comm_error::kDefaultParametersInError;
    if (!serial_.setBaudRate(s.baud))
        return comm_error::kBaudRateUnsupported;
    if (!serial_.setParity(s.parity) || !serial_.setDataBits(s.dataBits) || !serial_.setStopBits(s.stopBits))
        return comm_error::kCouldNotSetCommState;
    if (!serial_.setFlowControl(xonXoff_ ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl))
        return comm_error::kCouldNotSetCommState;
    return 0;
}

int QtSerialPort::Open()
{
    if (serial_.isOpen())
        return comm_error::kPortAlreadyOpen;
    serial_.setPortName(DevicePath(port_));
    lostError_ = 0;
    openProblem_.clear();
    if (!serial_.open(QIODevice::ReadWrite)) {
        openProblem_ = OpenProblemText(DevicePath(port_), serial_.error());
        return OpenErrorNumber(serial_.error());
    }
    const int error = ApplySettings();
    if (error != 0) {
        serial_.close();
        return error;
    }
    return 0;
}

int QtSerialPort::Close()
{
    if (!serial_.isOpen())
        return comm_error::kPortNotOpen;
    serial_.close();
    return 0;
}

int QtSerialPort::InBufferCount()
{
    return serial_.isOpen() ? int(serial_.bytesAvailable()) : 0;
}

QByteArray QtSerialPort::Input()
{
    return serial_.isOpen() ? serial_.readAll() : QByteArray();
}

int QtSerialPort::Output(const QByteArray& data)
{
    if (!serial_.isOpen())
        return comm_error::kPortNotOpen;
    if (serial_.write(data) != data.size())
        return comm_error::kDeviceBusy;
    // Hand the bytes to the device now rather than at the next turn of the event
    // loop, so that a pause after a command happens after it has left.
    serial_.flush();
    return 0;
}

void QtSerialPort::ClearInput()
{
    if (serial_.isOpen()) {
        serial_.readAll();
        serial_.clear(QSerialPort::Input);
    }
}

void QtSerialPort::ClearOutput()
{
    if (serial_.isOpen())
        serial_.clear(QSerialPort::Output);
}

int QtSerialPort::TakeLostError()
{
    const int error = lostError_;
    lostError_ = 0;
    return error;
}

}  // namespace celvio
