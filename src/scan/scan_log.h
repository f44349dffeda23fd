// The scan log "scan.log" in the station directory: the scan's text lines and one
// line per interfered channel, appended run after run; and the scan's clock.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace celvio {

struct App;

// The width of one print zone of a measurement line.
inline constexpr int kScanLogZone = 14;

// Appends one text line (CR LF added) to "scan.log", creating the file if needed.
// A log that cannot be written is traced and reported to the operator once per scan;
// the scan goes on.
void ScanLog(App& app, const QString& line);

// Appends the line of an interfered channel: date, time, "Chn:", "RXQ" and "RXLev"
// with their numbers, each item at the start of a zone of 14 characters.
void ScanLogMeasurement(App& app, int channel, int quality, int level);

// The measurement line without its line end, for the date and time given; the date
// in digits (DateText), day or month first as `locale` orders them.
QString ScanMeasurementLine(const QDateTime& when, const QLocale& locale, int channel, int quality, int level);

// A number as the log writes it: the sign's place (a blank when not negative), the
// digits and a blank: 17 -> " 17 ", -5 -> "-5 ".
QString ScanLogNumber(int value);

// The time from `start` to `now` as "hh:mm:ss"; the hours keep counting past 99.
// Across midnight (or several) the day change is counted, so the time stays right.
QString ElapsedScanTime(const QDateTime& start, const QDateTime& now);

// The time since the start of the current scan (ScanStartTime).
QString ElapsedScanTime(App& app);

}  // namespace celvio
