// The settings reader: keys and conversions, the faults it tolerates, and the choice
// of free radio channels around the blocked-channel list.
#include "core/settings.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

class SettingsTest : public StationFixture {
protected:
    void SetUp() override { app.st.DebugMode = kTrue; }
    // "KEY=value" items become settings lines: the key padded to ten columns, two
    // blanks, the value. Other items are lines as they stand.
    void WriteSettings(const QStringList& items)
    {
        QString text;
        for (const QString& item : items) {
            const qsizetype eq = item.indexOf(u'=');
            text += (eq < 0 || item.left(eq).contains(u' ') ? item : item.left(eq).leftJustified(10) + u"  "_s + item.mid(eq + 1)) + u'\n';
        }
        WriteStationFile(u"CELVIO.INI"_s, text);
    }
    bool Traced(const QString& part) const
    {
        return std::any_of(Trace().begin(), Trace().end(), [&](const QString& l) { return l.contains(part); });
    }
};

TEST_F(SettingsTest, LanguageAndDialNumberAloneLeaveEverythingElseAtZero)
{
    WriteSettings({u"LANGUAGE=ENGLISH"_s, u"DIALNO=123 "_s});
    ReadSettings(app);
    const StationState& st = app.st;
    EXPECT_EQ(st.Language, 1);
    EXPECT_EQ(st.DialNumber, u"123"_s);
    EXPECT_EQ(st.TesterSpeed, 2);
    EXPECT_EQ(st.GsmBcch + st.PcsTch[3] + st.MsPowerLevels[6] + st.SearchAllPorts + st.LimitRxQuality, 0);
    EXPECT_TRUE(st.BlockedChannels.isEmpty() && platform.boxes.isEmpty());
}

TEST_F(SettingsTest, EveryKeyReachesItsField)
{
    WriteSettings({u"LEFTMARGIN=7"_s, u"TESTDETAIL=1"_s, u"TESTPRINT=2"_s, u"SWAPFILE=3"_s, u"GSMSYSTEM=14"_s,
                   u"SCANATT=4"_s, u"SCANSENS=5"_s, u"SCANTEST=6"_s, u"TOSEARCH=&H3C"_s, u"TOBSCALL=31"_s,
                   u"TOMSCALL=32"_s, u"MAXIMIZE=1"_s, u"MSPOWLEV1=2.5"_s, u"MSPOWLEV2=3.5"_s, u"MSPOWLEV3=-4"_s,
                   u"MSPOWLEV4=11"_s, u"MSPOWLEV5=12"_s, u"MSPOWLEV6=13"_s, u"LOCBSPLEV=-70"_s, u"GSMBCCH=130"_s,
                   u"GSMTCH1=140"_s, u"GSMTCH2=150"_s, u"GSMTCH3=160"_s, u"GSMBSPLEV=-61"_s, u"GSMATT=0.25"_s,
                   u"PCNBCCH=600"_s, u"PCNTCH1=602"_s, u"PCNTCH2=604"_s, u"PCNTCH3=606"_s, u"PCNBSPLEV=-62"_s,
                   u"PCNATT=1.5"_s, u"PCSBCCH=701"_s, u"PCSTCH1=703"_s, u"PCSTCH2=705"_s, u"PCSTCH3=707"_s,
                   u"PCSBSPLEV=-63"_s, u"PCSATT=2E-1"_s, u"RFLEVEL=3"_s, u"PHASERMS=5"_s, u"PHASEPEAK=20"_s,
                   u"FREQUENCY=90"_s, u"FREQ1x00=180"_s, u"BURSTLEN=2"_s, u"RXLEV=6"_s, u"RXQUAL=7"_s,
                   u"SEARCHCOM=1"_s, u"SHOWLIMITS=-3"_s, u"SHOWRFWAVE=0.0"_s, u"COMSPEED=3"_s});
    ReadSettings(app);
    const StationState& s = app.st;
    const std::pair<double, double> fields[] = {
        {s.LeftMargin, 7},        {s.TestDetail, 1},        {s.TestPrint, 2},         {s.SwapFile, 3},
        {s.GsmSystem, 14},        {s.ScanAttenuation, 4},   {s.ScanSensitivity, 5},   {s.ScanTest, 6},
        {s.SearchTimeout, 60},    {s.BsCallTimeout, 31},    {s.MsCallTimeout, 32},    {s.Maximize, 1},
        {s.MsPowerLevels[1], 2},  {s.MsPowerLevels[2], 4},  {s.MsPowerLevels[3], -4}, {s.MsPowerLevels[4], 11},
        {s.MsPowerLevels[5], 12}, {s.MsPowerLevels[6], 13}, {s.LocateBsLevel, -70},   {s.GsmBcch, 130},
        {s.GsmTch[1], 140},       {s.GsmTch[2], 150},       {s.GsmTch[3], 160},       {s.GsmBsLevel, -61},
        {s.GsmAttenuation, 0.25}, {s.PcnBcch, 600},         {s.PcnTch[1], 602},       {s.PcnTch[2], 604},
        {s.PcnTch[3], 606},       {s.PcnBsLevel, -62},      {s.PcnAttenuation, 1.5},  {s.PcsBcch, 701},
        {s.PcsTch[1], 703},       {s.PcsTch[2], 705},       {s.PcsTch[3], 707},       {s.PcsBsLevel, -63},
        {s.PcsAttenuation, 0.2},  {s.LimitTxPower, 3},      {s.LimitPhaseRms, 5},     {s.LimitPhasePeak, 20},
        {s.LimitFrequency, 90},   {s.LimitFrequencyHigh, 180}, {s.LimitBurstLength, 2}, {s.LimitRxLevel, 6},
        {s.LimitRxQuality, 7}, {s.SearchAllPorts, -1}, {s.ShowLimits, -1},       {s.ShowRfWave, 0},
        {s.TesterSpeed, 3}};
    for (size_t i = 0; i < std::size(fields); ++i)
        EXPECT_DOUBLE_EQ(fields[i].first, fields[i].second) << "field " << i;
    EXPECT_TRUE(platform.boxes.isEmpty() && Trace().isEmpty()) << qPrintable(Trace().join(u'\n'));
}

TEST_F(SettingsTest, KeysAreTenColumnsWithCaseAndTheLastLineWins)
{
    WriteSettings({u"DIALNO    ==555 remark"_s, u"dialno=999 "_s, u"FREQ1X00=77"_s, u"RXLEV 12    5"_s,
                   u"; LANGUAGE  DEUTSCH"_s, u""_s, u"TOSEARCH=10"_s, u"TOSEARCH=20"_s});
    ReadSettings(app);
    EXPECT_EQ(app.st.DialNumber, u"555"_s);  // columns 11 and 12 may hold anything
    EXPECT_EQ(app.st.LimitFrequencyHigh + app.st.LimitRxLevel, 0);
    EXPECT_EQ(app.st.Language, 1);  // no LANGUAGE line: English
    EXPECT_EQ(app.st.SearchTimeout, 20);
}

TEST_F(SettingsTest, LanguageValueSelectsGermanOrEnglish)
{
    const std::pair<const char*, int> cases[] = {{"DEUTSCH", 2}, {"de", 2}, {"  German", 2}, {"GER", 2},
                                                 {"ENGLISH", 1}, {"2", 1},  {"", 1},         {"GE", 1}};
    for (const auto& [value, expected] : cases) {
        WriteSettings({u"LANGUAGE="_s + QString::fromLatin1(value)});
        ReadSettings(app);
        EXPECT_EQ(app.st.Language, expected) << value;
    }
}

TEST_F(SettingsTest, UnusableValuesLeaveTheFieldAsItWasAndAreTraced)
{
    StationState& st = app.st;
    st.LeftMargin = 4, st.TestDetail = 1, st.LimitTxPower = 3, st.GsmAttenuation = 0.5, st.ShowLimits = kTrue;
    st.GsmBcch = 30, st.MsPowerLevels[1] = 99;  // a single-band cycle overwrote it
    WriteSettings({u"RFLEVEL   5"_s, u"LANGUAGE  "_s, u"LEFTMARGIN=256"_s, u"TESTDETAIL=40000"_s,
                   u"GSMATT=1E999"_s, u"SHOWLIMITS=-1E400"_s, u"GSMBCCH=70000"_s, u"MSPOWLEV1=5"_s,
                   u"DIALNO=0800123"_s});
    ReadSettings(app);
    EXPECT_EQ(st.LimitTxPower, 3);
    EXPECT_EQ(st.Language, 1);  // a LANGUAGE line without a value still selects English
    EXPECT_EQ(st.LeftMargin, 4);
    EXPECT_EQ(st.TestDetail, 1);
    EXPECT_EQ(st.GsmAttenuation, 0.5);
    EXPECT_EQ(st.ShowLimits, kTrue);
    EXPECT_EQ(st.GsmBcch, 30);
    EXPECT_EQ(st.MsPowerLevels[1], 5);
    EXPECT_EQ(st.DialNumber, u"0800123"_s);  // no blank after it: to the end of the line
    EXPECT_EQ(st.BlockedChannels, u" 30,"_s);  // the channel kept is reserved like any other
    EXPECT_EQ(platform.boxes.size(), 1);  // the unusable lines, in one message
    for (const QString& line : {u"RFLEVEL without a value, line ignored."_s,
                                u"LEFTMARGIN value out of range, line ignored: 256"_s, u"TESTDETAIL value out of range"_s,
                                u"GSMATT value out of range"_s, u"SHOWLIMITS value out of range"_s,
                                u"GSMBCCH channel out of range, line ignored: 70000"_s,
                                u"DIALNO value without a blank after it"_s})
        EXPECT_TRUE(Traced(u"CELVIO.INI: "_s + line)) << qPrintable(line);
}

TEST_F(SettingsTest, MissingSettingsFileEndsTheProgram)
{
    EXPECT_THROW(ReadSettings(app), ProgramEnd);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].title, u"File 'CELVIO.INI' not found."_s);
}

// ---- channels -----------------------------------------------------------------------

TEST_F(SettingsTest, PickChannelSearchesAroundTheConfiguredChannel)
{
    struct Case {
        const char* line;
        const char* blocked;
        int lowest, highest, expected;
        bool message;
    };
    const Case cases[] = {
        // free as configured; then up first, down, further out: C, C+1, C-1, C+2, C-2
        {"GSMBCCH     30", "", 1, 124, 30, false},            {"GSMBCCH     20", " 20, 21,", 1, 124, 19, false},
        {"GSMBCCH     30", " 30, 31, 29,", 1, 124, 32, false}, {"GSMBCCH     30", " 30, 31, 29, 32,", 1, 124, 28, false},
        {"GSMBCCH     124", " 124,", 1, 124, 123, false},      {"GSMBCCH     1", " 1, 2,", 1, 124, 3, false},
        // the match includes the leading blank: 13 does not block 3
        {"GSMTCH1     3", " 13,", 1, 124, 3, false},           {"GSMTCH1     13", " 3, 113,", 1, 124, 13, false},
        // 1800 even and 1900 odd, in steps of two; GSM 850 also steps by two
        {"PCNBCCH     513", "", 512, 884, 514, false},         {"PCNBCCH     600", " 600, 602,", 512, 884, 598, false},
        {"PCNTCH3     885", "", 512, 884, 884, false},         {"PCSTCH1     600", "", 513, 809, 601, false},
        {"PCSTCH1     809", " 809,", 513, 809, 807, false},    {"GSMBCCH     130", " 130,", 128, 251, 132, false},
        // out of range: moved in when within reach, else the message and the configured value
        {"GSMBCCH     0", "", 1, 124, 1, false},               {"GSMBCCH     125", "", 1, 124, 123, false},
        {"GSMBCCH     500", "", 1, 124, 500, true},            {"GSMBCCH     20", "", 128, 251, 20, true},
        {"PCNBCCH     -1", "", 512, 884, -1, true},
    };
    for (const Case& c : cases) {
        platform.boxes.clear();
        EXPECT_EQ(PickChannel(app, QString::fromLatin1(c.line), QString::fromLatin1(c.blocked), c.lowest, c.highest),
                  c.expected)
            << c.line << " /" << c.blocked;
        EXPECT_EQ(platform.boxes.size(), c.message ? 1 : 0) << c.line << " /" << c.blocked;
    }
}

TEST_F(SettingsTest, NoFreeChannelGivesTheMessageAndTheConfiguredValue)
{
    EXPECT_EQ(PickChannel(app, u"PCNTCH2     513 remark"_s, Channels(512, 884, 2), 512, 884), 513);
    EXPECT_EQ(Boxes(), QStringList{Box(u"ALL CHANNELS USED BY REAL NETWORK"_s,
                                       u"No free channel found for : PCNTCH2   \r\nTest of PCN mobiles not possible.\r\n"
                                       u"Start a new scan (clear+search) or check file 'BADCHAN.DAT'"_s,
                                       msgbox::kOkOnly | msgbox::kExclamation)});
}

TEST_F(SettingsTest, ChannelsReserveEachOtherInFileOrderAndReloadRestoresTheList)
{
    WriteStationFile(u"BADCHAN.DAT"_s, u"\" 29,\"\n"_s);
    WriteSettings({u"GSMBCCH=30"_s, u"GSMTCH1=30"_s, u"GSMTCH2=30"_s, u"PCNBCCH=600"_s, u"PCNTCH1=601"_s});
    app.st.BlockedChannels = u" 29,"_s;
    ReadSettings(app);
    EXPECT_EQ(app.st.GsmTch[1], 31);
    EXPECT_EQ(app.st.GsmTch[2], 32);
    EXPECT_EQ(app.st.BlockedChannels, u" 29, 30, 31, 32, 600, 602,"_s);

    app.st.BlockedChannels = u" 1,"_s;  // whatever is in memory, the file's list comes back
    ReloadSettings(app);
    EXPECT_EQ(app.st.GsmTch[2], 32);
    EXPECT_EQ(app.st.BlockedChannels, u" 29,"_s);
    QFile::remove(StationFile(u"BADCHAN.DAT"_s));
    ReloadSettings(app);
    EXPECT_EQ(app.st.GsmTch[2], 29);
    EXPECT_EQ(app.st.BlockedChannels, u""_s);
}

TEST_F(SettingsTest, TheMessageComesOncePerLineAndReading)
{
    WriteStationFile(u"BADCHAN.DAT"_s, u"\""_s + Channels(1, 124) + u"\"\n"_s);
    WriteSettings({u"GSMBCCH=30"_s, u"GSMTCH1=40"_s, u"PCNBCCH=700"_s});
    ReloadSettings(app);
    EXPECT_EQ(platform.boxes.size(), 2);
    EXPECT_EQ(app.st.GsmBcch + app.st.GsmTch[1], 70);
    ReloadSettings(app);
    EXPECT_EQ(platform.boxes.size(), 4);
}

// GSMSYSTEM 14 moves the low band to 128..251 wherever its line stands, so that the
// first reading and every reload give the same channels.
TEST_F(SettingsTest, GsmSystemAppliesToTheLowBandWhereverItStands)
{
    WriteSettings({u"GSMBCCH=130"_s, u"GSMTCH1=20"_s, u"GSMSYSTEM=14"_s});
    ReadSettings(app);
    EXPECT_EQ(app.st.GsmBcch, 130);
    EXPECT_EQ(app.st.GsmTch[1], 128);  // out of reach of 128..251: the band's nearest end
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(platform.boxes[0].text.contains(u"GSMTCH1"_s));
    WriteSettings({u"GSMBCCH=130"_s, u"GSMSYSTEM=0"_s});
    ReloadSettings(app);
    EXPECT_EQ(app.st.GsmBcch, 124);  // GSM 900 again: moved into 1..124
}

TEST_F(SettingsTest, ShippedSampleSettingsReadCleanly)
{
    for (const QString& name : {u"CELVIO.INI"_s, u"BADCHAN.DAT"_s})
        ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(CELVIO_STATION_DATA)).filePath(name), StationFile(name)));
    ReloadSettings(app);
    const StationState& st = app.st;
    EXPECT_TRUE(platform.boxes.isEmpty() && Trace().isEmpty()) << qPrintable(Trace().join(u'\n'));
    EXPECT_EQ(st.Language, 1);
    EXPECT_EQ(st.DialNumber, u"0123"_s);  // what the simulated customer dials
    EXPECT_EQ(st.SearchAllPorts, kTrue);
    for (qint16 c : {st.GsmBcch, st.GsmTch[1], st.GsmTch[2], st.GsmTch[3]})
        EXPECT_TRUE(c >= 1 && c <= 124) << c;
    for (qint16 c : {st.PcnBcch, st.PcnTch[1], st.PcnTch[2], st.PcnTch[3], st.PcsBcch, st.PcsTch[1], st.PcsTch[2]})
        EXPECT_TRUE(c >= 512 && c <= 884) << c;
    for (int value : {int(st.SearchTimeout), int(st.BsCallTimeout), int(st.MsCallTimeout), st.LimitTxPower,
                      st.LimitPhaseRms, st.LimitPhasePeak, st.LimitFrequency, st.LimitFrequencyHigh,
                      st.LimitBurstLength, st.LimitRxLevel, st.LimitRxQuality})
        EXPECT_GT(value, 0);
    EXPECT_EQ(ReadStationBytes(u"BADCHAN.DAT"_s), "\"\"\r\n");
}

// ---- unusable values ------------------------------------------------------------

TEST_F(SettingsTest, AnyLanguageLineSelectsALanguageAndNoLineMeansEnglish)
{
    const struct {
        const char* line;  // null: no LANGUAGE line
        int language;
    } cases[] = {{"LANGUAGE  EN", 1}, {"LANGUAGE  E", 1},  {"LANGUAGE", 1},     {"LANGUAGE  DE", 2},
                 {"LANGUAGE  DEUTSCH", 2}, {"LANGUAGE==DEUTSCH", 2}, {nullptr, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line ? c.line : "(none)");
        app.st.Language = 0;
        WriteSettings(c.line ? QStringList{QString::fromLatin1(c.line), u"DIALNO=0123 "_s} : QStringList{u"DIALNO=0123 "_s});
        ReadSettings(app);
        EXPECT_EQ(app.st.Language, c.language);
    }
    EXPECT_TRUE(platform.boxes.isEmpty());
    // The README tells the shop the same: a missing line is English, not empty dialogs.
    QFile readme(QStringLiteral(CELVIO_README));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    EXPECT_TRUE(text.contains(u"A settings file without a LANGUAGE line is read as English."_s));
    EXPECT_FALSE(text.contains(u"no texts"_s));
}

// Values that cannot be used: one message lists every such line with what is used
// instead; a channel never leaves its band, a time-out or limit never leaves its
// sane range.
TEST_F(SettingsTest, UnusableValuesAreShownOnceWithWhatIsUsedInstead)
{
    const struct {
        const char* line;
        const char* used;       // as the message shows it
        qint64 StationState::*dummy = nullptr;
    } cases[] = {
        {"GSMBCCH     99999", "1"},          // no earlier channel: the band's nearest end
        {"PCNTCH1     abc", "512"},
        {"PCSBCCH     2000", "809"},
        {"TOSEARCH    abc", "60"},           // 0 s is no time-out: the usual 60 s
        {"TOMSCALL    -5", "60"},
        {"RFLEVEL     2147483647", "3"},     // limits beyond sense
        {"RXLEV       -2147483647", "6"},
        {"BURSTLEN    99999999999", "2"},
        {"RXQUAL      8", "2"},
    };
    QStringList lines;
    for (const auto& c : cases)
        lines << QString::fromLatin1(c.line);
    WriteSettings(lines + QStringList{u"LANGUAGE    ENGLISH"_s});
    ReloadSettings(app);
    const StationState& st = app.st;
    EXPECT_EQ(st.GsmBcch, 1);
    EXPECT_EQ(st.PcnTch[1], 512);
    EXPECT_EQ(st.PcsBcch, 809);
    EXPECT_EQ(st.SearchTimeout, 60);
    EXPECT_EQ(st.MsCallTimeout, 60);
    EXPECT_EQ(st.LimitTxPower, 3);
    EXPECT_EQ(st.LimitRxLevel, 6);
    EXPECT_EQ(st.LimitBurstLength, 2);
    EXPECT_EQ(st.LimitRxQuality, 2);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].title, u"CELVIO.INI"_s);
    QString expected = u"These settings in CELVIO.INI cannot be used:\r\n"_s;
    for (const auto& c : cases)
        expected += QString::fromLatin1(c.line) + u"   ->   used: "_s + QString::fromLatin1(c.used) + u"\r\n"_s;
    expected += u"Please correct the file."_s;
    EXPECT_EQ(platform.boxes[0].text, expected);
    EXPECT_TRUE(Traced(u"CELVIO.INI: not usable: TOSEARCH    abc -> 60"_s));

    // A value kept from an earlier reading stays when it is sane; the message comes at
    // every reading that finds such lines, and not at one that finds none.
    WriteSettings({u"TOSEARCH=45"_s, u"GSMBCCH=30"_s});
    ReloadSettings(app);
    EXPECT_EQ(platform.boxes.size(), 1);
    WriteSettings({u"TOSEARCH=0"_s, u"GSMBCCH=500"_s});
    ReloadSettings(app);
    EXPECT_EQ(st.SearchTimeout, 45);
    EXPECT_EQ(st.GsmBcch, 30);
    ASSERT_EQ(platform.boxes.size(), 2);
    EXPECT_TRUE(platform.boxes[1].text.contains(u"TOSEARCH    0   ->   used: 45"_s));
    EXPECT_TRUE(platform.boxes[1].text.contains(u"GSMBCCH     500   ->   used: 30"_s));
}

}  // namespace
}  // namespace celvio::testing
