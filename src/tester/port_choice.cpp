#include "tester/port_choice.h"

#include "core/app.h"
#include "core/files.h"
#include "core/ports_file.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"
#include "platform/serial_port.h"

namespace celvio {

namespace {

const QString kPortsFile = QStringLiteral("PORTS.INI");

}  // namespace

QString PortDeviceLine(App& app, int number)
{
    return QStringLiteral("COM%1 \u2013 %2").arg(number).arg(app.ui.Comm1().DevicePath(number));
}

bool ChooseTesterDevice(App& app, int number)
{
    const QList<SerialDeviceInfo> devices = app.ui.SerialDevices();
    const QString title = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Serial port of the tester"));
    if (devices.isEmpty()) {
        TraceLine(app, QStringLiteral("Port choice: no serial device found"));
        app.ui.MsgBox(Tr(app, QT_TRANSLATE_NOOP("Celvio", "No serial device found.\n"
                                                          "Please connect the tester's cable to the PC."))
                          .replace(QLatin1Char('\n'), kCrLf),
                      msgbox::kOkOnly | msgbox::kExclamation, title);
        return false;
    }
    QStringList rows;
    for (const SerialDeviceInfo& device : devices)
        rows << (device.description.isEmpty() ? device.path : device.path + QStringLiteral("  (") +
                                                                  device.description + QLatin1Char(')'));
    const QString prompt =
        Tr(app, QT_TRANSLATE_NOOP("Celvio", "Which device is the tester connected to? It becomes COM%1.")).arg(number);
    const int chosen = app.ui.ChooseFromList(title, prompt, rows);
    if (chosen < 0 || chosen >= devices.size())
        return false;
    const QString device = devices[chosen].path;
    if (const QString problem = PortDeviceProblem(device); !problem.isEmpty()) {
        app.ui.MsgBox(device + kCrLf + problem, msgbox::kOkOnly | msgbox::kExclamation, title);
        return false;
    }
    const QString path = StationPath(app, kPortsFile);
    QByteArray bytes;
    if (FileExists(app, kPortsFile) && !ReadFileBytes(path, bytes)) {
        ReportFileNotWritten(app, kPortsFile, path, QStringLiteral("it cannot be read"));
        return false;
    }
    QString reason;
    if (!WriteFileAtomic(path, WithPortDevice(bytes, number, device), &reason)) {
        ReportFileNotWritten(app, kPortsFile, path, reason);
        return false;
    }
    app.ui.Comm1().NameDevice(number, device);
    TraceLine(app, QStringLiteral("PORTS.INI: COM%1=%2 (chosen on screen)").arg(number).arg(device));
    return true;
}

}  // namespace celvio
