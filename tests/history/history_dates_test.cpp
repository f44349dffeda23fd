// Dates in every locale: the dates the program writes (in the file, the pages and the
// name a phone's 29th result file gets) are digits in fixed columns, and the history
// files each test under the day written in its file, also after a copy or a restore
// has changed the file's time.
#include "cycle/main.h"
#include "history/history_query.h"
#include "history_fixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlQuery>

namespace celvio::testing {
namespace {

const QDateTime kRestored(QDate(2027, 3, 15), QTime(11, 0));

// The day and time the index holds for each result file, "name date time", by name.
QStringList IndexedDays(HistoryIndex& index)
{
    QStringList rows;
    QSqlQuery q(index.Database());
    EXPECT_TRUE(q.exec(QStringLiteral(
        "SELECT f.name, t.date, t.time FROM tests t JOIN files f ON f.id = t.file_id ORDER BY f.name")));
    while (q.next())
        rows << q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString() + QLatin1Char(' ') +
                    q.value(2).toString();
    return rows;
}

class HistoryDatesTest : public HistoryFixture {};

TEST_F(HistoryDatesTest, EveryWrittenDateIsReadBackAfterTheFilesTimeChanged)
{
    // A test of 8 December 2026 as each machine wrote it: this program in any locale,
    // day or month first, and before it the short formats of C, de_DE and en_US.
    const struct {
        const char* name;
        const char* date;
        const char* dayFirst;    // the day filed under by a reader whose region puts the day first
        const char* monthFirst;  // ... the month first
    } files[] = {
        {"0000001.TXT", "08.12.2026", "2026-12-08", "2026-12-08"},
        {"0000002.TXT", "12/08/2026", "2026-08-12", "2026-12-08"},
        {"0000003.TXT", "8 Dec 2026", "2026-12-08", "2026-12-08"},
        {"0000004.TXT", "08.12.26", "2026-12-08", "2026-12-08"},
        {"0000005.TXT", "12/8/26", "2026-08-12", "2026-12-08"},
    };
    for (const auto& f : files) {
        QByteArray bytes = HandWritten(kPassedGsmFile);
        bytes.replace("Date: 12/7/26 Time: 10:04:09",
                      "Date: " + QByteArray(f.date).leftJustified(22, ' ') + "Time: 14:35:02");
        // A restore months later: the file's time no longer says the test's day.
        Put(QStringLiteral("RESULTS/351234/") + QLatin1String(f.name), bytes, kRestored);
    }
    for (const DateOrder order : {DateOrder::DayFirst, DateOrder::MonthFirst}) {
        HistoryIndex index(dir.path());
        index.SetDateOrder(order);
        ASSERT_TRUE(index.Rebuild());
        QStringList expected;
        for (const auto& f : files)
            expected << QLatin1String(f.name) + QLatin1Char(' ') +
                            QLatin1String(order == DateOrder::DayFirst ? f.dayFirst : f.monthFirst) +
                            QStringLiteral(" 14:35:02");
        EXPECT_EQ(IndexedDays(index), expected);
    }
}

struct LocaleCase {
    const char* locale;
    const char* dateLine;  // line 2 of the result file
    const char* page;      // the date on the result pages
    const char* name;      // of the phone's 29th result file
};
void PrintTo(const LocaleCase& c, std::ostream* os)
{
    *os << c.locale;
}

class DatedCycleTest : public StationFixture, public ::testing::WithParamInterface<LocaleCase> {
protected:
    // A station whose phone has been tested 28 times: the plain name, "A" to "Z" and "[".
    void StationWithTwentyEightTests()
    {
        WriteStationFile(QStringLiteral("CELVIO.INI"),
                         QStringLiteral("LANGUAGE    ENGLISH\nDIALNO      0123\nSEARCHCOM   0\nTOSEARCH    60\n") +
                             QLatin1String(kCycleStation));
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900,1800,1900\n"));
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 5,\"\n"));
        WriteStationFile(QStringLiteral("DEBUGPM.INI"), QString());
        WriteStationBytes(QStringLiteral("Zoredudi.BMP"), "BM");
        ASSERT_TRUE(QDir().mkpath(StationFile(QStringLiteral("RESULTS/351234"))));
        QStringList names{QStringLiteral("0123457")};
        for (char c = 'A'; c <= '['; ++c)
            names << QStringLiteral("0123457") + QLatin1Char(c);
        ASSERT_EQ(names.size(), 28);
        for (const QString& name : names)
            WriteStationBytes(QStringLiteral("RESULTS/351234/") + name + QStringLiteral(".TXT"), "earlier test\r\n");
    }
};

TEST_P(DatedCycleTest, ResultFileNameAndHistoryCarryTheDateInDigits)
{
    const LocaleCase c = GetParam();
    platform.SetLocale(QLocale(QLatin1String(c.locale)));
    StationWithTwentyEightTests();
    AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n"
                                      "fault.tx_power_offset = 6\nfault.tx_power_attempts = 1,2\n"));
    platform.Press(QStringLiteral("COM&1"));
    // The mode is chosen at 14:35 on 7 December: day and month both 12 or less.
    platform.Await(
        [this](const App& a) {
            if (!(a.Form1.Command2.Visible && a.Form1.Command2.Caption == QLatin1String("&Test")))
                return false;
            platform.SetDateTime(QDateTime(QDate(2026, 12, 7), QTime(14, 35, 0)));
            return true;
        },
        QStringLiteral("the mode dialog"));
    platform.Press(QStringLiteral("&Test"));
    platform.Press(QStringLiteral("GSM 900"));
    platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                   QStringLiteral("the echo question"));
    platform.Press(QStringLiteral("&Yes"));
    // The pages as the verdict shows them: the next cycle starts them afresh.
    QString firstPageDate, secondPageDate, firstPageTime;
    platform.Await(
        [&](const App& a) {
            if (a.Form1.Label4.Caption != QLatin1String("Test Failed!"))
                return false;
            firstPageDate = a.Form3.Date.Caption;
            secondPageDate = a.Form4.Date.Caption;
            firstPageTime = a.Form3.Time.Caption;
            return true;
        },
        QStringLiteral("the verdict"));
    platform.Press(QStringLiteral("&New test"));
    platform.Await([](const App& a) { return a.Form1.Command2.Visible && a.Form1.Command2.Caption == "&Test"; },
                   QStringLiteral("the next mode dialog"));
    EXPECT_EQ(RunMain(app), -1);

    EXPECT_EQ(firstPageDate, QLatin1String(c.page));
    EXPECT_EQ(secondPageDate, QLatin1String(c.page));
    EXPECT_EQ(firstPageTime, QStringLiteral("14:35:00"));
    const QString file = QStringLiteral("RESULTS/351234/") + QLatin1String(c.name);
    EXPECT_TRUE(QFileInfo::exists(StationFile(file))) << qPrintable(file);
    const QStringList lines = QString::fromLatin1(ReadStationBytes(file)).split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines[1], QLatin1String(c.dateLine));

    // Copied or restored: the test stays under the day written in its file.
    QFile written(StationFile(file));
    ASSERT_TRUE(written.open(QIODevice::ReadWrite));
    ASSERT_TRUE(written.setFileTime(kRestored, QFileDevice::FileModificationTime));
    written.close();
    HistoryIndex index(app.StationDir);
    index.SetDateOrder(RegionalDateOrder(platform.Locale()));
    ASSERT_TRUE(index.Update(UpdateScope::EveryFile));
    QList<TestRow> tests;
    ASSERT_TRUE(FindTests(index, QStringLiteral("351234560123457"), tests));
    ASSERT_EQ(tests.size(), 1);  // the 28 earlier files are not result files
    EXPECT_EQ(tests[0].File, file);
    EXPECT_EQ(tests[0].Date, QStringLiteral("2026-12-07"));
    EXPECT_EQ(tests[0].Time, QStringLiteral("14:35:00"));
}

// "C" and "C.UTF-8" are a plain install's locales; their short format names the month.
INSTANTIATE_TEST_SUITE_P(
    Locales, DatedCycleTest,
    ::testing::Values(LocaleCase{"C", "Date: 07.12.2026            Time: 14:35:00", "07.12.2026", "07121435.TXT"},
                      LocaleCase{"C.UTF-8", "Date: 07.12.2026            Time: 14:35:00", "07.12.2026",
                                 "07121435.TXT"},
                      LocaleCase{"de_DE", "Date: 07.12.2026            Time: 14:35:00", "07.12.2026",
                                 "07121435.TXT"},
                      LocaleCase{"en_US", "Date: 12/07/2026            Time: 14:35:00", "12/07/2026",
                                 "12071435.TXT"}),
    [](const ::testing::TestParamInfo<LocaleCase>& info) {
        return QString::fromLatin1(info.param.locale).replace(QRegularExpression(QStringLiteral("\\W")), QString())
            .toStdString();
    });

}  // namespace
}  // namespace celvio::testing
