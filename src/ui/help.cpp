#include "ui/help.h"

#include "core/app.h"
#include "tester/port_setup.h"

namespace celvio {

namespace {

struct HelpTopicText {
    const char* title;
    std::initializer_list<const char*> lines;  // "%SPEED%" stands for the line speed
};

// Topics 1..32 (index 0 unused). The first line of each topic is the one the shop's
// operators know; the lines after it explain the step.
const HelpTopicText kTopics[33] = {
    {"", {}},
    {"CONNECT",
     {"Connect Dalvora 7700 and PC with the delivered serial cable.",
      "",
      "Check the following before you press DONE:",
      "  The 7700 is switched on and shows its main screen.",
      "  The cable sits on the RS-232 socket of the 7700 and on the",
      "  serial port (or USB-serial adapter) of the PC.",
      "  Baudrate should be set to %SPEED% baud.",
      "  The 7700 uses 8 data bits, no parity, 1 stop bit and X-On/X-Off.",
      "",
      "If the 7700 is not found, switch it off and on again, wait until",
      "it has started, and press DONE once more."}},
    {"SEARCH FOR 7700 IN PROGRESS",
     {"Search for a connected 7700 in progress.",
      "",
      "CELVIO tries every serial port of the PC in turn.",
      "Each port takes a few seconds; please wait.",
      "Do not switch the 7700 off during the search."}},
    {"SELECT TESTMODE",
     {"Click TEST to start testing a mobile phone.",
      "",
      "Click SCAN to search for channels used by real networks near",
      "the shop. Do this after installing the station and whenever",
      "tests fail on one channel only.",
      "Click SWAP to exchange a faulty phone for a new one."}},
    {"CLUB ZAVAR NUMBER",
     {"Enter the CLUB ZAVAR NUMBER.",
      "",
      "The number is printed on the customer's club card.",
      "Leave the field empty when the customer has no card.",
      "Click OK to go on."}},
    {"SELECT BAND",
     {"Select GSM band according to the mobile phone you want to test.",
      "",
      "GSM: a phone for the 900 MHz band (850 MHz on American stations).",
      "PCN: a phone for the 1800 MHz band only.",
      "PCS: a phone for the 1900 MHz band only.",
      "GSM,PCN and GSM,PCS: a dual-band phone; both bands are tested.",
      "The band is printed on the label under the phone's battery."}},
    {"INITIALIZE 7700",
     {"7700 Initialisation in progress.",
      "",
      "The 7700 is set up as a base station for the selected band.",
      "This takes a few seconds. Do not touch the phone yet."}},
    {"NETWORK SEARCH",
     {"Place the phone into the UNIVERSAL ANTENNA COUPLER.",
      "",
      "Insert the customer's SIM card or the test SIM card.",
      "Switch the phone on and enter the PIN if it asks for one.",
      "The phone now searches the network of the 7700 (001 01)",
      "and registers with it. The bar shows the time that is left.",
      "If the phone shows no network, switch it off and on again."}},
    {"KEYPAD TEST",
     {"Please dial the number as instructed.",
      "",
      "Let the customer dial the number shown on the screen",
      "and press the call key of the phone.",
      "Every key of the number is checked. A wrong digit means a",
      "key of the phone does not work properly."}},
    {"TRANSMITTER TEST",
     {"Transmitter test active.",
      "",
      "The 7700 measures the output power, the phase and frequency",
      "error and the burst of the phone on three channels.",
      "Leave the phone in the coupler and do not touch it.",
      "Values out of limits are measured again before they count."}},
    {"BS CALL",
     {"Call from base station active.",
      "",
      "The 7700 calls the phone. When the phone rings,",
      "answer the call with the phone's call key.",
      "Leave the phone in the coupler."}},
    {"RECEIVER TEST",
     {"Receiver test active.",
      "",
      "The phone reports the level and the quality of the signal",
      "it receives from the 7700. Do not touch the phone."}},
    {"AUDIO TEST",
     {"Audio test checks microphone and loudspeaker.",
      "",
      "Hold the phone to your ear and speak into its microphone.",
      "The 7700 sends your voice back: you hear your own echo.",
      "Click YES when you hear the echo clearly, NO when you do not."}},
    {"DUALBAND TEST",
     {"Dualband test active.",
      "",
      "The call is handed over to the second band of the phone,",
      "and the transmitter and receiver are measured there too.",
      "Leave the phone in the coupler and do not touch it."}},
    {"TESTRESULT OVERVIEW",
     {"Presents the test result.",
      "",
      "Test Passed!: the phone works within all limits.",
      "Test Failed!: a value was out of limits or a key did not work.",
      "Test Aborted!: a basic function such as the call failed.",
      "Click NEW TEST to test the next phone."}},
    {"TESTRESULT ",
     {"Summary of the different performed tests.",
      "",
      "DETAILS shows the measured values against their limits.",
      "PRINT prints the test report for the customer.",
      "Red values were out of limits; values marked ! passed when",
      "they were measured again."}},
    {"SCAN TYPE",
     {"Choose kind of scan.",
      "",
      "ONE SCAN scans every channel of the band once and stops.",
      "CONTINUOUS scans again and again until you click STOP;",
      "use it to find networks that are on the air only at times."}},
    {"SCAN TYPE",
     {"SEARCH MORE performs a scan over all channels, which are",
      "not yet in the list of blocked channels, and adds what it finds.",
      "",
      "CLEAR + SEARCH starts from an empty list; the old list is kept",
      "as BADCHAN.OLD."}},
    {"SCAN active",
     {"Scan routine is active. If you interrupt it now,",
      "the channels found so far are kept in the list.",
      "",
      "A full scan of a band takes several minutes.",
      "Leave the reference phone in the coupler during the scan.",
      "The main window shows the channel that is measured now."}},
    {"SWAP",
     {"Press SWAP if you want to exchange the faulty phone",
      "for a new one of the same type.",
      "",
      "Press DON'T SWAP to record the failed test without an exchange.",
      "You can add a comment about the fault before you go on."}},
    {"NO HELP AVAILABLE", {}},
    {"ZAVAR SERVICE POINT ID",
     {"Enter your service point ID and company name, phone number,",
      "address and the name of the person who tests.",
      "",
      "The service point ID has two capital letters and three digits (AB123),",
      "or three digits, an underscore and six digits (123_123456).",
      "The data is printed on every swap report and kept in swap.dat."}},
    {"IMEI NOT FOUND",
     {"Please enter the IMEI number of the mobile phone.",
      "",
      "The IMEI has 15 digits. It is printed under the battery,",
      "or the phone shows it when you dial *#06#.",
      "Blanks, dashes, slashes and dots may be typed; they are removed."}},
    {"SCAN FINISHED",
     {"Scan program finished.",
      "",
      "The window Scan Results lists the blocked channels;",
      "the channels found by this scan follow NEW.",
      "Click PRINT to print the list, OK to close the window."}},
    {"SCAN INTERRUPTED",
     {"Scan program interrupted or aborted.",
      "",
      "The channels found until then are kept in the list.",
      "Start a new scan with SEARCH MORE to go on from there.",
      "A scan ends by itself when the interference is too high:",
      "move the coupler away from strong transmitters."}},
    {"NETWORK SEARCH FAILED",
     {"Unable to register the mobile.",
      "",
      "Check that the phone is switched on and has a SIM card.",
      "Check that the selected band suits the phone.",
      "Click YES to try again, NO to end the test."}},
    {"FAILURE",
     {"Unable to establish a connection to the phone.",
      "",
      "The phone did not register, did not call or did not answer",
      "within the time allowed. Check the SIM card and the battery",
      "and test the phone again before you offer an exchange."}},
    {"INSTRUCTION",
     {"Please follow the given instruction.",
      "",
      "The picture shows where the phone lies in the coupler for this",
      "model. Place it exactly so and click DONE."}},
    {"UNKNOWN IMEI",
     {"Unable to read IMEI of the phone.",
      "",
      "The phone did not report its IMEI to the 7700.",
      "Read the IMEI from the label under the battery, or dial *#06#,",
      "and enter it when CELVIO asks for it."}},
    {"MS CALL",
     {"Please dial 123 on the phone.",
      "",
      "Dial 123 on the new phone and press its call key.",
      "CELVIO reads the IMEI of the new phone during the call."}},
    {"IDENTICAL IMEI",
     {"The new phone has the same IMEI as the defective one.",
      "",
      "Take the defective phone out of the coupler and place the",
      "new phone there. Then switch the new phone on."}},
    {"DIFFERENT MODEL",
     {"The new phone model seems different from the defective phone.",
      "",
      "A phone is exchanged for one of the same type only.",
      "Check the model of the new phone, or confirm the exchange",
      "when the model name differs only in its version."}},
    {"SELECT BAND",
     {"Select the GSM band which you want to scan.",
      "",
      "Scan every band that the shop's phones use.",
      "The reference phone must support the selected band."}},
};

// The topics that end with how to stop the test or leave the program, and those of
// them that have two empty lines before it.
bool HasStopEnding(int topic)
{
    switch (topic) {
    case 9: case 10: case 11: case 12: case 13: case 18: case 28: case 29: case 30: case 31: return true;
    default: return false;
    }
}

bool HasDoubleGapBeforeStopEnding(int topic)
{
    return topic == 10 || topic >= 28;
}

const char* const kLegalNotices[] = {
    "CELVIO 2.02 for ZAVAR service points.",
    "The measurements of CELVIO check a phone at the counter; they do",
    "not replace a type approval or a repair shop's calibrated test.",
    "Results, swap records and reports are kept on this PC only.",
    "Keep the customer's data as the law of your country requires.",
    "All product names are trademarks of their owners.",
};

}  // namespace

QString HelpTitle(int topic)
{
    if (topic < 1 || topic > 32)
        return QStringLiteral("NO HELP AVAILABLE");
    return QString::fromLatin1(kTopics[topic].title);
}

QStringList HelpLines(int topic, const QString& speedText)
{
    QStringList lines{QString()};
    if (topic >= 1 && topic <= 32) {
        for (const char* line : kTopics[topic].lines)
            lines << QString::fromLatin1(line).replace(QLatin1String("%SPEED%"), speedText);
        if (HasStopEnding(topic)) {
            lines << QString();
            if (HasDoubleGapBeforeStopEnding(topic))
                lines << QString();
            lines << QStringLiteral("Click on the STOP symbol to stop the test.")
                  << QStringLiteral("Click on the ESC button to exit the CELVIO program.");
        }
    }
    lines << QString() << QString() << QString();
    for (const char* notice : kLegalNotices)
        lines << QString::fromLatin1(notice);
    return lines;
}

void ShowHelp(App& app)
{
    Form2& help = app.Form2;
    // The help table is numbered by topic.
    const int topic = int(app.st.HelpTopic);
    help.Title = HelpTitle(topic);
    help.List1 = HelpLines(topic, TesterSpeedText(app));
    help.Visible = true;
}

}  // namespace celvio
