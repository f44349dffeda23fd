// The help window: every topic's title and first line, the speed line, the endings,
// and the window as the operator meets it (Ctrl+Q twice, hidden by the next step).
#include "core/helpers.h"
#include "support/station_fixture.h"
#include "swap/service_data.h"
#include "ui/help.h"

#include <QRegularExpression>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kStop = u"Click on the STOP symbol to stop the test."_s;
const QString kEsc = u"Click on the ESC button to exit the CELVIO program."_s;

// The topics by number: title and first line.
const std::pair<const char*, const char*> kTopics[33] = {
    {"", ""},
    {"CONNECT", "Connect Dalvora 7700 and PC with the delivered serial cable."},
    {"SEARCH FOR 7700 IN PROGRESS", "Search for a connected 7700 in progress."},
    {"SELECT TESTMODE", "Click TEST to start testing a mobile phone."},
    {"CLUB ZAVAR NUMBER", "Enter the CLUB ZAVAR NUMBER."},
    {"SELECT BAND", "Select GSM band according to the mobile phone you want to test."},
    {"INITIALIZE 7700", "7700 Initialisation in progress."},
    {"NETWORK SEARCH", "Place the phone into the UNIVERSAL ANTENNA COUPLER."},
    {"KEYPAD TEST", "Please dial the number as instructed."},
    {"TRANSMITTER TEST", "Transmitter test active."},
    {"BS CALL", "Call from base station active."},
    {"RECEIVER TEST", "Receiver test active."},
    {"AUDIO TEST", "Audio test checks microphone and loudspeaker."},
    {"DUALBAND TEST", "Dualband test active."},
    {"TESTRESULT OVERVIEW", "Presents the test result."},
    {"TESTRESULT ", "Summary of the different performed tests."},
    {"SCAN TYPE", "Choose kind of scan."},
    {"SCAN TYPE", "SEARCH MORE performs a scan over all channels, which are"},
    {"SCAN active", "Scan routine is active. If you interrupt it now,"},
    {"SWAP", "Press SWAP if you want to exchange the faulty phone"},
    {"NO HELP AVAILABLE", nullptr},
    {"ZAVAR SERVICE POINT ID", "Enter your service point ID and company name, phone number,"},
    {"IMEI NOT FOUND", "Please enter the IMEI number of the mobile phone."},
    {"SCAN FINISHED", "Scan program finished."},
    {"SCAN INTERRUPTED", "Scan program interrupted or aborted."},
    {"NETWORK SEARCH FAILED", "Unable to register the mobile."},
    {"FAILURE", "Unable to establish a connection to the phone."},
    {"INSTRUCTION", "Please follow the given instruction."},
    {"UNKNOWN IMEI", "Unable to read IMEI of the phone."},
    {"MS CALL", "Please dial 123 on the phone."},
    {"IDENTICAL IMEI", "The new phone has the same IMEI as the defective one."},
    {"DIFFERENT MODEL", "The new phone model seems different from the defective phone."},
    {"SELECT BAND", "Select the GSM band which you want to scan."},
};

// The common ending: three empty lines and six lines of notices.
void ExpectCommonEnding(const QStringList& lines, int topic)
{
    ASSERT_GE(lines.size(), 10) << topic;
    const QStringList ending = lines.mid(lines.size() - 9);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(ending[i].isEmpty()) << topic;
    for (int i = 3; i < 9; ++i)
        EXPECT_FALSE(ending[i].isEmpty()) << topic;
}

TEST(HelpTextTest, EveryTopicHasItsTitleFirstLineAndEndings)
{
    for (int topic = 1; topic <= 32; ++topic) {
        SCOPED_TRACE(topic);
        EXPECT_EQ(HelpTitle(topic), QString::fromLatin1(kTopics[topic].first));
        const QStringList lines = HelpLines(topic, u"19200"_s);
        ASSERT_GE(lines.size(), 2);
        EXPECT_TRUE(lines[0].isEmpty());  // the list starts with one empty line
        ExpectCommonEnding(lines, topic);
        const QStringList body = lines.mid(1, lines.size() - 10);
        if (topic == 20) {
            EXPECT_TRUE(body.isEmpty());
            continue;
        }
        EXPECT_EQ(body.value(0), QString::fromLatin1(kTopics[topic].second));
        // Two to fourteen lines of the topic's own text, after its first line.
        const bool stop = QList<int>{9, 10, 11, 12, 13, 18, 28, 29, 30, 31}.contains(topic);
        const int gaps = QList<int>{10, 28, 29, 30, 31}.contains(topic) ? 2 : 1;
        const QStringList text = stop ? body.mid(0, body.size() - 2 - gaps) : body;
        EXPECT_GE(text.size() - 1, 2);
        EXPECT_LE(text.size() - 1, 14);
        if (stop) {
            EXPECT_EQ(body.mid(body.size() - 2), (QStringList{kStop, kEsc}));
            for (int g = 1; g <= gaps; ++g)
                EXPECT_TRUE(body[body.size() - 2 - g].isEmpty());
            EXPECT_FALSE(body[body.size() - 3 - gaps].isEmpty());
        } else {
            EXPECT_FALSE(body.contains(kStop));
        }
    }
}

TEST(HelpTextTest, UnknownTopicsShowOnlyTheCommonEnding)
{
    for (int topic : {0, 33, -1}) {
        EXPECT_EQ(HelpTitle(topic), u"NO HELP AVAILABLE"_s);
        const QStringList lines = HelpLines(topic, u"19200"_s);
        EXPECT_EQ(lines.size(), 1 + 3 + 6) << topic;
        EXPECT_TRUE(lines[0].isEmpty());
        ExpectCommonEnding(lines, topic);
    }
}

// What the help tells the operator to type is what the entry screens take: every
// example of a service point ID in topic 21 passes the ID check, both forms are named,
// and the IMEI separators of topic 22 are the ones the entry removes.
TEST(HelpTextTest, EntryTopicsNameWhatTheEntriesAccept)
{
    const QString topic21 = HelpLines(21, u"19200"_s).join(u'\n');
    const QRegularExpression example(u"\\(([^)]*)\\)"_s);
    QStringList ids;
    for (auto it = example.globalMatch(topic21); it.hasNext();)
        ids << it.next().captured(1);
    EXPECT_EQ(ids, (QStringList{u"AB123"_s, u"123_123456"_s}));
    for (const QString& id : ids)
        EXPECT_TRUE(ValidServicePointId(id)) << qPrintable(id);
    EXPECT_TRUE(HelpLines(22, u"19200"_s).contains(u"Blanks, dashes, slashes and dots may be typed; they are removed."_s));
}

class HelpWindowTest : public StationFixture {};

TEST_F(HelpWindowTest, TopicOneNamesTheConfiguredSpeedAndCtrlQRefillsTheWindow)
{
    const std::pair<int, QString> speeds[] = {{0, u"4800"_s}, {1, u"9600"_s}, {2, u"19200"_s},
                                              {3, u"38400"_s}, {7, u"19200"_s}};
    for (const auto& [setting, speed] : speeds) {
        app.st.TesterSpeed = quint8(setting);
        SetHelpTopic(app, HelpTopic::Connect);
        ShowHelp(app);
        EXPECT_TRUE(app.Form2.List1.contains(u"  Baudrate should be set to "_s + speed + u" baud."_s)) << setting;
    }

    // Ctrl+Q twice: the same window, filled again from one empty line.
    app.st.DebugMode = kTrue;
    SetHelpTopic(app, HelpTopic::TransmitterTest);
    platform.Do(UiAction::Help);
    platform.Do(UiAction::Help);
    WaitSeconds(app, 1);
    EXPECT_TRUE(app.Form2.Visible);
    EXPECT_EQ(app.Form2.Caption, u"CELVIO HELP"_s);
    EXPECT_EQ(app.Form2.Title, u"TRANSMITTER TEST"_s);
    EXPECT_EQ(app.Form2.List1, HelpLines(9, u"19200"_s));
    EXPECT_EQ(Trace().count(u"Button = HELP"_s), 2);

    // The next step hides it.
    SetHelpTopic(app, HelpTopic::BaseStationCall);
    EXPECT_FALSE(app.Form2.Visible);
    EXPECT_EQ(app.st.HelpTopic, HelpTopic::BaseStationCall);
}

}  // namespace
}  // namespace celvio::testing
