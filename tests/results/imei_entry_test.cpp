// The typed IMEI: the separators an operator may type between the digit groups are
// taken out, and whatever does not leave 15 usable characters is asked for again.
#include "results/imei_entry.h"
#include "support/station_fixture.h"

namespace celvio::testing {
namespace {

class ImeiEntryTest : public StationFixture {};

TEST_F(ImeiEntryTest, SeparatorsAreRemovedAndShortEntriesAskedAgain)
{
    const struct {
        const char* typed;
        const char* imei;  // nullptr: refused with the length message
    } cases[] = {
        {"352099001234562", "352099001234562"},
        {"35 209900 123456 2", "352099001234562"},  // as printed under the battery
        {"35-209900-123456-2", "352099001234562"},
        {"35/209900.123456 2", "352099001234562"},
        {" 352099001234562 ", "352099001234562"},
        {"35 209900 12345 2", nullptr},   // 14 digits
        {"35\t209900123456 2", nullptr},  // a tab is no blank
        {"         ", nullptr},
    };
    app.st.Language = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        platform.boxes.clear();
        app.st.Imei.clear();
        platform.Type(1, QString::fromLatin1(c.typed));
        platform.Press(QStringLiteral("&OK"));
        if (!c.imei) {
            // Refused: the entry stays for a second try, which is good.
            platform.Await([this](const App&) { return platform.boxes.size() == 1; }, QStringLiteral("the message"));
            platform.Type(1, QStringLiteral("351234000000017"));
            platform.Press(QStringLiteral("&OK"));
        }
        EnterImei(app, ImeiPrompt::OldPhone);
        EXPECT_EQ(platform.StepsLeft(), 0);
        EXPECT_EQ(app.st.Imei, c.imei ? QString::fromLatin1(c.imei) : QStringLiteral("351234000000017"));
        ASSERT_EQ(platform.boxes.size(), c.imei ? 0 : 1);
        if (!c.imei) {
            EXPECT_EQ(platform.boxes[0].text, QStringLiteral("Please enter all 15 digits of the IMEI."));
        }
    }
}

}  // namespace
}  // namespace celvio::testing
