// The ports file as text: what a line may name, and one port rewritten with the rest of
// the file kept.
#include "core/ports_file.h"

#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

TEST(PortsFile, OnePortRewrittenTheRestKept)
{
    struct Case {
        const char* name;
        QByteArray before;
        int number;
        QByteArray after;
    } cases[] = {
        {"empty file", "", 1, "COM1=/dev/x\r\n"},
        {"no line for the port, no last line end", "COM2=/dev/b", 1, "COM2=/dev/b\r\nCOM1=/dev/x\r\n"},
        {"the first line replaced, a later one dropped", "COM01 = /dev/a\nCOM2=/dev/b\ncom1=/dev/c\n", 1,
         "COM1=/dev/x\r\nCOM2=/dev/b\r\n"},
        {"remarks and broken lines stay", "# COM1=/dev/remark\r\nCOM1 /dev/q\r\nCOM3=/dev/c\r\n", 3,
         "# COM1=/dev/remark\r\nCOM1 /dev/q\r\nCOM3=/dev/x\r\n"},
        {"COM16, not COM1", "COM16=/dev/p\r\n", 1, "COM16=/dev/p\r\nCOM1=/dev/x\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WithPortDevice(c.before, c.number, QStringLiteral("/dev/x")), c.after);
    }
    const PortsText read = ReadPortsText("COM1=/dev/a\r\nCOM2=/dev/with\ttab\r\nCOM3=  \r\n", QStringLiteral("P"));
    EXPECT_EQ(read.devices, (QMap<int, QString>{{1, QStringLiteral("/dev/a")}}));
    EXPECT_EQ(read.problems, (QStringList{QStringLiteral("P, line 2: 'COM2=/dev/with\ttab' is not of the form COMn=DEVICE."),
                                          QStringLiteral("P, line 3: 'COM3=' is not of the form COMn=DEVICE.")}));
    for (const char* bad : {"", " /dev/a", "/dev/a ", "/dev/a\r", "/dev/\u20ac"})
        EXPECT_FALSE(PortDeviceProblem(QString::fromUtf8(bad)).isEmpty()) << bad;
    EXPECT_TRUE(PortDeviceProblem(QStringLiteral("/dev/serial/by-id/usb-A b")).isEmpty());
}

}  // namespace
}  // namespace celvio::testing
