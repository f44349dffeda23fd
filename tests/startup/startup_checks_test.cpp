// The start-up data checks: the order of the fatal checks, the warnings about the
// blocked-channel list, the marker files and the files made writable.
#include "cycle/startup_checks.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kSettingsMissing = u"Unable to read initial settings.\r\nProgram continuation not possible.\r\n"
                                 u"Program will be terminated.\r\n\r\nFolder searched: %1\r\n"
                                 u"A new station folder is made with: celvio --init-station FOLDER"_s;

class StartupChecksTest : public StationFixture {
protected:
    void SetUp() override
    {
        WriteStationFile(u"celvio.ini"_s, u"LANGUAGE    EN\n"_s);  // names in any case
        WriteStationFile(u"Tac6n.dat"_s, u"-9,STD\n"_s);
        WriteStationFile(u"MPN.dat"_s, u"[STD]\n"_s);
        WriteStationFile(u"badchan.DAT"_s, u"\" 17, 3,\"\n"_s);
    }
};

TEST_F(StartupChecksTest, CompleteStationStartsQuietlyAndMarkersSwitchTheTraces)
{
    app.st.ScanDebugMode = kTrue;  // only the marker files count
    StartupChecks(app);
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_EQ(app.st.BlockedChannels, u" 17, 3,"_s);
    EXPECT_EQ(app.st.DebugMode, kFalse);
    EXPECT_EQ(app.st.ScanDebugMode, kFalse);

    WriteStationBytes(u"debugpm.ini"_s, QByteArray());  // empty, in lower case
    WriteStationBytes(u"DEBUGSC.INI"_s, "whatever");
    StartupChecks(app);
    EXPECT_EQ(app.st.DebugMode, kTrue);
    EXPECT_EQ(app.st.ScanDebugMode, kTrue);
}

TEST_F(StartupChecksTest, MissingOrEmptyBlockedListOnlyWarns)
{
    const QString text = u"No information about bad\r\nchannels available.\r\nPlease start SCAN CHANNEL first"_s;
    const QString warning = QString::number(msgbox::kOkOnly | msgbox::kExclamation);
    const std::pair<QByteArray, QString> cases[] = {
        {QByteArray(), u"File 'BADCHAN.DAT' not found. | "_s + text + u" | "_s + warning},
        {"", u"File 'BADCHAN.DAT' empty. | "_s + text + u". | "_s + warning},
        {"\"\"\r\n", u"File 'BADCHAN.DAT' empty. | "_s + text + u". | "_s + warning},
        {"\"5\"\r\n", u"File 'BADCHAN.DAT' empty. | "_s + text + u". | "_s + warning},
        {"\" 5,\"\r\n", QString()},
    };
    for (const auto& [content, box] : cases) {
        QFile::remove(StationFile(u"badchan.DAT"_s));
        if (!content.isNull())
            WriteStationBytes(u"badchan.DAT"_s, content);
        platform.boxes.clear();
        app.st.BlockedChannels.clear();
        StartupChecks(app);
        EXPECT_EQ(Boxes(), box.isEmpty() ? QStringList() : QStringList{box}) << content.constData();
        EXPECT_EQ(app.st.BlockedChannels, box.isEmpty() ? u" 5,"_s : QString());
    }
}

TEST_F(StartupChecksTest, OnlyTheFirstMissingMandatoryFileIsReported)
{
    const QString fatal = QString::number(msgbox::kOkOnly | msgbox::kCritical);
    const std::pair<QStringList, QString> cases[] = {
        {{u"celvio.ini"_s, u"Tac6n.dat"_s, u"MPN.dat"_s}, u"File 'CELVIO.INI' not found. | "_s + kSettingsMissing.arg(QDir::toNativeSeparators(dir.path()))},
        {{u"Tac6n.dat"_s, u"MPN.dat"_s},
         u"File 'TAC6N.DAT' not found. | Mobile phone list not available.\r\nMeasurements accuracy not guaranteed."
         u"\r\nPlease reinstall CELVIO."_s},
        {{u"MPN.dat"_s},
         u"File 'MPN.DAT' not found. | Mobile phone dat not available.\r\nMeasurements accuracy not guaranteed."
         u"\r\nPlease reinstall CELVIO."_s},
    };
    WriteStationBytes(u"DEBUGPM.INI"_s, QByteArray());
    for (const auto& [missing, box] : cases) {
        for (const QString& name : missing)
            QFile::remove(StationFile(name));
        platform.boxes.clear();
        EXPECT_THROW(StartupChecks(app), ProgramEnd);
        EXPECT_EQ(Boxes(), QStringList{box + u" | "_s + fatal});
        EXPECT_EQ(app.st.DebugMode, kFalse);  // ended before the markers were looked at
        SetUp();
    }
}

TEST_F(StartupChecksTest, ReadOnlyListAndSettingsAreMadeWritable)
{
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup;
    for (const QString& name : {u"badchan.DAT"_s, u"celvio.ini"_s, u"MPN.dat"_s})
        ASSERT_TRUE(QFile::setPermissions(StationFile(name), readOnly));
    StartupChecks(app);
    // The owner, group and other bits (not the ones that describe the current user).
    auto bits = [this](const QString& name) { return QFile::permissions(StationFile(name)) & ~QFile::Permissions(0x0700); };
    EXPECT_EQ(bits(u"badchan.DAT"_s), readOnly | QFile::WriteOwner);
    EXPECT_EQ(bits(u"celvio.ini"_s), readOnly | QFile::WriteOwner);
    EXPECT_EQ(bits(u"MPN.dat"_s), readOnly);  // only those two
}

}  // namespace
}  // namespace celvio::testing
