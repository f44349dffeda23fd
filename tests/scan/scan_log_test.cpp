// The scan log's measurement line, the elapsed scan time and the reading of the
// phone's channel report.
#include "scan/scan_engine.h"
#include "scan/scan_log.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace celvio {
namespace {

TEST(ScanLog, MeasurementLineUsesZonesOf14AndBlanksAroundNumbers)
{
    const QDateTime when(QDate(2026, 12, 7), QTime(9, 5, 7));
    const struct {
        int channel, quality, level;
        const char* line;
    } cases[] = {
        {17, 2, 42, "07.12.2026    09:05:07      Chn: 17       RXQ 2         RXLev 42 "},
        {1023, 7, 255, "07.12.2026    09:05:07      Chn: 1023     RXQ 7         RXLev 255 "},
        {512, 0, -3, "07.12.2026    09:05:07      Chn: 512      RXQ 0         RXLev-3 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanMeasurementLine(when, QLocale::c(), c.channel, c.quality, c.level).toStdString(), c.line);
}

TEST(ScanLog, DateAndTimeStayInTheirZonesInEveryLocale)
{
    // Date and time in digits, each in a zone of its own, whatever the machine's
    // locale; only the order of day and month follows it.
    const QDateTime when(QDate(2026, 3, 5), QTime(17, 4, 9));
    const struct {
        const char* locale;
        const char* line;
    } cases[] = {
        {"C", "05.03.2026    17:04:09      Chn: 17       RXQ 2         RXLev 42 "},
        {"C.UTF-8", "05.03.2026    17:04:09      Chn: 17       RXQ 2         RXLev 42 "},
        {"de_DE", "05.03.2026    17:04:09      Chn: 17       RXQ 2         RXLev 42 "},
        {"en_US", "03/05/2026    17:04:09      Chn: 17       RXQ 2         RXLev 42 "},
        {"ar_EG", "05.03.2026    17:04:09      Chn: 17       RXQ 2         RXLev 42 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanMeasurementLine(when, QLocale(QLatin1String(c.locale)), 17, 2, 42).toStdString(), c.line)
            << c.locale;
}

TEST(ScanLog, ElapsedTimeCountsAcrossMidnight)
{
    const QDate day(2026, 12, 7);
    const struct {
        QDateTime start, now;
        const char* elapsed;
    } cases[] = {
        {QDateTime(day, QTime(10, 0, 0)), QDateTime(day, QTime(10, 0, 0)), "00:00:00"},
        {QDateTime(day, QTime(10, 0, 0)), QDateTime(day, QTime(11, 2, 3, 999)), "01:02:03"},
        {QDateTime(day, QTime(10, 0, 0, 900)), QDateTime(day, QTime(10, 0, 1, 100)), "00:00:01"},
        {QDateTime(day, QTime(23, 59, 50)), QDateTime(day.addDays(1), QTime(0, 0, 15)), "00:00:25"},
        {QDateTime(day, QTime(23, 0, 0)), QDateTime(day.addDays(2), QTime(0, 0, 5)), "25:00:05"},
        {QDateTime(day, QTime(8, 0, 0)), QDateTime(day.addDays(5), QTime(8, 0, 0)), "120:00:00"},
        {QDateTime(day, QTime(10, 0, 0)), QDateTime(day, QTime(9, 0, 0)), "00:00:00"},  // clock set back
    };
    for (const auto& c : cases)
        EXPECT_EQ(ElapsedScanTime(c.start, c.now), QLatin1String(c.elapsed)) << c.now.toString().toStdString();
}

TEST(ScanLog, ChannelReportNeedsTwoNumbers)
{
    const struct {
        const char* answer;
        bool readable;
        int level, quality;
    } cases[] = {
        {"42,2\r\n", true, 42, 2},   {"255,7\r\n", true, 255, 7}, {" 42 , 3 \r\n", true, 42, 3},
        {"-5,0\r\n", true, -5, 0},   {"42.6,2\r\n", true, 43, 2}, {"42,2,9\r\n", true, 42, 2},
        {"0,7\n", true, 0, 7},       {"42\r\n", false, 0, 0},     {"NAN\r\n", false, 0, 0},
        {"NAN,NAN\r\n", false, 0, 0}, {"42,x\r\n", false, 0, 0},  {",3\r\n", false, 0, 0},
        {"\r\n", false, 0, 0},       {"", false, 0, 0},           {"9.91E37,0\r\n", false, 0, 0},
        {"4 2x,1\r\n", false, 0, 0},
    };
    for (const auto& c : cases) {
        int level = -99, quality = -99;
        EXPECT_EQ(ParseChannelReport(QLatin1String(c.answer), level, quality), c.readable) << c.answer;
        if (c.readable) {
            EXPECT_EQ(level, c.level) << c.answer;
            EXPECT_EQ(quality, c.quality) << c.answer;
        }
    }
}

}  // namespace
}  // namespace celvio
