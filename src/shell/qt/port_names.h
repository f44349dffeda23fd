// Which device a port number COM n names. From the strongest to the weakest: a
// "--port COMn=DEVICE" option, a "COMn=DEVICE" line of the station's "PORTS.INI", the
// environment variable CELVIO_COM<n>, and last /dev/ttyS<n-1>. A name in PORTS.INI
// such as /dev/serial/by-id/usb-... stays the same whichever USB socket the adapter
// is plugged into.
#pragma once

#include "core/ports_file.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace celvio {

class PortNames {
public:
    // Takes "COMn=DEVICE" (the port in any case, n 1..16, DEVICE not empty). False,
    // with the reason in `problem`, for anything else.
    bool AddOption(const QString& option, QString& problem);

    // Reads the "COMn=DEVICE" lines of a ports file. Blank lines and lines starting with
    // ";" or "#" are remarks; every other line that is not of that form is returned in
    // `problems`. A missing file is no problem.
    void ReadPortsFile(const QString& path, QStringList& problems);

    // The operator's choice on screen, just written to PORTS.INI: COM n is `device`
    // from now on, over an option too.
    void Choose(int number, const QString& device);

    // The device of COM n.
    QString Device(int number) const;

    // Where the device of COM n comes from: "option", "PORTS.INI", "CELVIO_COM<n>" or
    // "default".
    QString Source(int number) const;

private:
    QMap<int, QString> options_;
    QMap<int, QString> file_;
};

}  // namespace celvio
