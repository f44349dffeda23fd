// A port that goes away under the program (a USB adapter pulled): reported once,
// and neither the transport nor its callers wait for it or spin.
#include "support/station_fixture.h"
#include "tester/transport.h"

namespace celvio::testing {
namespace {

using PortLossTest = StationFixture;

TEST_F(PortLossTest, LostWhileWaitingIsReportedOnceAndEndsEveryWait)
{
    app.st.DebugMode = kTrue;
    AttachScriptedDevice(3);
    OpenPort(3);
    platform.Await(
        [this](const App&) {
            if (platform.MonotonicMs() < 2000)
                return false;
            platform.serial.Lose();
            return true;
        },
        QStringLiteral("the adapter pulled"));
    SendCommand(app, QStringLiteral("*STB?"));
    EXPECT_EQ(ReadAnswer(app), QString());
    EXPECT_LT(platform.MonotonicMs(), 2100);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].title, QStringLiteral("No connection to tester"));
    EXPECT_EQ(platform.boxes[0].text,
              QStringLiteral("The connection to the tester at COM 3 (/dev/ttyS2) was lost:\r\n"
                             "Error reading comm device.\r\n\r\n"
                             "Please check the cable and the tester,\r\nthen quit and restart the program."));
    EXPECT_EQ(Trace().last(), QStringLiteral("10:00:02--- ERROR: Connection lost at COM 3 (/dev/ttyS2) "
                                             "Error =  8020 = Error reading comm device"));

    // Later commands and reads on the dead port: no further box, no wait, no spin.
    for (int i = 0; i < 100; ++i) {
        SendCommand(app, QStringLiteral("STAT:QUES:EVEN?"));
        EXPECT_EQ(ReadAnswer(app), QString());
    }
    EXPECT_LT(platform.MonotonicMs(), 2100 + 100 * 50);
    EXPECT_EQ(platform.boxes.size(), 1);
}

}  // namespace
}  // namespace celvio::testing
