// The station's ports file "PORTS.INI", read from its bytes, and the same file after the
// operator chose a port on screen.
//
// Checks: every port read is COM 1..16 with a device that can stand in a line as it is;
// each line that is neither a remark nor a port is one problem; after the choice of a
// device for COM n (n and the device taken from the input) the file reads back with
// that device for COM n and every other port as before, has no more problems than
// before, and choosing the same again changes nothing.
#include "fuzz_support.h"

#include "core/ports_file.h"

using namespace celvio;
using celvio::fuzz::Check;

namespace {

// A device name made from the input's last bytes: printable Latin-1, no blank at either end.
QString DeviceFrom(const QByteArray& bytes)
{
    QString device = QStringLiteral("/dev/");
    for (qsizetype i = std::max<qsizetype>(0, bytes.size() - 24); i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        if (c > 0x20 && c != 0x7f && !QChar(c).isSpace())
            device += QChar(c);
    }
    return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString input = fuzz::Text(data, size);
    const PortsText before = ReadPortsText(bytes, QStringLiteral("PORTS.INI"));
    for (auto it = before.devices.begin(); it != before.devices.end(); ++it) {
        Check(it.key() >= 1 && it.key() <= kHighestPortNumber, "a port read is COM 1..16", input);
        Check(PortDeviceProblem(it.value()).isEmpty(), "a device read can stand in a line as it is",
              it.value() + QLatin1Char('\n') + input);
    }
    for (const QString& problem : before.problems)
        Check(problem.startsWith(QStringLiteral("PORTS.INI, line ")), "a problem names the file and its line",
              problem);

    const int number = size > 0 ? int(data[0] % kHighestPortNumber) + 1 : 1;
    const QString device = DeviceFrom(bytes);
    Check(PortDeviceProblem(device).isEmpty(), "the chosen device is a valid name", device);
    const QByteArray written = WithPortDevice(bytes, number, device);
    const PortsText after = ReadPortsText(written, QStringLiteral("PORTS.INI"));
    QMap<int, QString> expected = before.devices;
    expected.insert(number, device);
    Check(after.devices == expected, "the choice reads back, and every other port as before",
          QString::number(number) + QLatin1Char('=') + device + QLatin1Char('\n') + input);
    Check(after.problems.size() <= before.problems.size(), "the choice adds no problem", input);
    Check(WithPortDevice(written, number, device) == written, "choosing the same again changes nothing", input);
    Check(written.endsWith("\r\n"), "the file ends with CR LF", input);
    return 0;
}
