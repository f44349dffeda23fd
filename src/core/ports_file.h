// The station's ports file "PORTS.INI": one line "COMn=DEVICE" per named port (n from 1
// to 16, the port in any case), remarks starting with ";" or "#", blank lines; Latin-1
// with CR LF like every station file. A name such as /dev/serial/by-id/usb-... stays the
// same whichever USB socket the adapter is plugged into.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace celvio {

// The highest port number the program knows.
inline constexpr int kHighestPortNumber = 16;

// The most of a ports file that is read.
inline constexpr qint64 kMaxPortsFileBytes = 1 << 20;

// "COMn=DEVICE" taken apart; false when the text is not of that form.
bool ParsePortAssignment(const QString& text, int& number, QString& device);

// The ports file's contents: the device of each named port (a later line for the same
// port wins) and, for every line that is neither a remark nor an assignment, a problem
// that names `name` and the line.
struct PortsText {
    QMap<int, QString> devices;
    QStringList problems;
};
PortsText ReadPortsText(const QByteArray& bytes, const QString& name);

// Whether `device` can stand in a ports file line and be read back as it is: not empty,
// Latin-1, no control character, no blank at either end. Empty when it can; else why not.
QString PortDeviceProblem(const QString& device);

// The file `bytes` with COM `number` naming `device`: the port's first line is
// replaced, its later lines removed, every other line kept as it was (remarks and lines
// that name no port too); without a line for the port one is added at the end. Lines end
// in CR LF. `device` must pass PortDeviceProblem.
QByteArray WithPortDevice(const QByteArray& bytes, int number, const QString& device);

}  // namespace celvio
