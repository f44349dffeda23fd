// CELVIO as built under the language settings of a plain install and of a shop: one
// TEST cycle of a phone tested 28 times before, typed by an operator on the remote
// screen. The result file gets the date-and-time name of digits, its date line is in
// digits, and celvio-history, under the same setting, files the test under the day in
// the file after a restore has changed the file's time.
#include "e2e_support.h"

#include <QDate>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

const QByteArray kSettings =
    "LANGUAGE    EN\r\nSEARCHCOM   0\r\nDIALNO      0123\r\nTOSEARCH    6\r\nTOBSCALL    6\r\nTOMSCALL    6\r\n"
    "LOCBSPLEV   -60\r\nGSMBCCH     30\r\nGSMTCH1     20\r\nGSMTCH2     62\r\nGSMTCH3     100\r\n"
    "GSMBSPLEV   -60\r\nPCNBCCH     700\r\nPCNTCH1     512\r\nPCNTCH2     698\r\nPCNTCH3     884\r\n"
    "PCNBSPLEV   -60\r\nPCNATT      2.5\r\nMSPOWLEV1   5\r\nMSPOWLEV2   10\r\nMSPOWLEV3   15\r\n"
    "MSPOWLEV4   0\r\nMSPOWLEV5   5\r\nMSPOWLEV6   10\r\nRFLEVEL     2\r\nPHASERMS    5\r\n"
    "PHASEPEAK   20\r\nFREQUENCY   90\r\nFREQ1x00    180\r\nBURSTLEN    1\r\nRXLEV       3\r\nRXQUAL      2\r\n";

const Step kSteps[] = {
    {"title Setup Serial Port", '1', true},
    {"title Select mode", 't', true},
    {"status Select the system to be tested:", kKeyReturn, true},
    {"title Audio Test", 'y', true},
    {"title Test Passed!", 'n', true},
    {"title Select mode", kKeyEscape, false},
    {"box CELVIO: Do you really want to quit the program?", 'y', false},
};

// The environment of a program started under `lang` alone.
QProcessEnvironment UnderLanguage(QProcessEnvironment env, const char* lang)
{
    for (const QString& name : env.keys())
        if (name.startsWith(QLatin1String("LC_")) || name == QLatin1String("LANGUAGE"))
            env.remove(name);
    env.insert(QStringLiteral("LANG"), QLatin1String(lang));
    return env;
}

struct LocaleRun {
    const char* lang;
    bool monthFirst;
};
void PrintTo(const LocaleRun& r, std::ostream* os)
{
    *os << r.lang;
}

class LocaleCycle : public ::testing::TestWithParam<LocaleRun> {};

TEST_P(LocaleCycle, DateInDigitsNamesTheFileAndIsReadBack)
{
    if (!HaveRemoteScreen())
        GTEST_SKIP() << "Qt's vnc platform plugin is not installed";
    const LocaleRun run = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString station = dir.filePath(QStringLiteral("station"));
    const QString results = station + QStringLiteral("/RESULTS/351234");
    ASSERT_TRUE(QDir().mkpath(results));
    WriteFile(station + QStringLiteral("/CELVIO.INI"), kSettings);
    WriteFile(station + QStringLiteral("/TAC6N.DAT"), "-7,MPN.DAT\r\n351234,Orvane Q7\r\n-9,STD\r\n");
    WriteFile(station + QStringLiteral("/MPN.DAT"),
              "[STD]\r\n[Orvane Q7]\r\nBANDS=900,1800\r\n(K530)\r\nRX900=1.5,2.5,3.5\r\nTX900=2,3,4\r\n"
              "RX1800=4.25,5,6\r\nTX1800=4.5,5.5,6.5\r\n");
    WriteFile(station + QStringLiteral("/BADCHAN.DAT"), "\" 5,\"\r\n");
    // The phone's 28 earlier tests: the plain name, "A" to "Z" and "[".
    WriteFile(results + QStringLiteral("/0123457.TXT"), "earlier\r\n");
    for (char c = 'A'; c <= '['; ++c)
        WriteFile(results + QStringLiteral("/0123457") + QLatin1Char(c) + QStringLiteral(".TXT"), "earlier\r\n");

    const QString link = dir.filePath(QStringLiteral("com1"));
    QProcess sim;
    ChildGuard simGuard{sim};
    ASSERT_TRUE(StartTesterSim(sim, link, dir.filePath(QStringLiteral("tester.log")),
                               {"--set", "phone.registration=0.5", "--set", "phone.dial=0.5", "--set",
                                "phone.answer=0.5", "--set", "phone.bands=GSM,PCN", "--set", "tester.reset_ms=100"}));
    const QString shownLog = dir.filePath(QStringLiteral("shown.log"));
    const int screenPort = FreeTcpPort();
    ASSERT_GT(screenPort, 0);
    QProcessEnvironment env = UnderLanguage(RemoteScreenEnvironment(dir.path(), 1, link, screenPort), run.lang);
    env.insert(QStringLiteral("CELVIO_SHOWN_LOG"), shownLog);
    QProcess celvio;
    ChildGuard celvioGuard{celvio};
    const QDate before = QDate::currentDate();
    ASSERT_TRUE(StartProgram(celvio, QStringLiteral(CELVIO_PROGRAM_PATH), {QStringLiteral("--station"), station}, env));
    RemoteKeyboard keyboard;
    ASSERT_TRUE(keyboard.Connect(screenPort, 10000));

    // The first line at or after `from` of what was shown (without its time stamp)
    // that starts with `text`; -1 when none.
    auto find = [&shownLog](const QString& text, qsizetype from) -> qsizetype {
        const QStringList lines = FileText(shownLog).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (qsizetype i = from; i < lines.size(); ++i)
            if (lines[i].mid(13).startsWith(text))
                return i;
        return -1;
    };
    qsizetype at = 0;
    for (size_t s = 0; s < std::size(kSteps); ++s) {
        qsizetype found = -1;
        const QString text = QString::fromLatin1(kSteps[s].shown);
        ASSERT_TRUE(WaitFor([&] { return (found = find(text, at)) >= 0; }, 45000))
            << "step " << s << ": " << qPrintable(text) << "\n" << qPrintable(FileText(shownLog));
        at = found + 1;
        QThread::msleep(100);  // the screen takes the key once it has drawn itself
        ASSERT_TRUE(keyboard.Press(kSteps[s].key));
        if (kSteps[s].retry) {
            const QString next = QString::fromLatin1(kSteps[s + 1].shown);
            auto shownOrPressedAgain = [&] {
                return WaitFor([&] { return find(next, at) >= 0; }, 1500) || !keyboard.Press(kSteps[s].key);
            };
            WaitFor(shownOrPressedAgain, 15000);
        }
    }
    ASSERT_TRUE(celvio.waitForFinished(20000));
    EXPECT_EQ(celvio.exitCode(), 0);
    const QDate after = QDate::currentDate();

    // The 29th file: day and month (in the region's order), hour and minute, in digits.
    const QStringList named =
        QDir(results).entryList(QDir::Files).filter(QRegularExpression(QStringLiteral("^\\d{8}\\.TXT$")));
    ASSERT_EQ(named.size(), 1) << qPrintable(QDir(results).entryList().join(QLatin1Char(' ')));
    const QString name = named[0];
    const QStringList lines = FileText(results + QLatin1Char('/') + name).split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 2);
    const QRegularExpression dateLine(
        run.monthFirst ? QStringLiteral("^Date: (\\d\\d)/(\\d\\d)/(\\d{4}) {12}Time: (\\d\\d):(\\d\\d):\\d\\d$")
                       : QStringLiteral("^Date: (\\d\\d)\\.(\\d\\d)\\.(\\d{4}) {12}Time: (\\d\\d):(\\d\\d):\\d\\d$"));
    const QRegularExpressionMatch m = dateLine.match(lines[1]);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(lines[1]);
    const int day = (run.monthFirst ? m.captured(2) : m.captured(1)).toInt();
    const int month = (run.monthFirst ? m.captured(1) : m.captured(2)).toInt();
    const QDate written(m.captured(3).toInt(), month, day);
    EXPECT_TRUE(written == before || written == after) << qPrintable(lines[1]);
    EXPECT_EQ(name, m.captured(1) + m.captured(2) + m.captured(4) + m.captured(5) + QStringLiteral(".TXT"));

    // Restored onto another machine (no index yet) with a new file time, one nearer
    // the other reading of day and month where there is one: celvio-history, under
    // the same setting, keeps the test's day.
    const QDate otherReading(written.year(), written.day(), written.month());
    const QDate restored = otherReading.isValid() && otherReading != written ? otherReading.addDays(30)
                                                                              : written.addYears(1);
    QFile file(results + QLatin1Char('/') + name);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(restored, QTime(9, 0)), QFileDevice::FileModificationTime));
    file.close();
    for (const char* index : {"HISTORY.DB", "HISTORY.DB-wal", "HISTORY.DB-shm"})
        QFile::remove(station + QLatin1Char('/') + QLatin1String(index));
    QProcess history;
    history.setProcessEnvironment(UnderLanguage(QProcessEnvironment::systemEnvironment(), run.lang));
    history.start(QStringLiteral(CELVIO_HISTORY_PATH),
                  {QStringLiteral("--station"), station, QStringLiteral("find"), QStringLiteral("351234560123457"),
                   QStringLiteral("--json")});
    ASSERT_TRUE(history.waitForFinished(30000));
    EXPECT_EQ(history.exitCode(), 0) << history.readAllStandardError().toStdString();
    const QJsonArray tests = QJsonDocument::fromJson(history.readAllStandardOutput()).object().value("tests").toArray();
    ASSERT_EQ(tests.size(), 1);
    EXPECT_TRUE(tests[0].toObject().value("file").toString().endsWith(name));
    EXPECT_EQ(tests[0].toObject().value("date").toString().toStdString(),
              written.toString(Qt::ISODate).toStdString());
}

// A plain install's setting, a day-first and a month-first shop.
INSTANTIATE_TEST_SUITE_P(Languages, LocaleCycle,
                         ::testing::Values(LocaleRun{"C.UTF-8", false}, LocaleRun{"de_DE.UTF-8", false},
                                           LocaleRun{"en_US.UTF-8", true}),
                         [](const ::testing::TestParamInfo<LocaleRun>& info) {
                             return QString::fromLatin1(info.param.lang)
                                 .remove(QRegularExpression(QStringLiteral("\\W")))
                                 .toStdString();
                         });

}  // namespace
}  // namespace celvio::testing
