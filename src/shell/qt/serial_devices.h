// The serial devices of this computer, as the operator chooses among them on screen and
// as "celvio --list-ports" shows them: names under /dev/serial/by-id/ first (they stay
// the same in whichever socket an adapter is plugged), then the system's other serial
// devices, then the devices that the station's PORTS.INI, a --port option or CELVIO_COM<n>
// names although the system does not list them (a link to a pseudo-terminal, an adapter
// that is unplugged).
#pragma once

#include "platform/platform.h"
#include "shell/qt/port_names.h"

#include <QList>
#include <QString>

namespace celvio {

struct SerialDeviceRow {
    QString path;          // as the operator would write it into PORTS.INI
    QString target;        // where a link leads ("/dev/ttyUSB0"); the path itself otherwise
    QString description;   // what the system says it is; empty when nothing
    QString manufacturer;
    QString serialNumber;
    QString port;          // "COM1" when a port number names it, else empty
    QString namedBy;       // "PORTS.INI", "option", "CELVIO_COM3" for a device the system does not list
    QString openProblem;   // empty when this user may open it for reading and writing
};

// Every device, in the order above; a device reached through several names appears once,
// under its by-id name.
QList<SerialDeviceRow> ListSerialDeviceRows(const PortNames& names);

// Empty when this user may open `path` for reading and writing; else why not, in words for
// the operator: "no permission: the device belongs to group dialout, which this user is
// not in (adduser USER dialout, then log in again)", "the device does not exist".
QString DeviceOpenProblem(const QString& path);

// The rows as the port choice shows them.
QList<SerialDeviceInfo> ToDeviceInfos(const QList<SerialDeviceRow>& rows);

}  // namespace celvio
