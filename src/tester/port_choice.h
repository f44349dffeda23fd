// The port on screen: the device that each COM number names, shown beside the port
// buttons, and the choice of the tester's device from the system's serial devices,
// written to the station's PORTS.INI, so that connecting a tester needs no text editor.
#pragma once

#include <QString>

namespace celvio {

struct App;

// "COM1 – /dev/serial/by-id/usb-…": the device of COM `number` as the port question
// shows it.
QString PortDeviceLine(App& app, int number);

// Lists the system's serial devices (names under /dev/serial/by-id/ first, and what the
// station or the environment names) for the operator to choose the tester's device.
// The choice becomes COM `number` in the station's PORTS.INI, written whole through a
// temporary file (other lines kept), and names the port from now on. Returns true when
// a device was chosen and written; false when the operator cancelled, there was nothing
// to choose (the operator was told), or the file could not be written (the operator was
// told the file and the reason, and the port keeps its device).
bool ChooseTesterDevice(App& app, int number);

}  // namespace celvio
