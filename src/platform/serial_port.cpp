#include "platform/serial_port.h"

namespace celvio {

QString CommErrorText(int number)
{
    switch (number) {
    case 999: return QStringLiteral("Answer = Query. IR Port ?");
    case 1000: return QStringLiteral("Timeout or NO response");
    case 1001: return QStringLiteral("Answer received. No Dalvora device");
    case 8000: return QStringLiteral("Operation not valid while the port is opened");
    case 8001: return QStringLiteral("Timeout value must be greater than zero");
    case 8002: return QStringLiteral("Invalid Port Number");
    case 8003: return QStringLiteral("Property available only at run time");
    case 8004: return QStringLiteral("Property is read only at runtime");
    case 8005: return QStringLiteral("Port already open");
    case 8006: return QStringLiteral("The device identifier is invalid or unsupported");
    case 8007: return QStringLiteral("The Device 's baud rate is unsupported");
    case 8008: return QStringLiteral("The specified byte size is invalid");
    case 8009: return QStringLiteral("The default parameters are in error");
    case 8010: return QStringLiteral("The hardware is not available (locked by another device)");
    case 8011: return QStringLiteral("The function cannot allocate the queues");
    case 8012: return QStringLiteral("The device is not open");
    case 8013: return QStringLiteral("The device is already open");
    case 8014: return QStringLiteral("Could not enable comm notification");
    case 8015: return QStringLiteral("Could not set comm state");
    case 8016: return QStringLiteral("Could not set comm event mask");
    case 8018: return QStringLiteral("Operation valid only when the port is open");
    case 8019: return QStringLiteral("Device busy");
    case 8020: return QStringLiteral("Error reading comm device");
    default: return QStringLiteral("Unknown error");
    }
}

}  // namespace celvio
