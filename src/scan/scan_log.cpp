#include "scan/scan_log.h"

#include "core/app.h"
#include "core/files.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"

namespace celvio {

namespace {

const QString kLogFile = QStringLiteral("scan.log");

// Moves on to the start of the next print zone and writes `item` there.
void NextZone(QString& line, const QString& item)
{
    const qsizetype zoneStart = (line.size() / kScanLogZone + 1) * kScanLogZone;
    line = line.leftJustified(zoneStart, QLatin1Char(' ')) + item;
}

void AppendLogLine(App& app, const QString& line)
{
    const QString path = StationPath(app, kLogFile);
    const QByteArray bytes = ToLatin1(line + kCrLf);
    // One retry covers a file that was busy for a moment (a viewer, a virus scanner).
    // The log is never truncated to get rid of a problem: it holds every earlier scan.
    // A line cut off by a crash is ended first, so the new one stands on its own.
    QString reason;
    FileWriteFault* fault = &app.FileSeams.Fault;
    if (AppendLines(path, bytes, &reason, fault) || AppendLines(path, bytes, &reason, fault))
        return;
    TraceLine(app, QStringLiteral("scan.log could not be written: ") + line);
    if (app.st.ScanLogReported == kTrue)
        return;
    app.st.ScanLogReported = kTrue;
    const QString where = kCrLf + path + kCrLf + reason + kCrLf;
    app.ui.MsgBox(Tr(app, QT_TRANSLATE_NOOP("Celvio", "File scan.log cannot be written.")) + where +
                      Tr(app, QT_TRANSLATE_NOOP("Celvio", "The scan goes on, the list BADCHAN.DAT is saved.")),
                  msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("scan.log"));
}

}  // namespace

void ScanLog(App& app, const QString& line)
{
    AppendLogLine(app, line);
}

QString ScanLogNumber(int value)
{
    return Str(qint64(value)) + QLatin1Char(' ');
}

QString ScanMeasurementLine(const QDateTime& when, const QLocale& locale, int channel, int quality, int level)
{
    QString line = DateText(when.date(), locale);
    NextZone(line, TimeText(when.time()));
    NextZone(line, QStringLiteral("Chn:") + ScanLogNumber(channel));
    NextZone(line, QStringLiteral("RXQ") + ScanLogNumber(quality));
    NextZone(line, QStringLiteral("RXLev") + ScanLogNumber(level));
    return line;
}

void ScanLogMeasurement(App& app, int channel, int quality, int level)
{
    AppendLogLine(app, ScanMeasurementLine(app.ui.Now(), app.ui.Locale(), channel, quality, level));
}

QString ElapsedScanTime(const QDateTime& start, const QDateTime& now)
{
    // Whole seconds of the day at both ends, and the days in between: a scan that
    // runs past midnight (a continuous scan may run for days) keeps counting.
    const qint64 startSecond = start.time().msecsSinceStartOfDay() / 1000;
    const qint64 nowSecond = now.time().msecsSinceStartOfDay() / 1000;
    qint64 seconds = start.date().daysTo(now.date()) * 86400 + nowSecond - startSecond;
    if (seconds < 0)  // the clock was set back
        seconds = 0;
    auto two = [](qint64 v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); };
    return two(seconds / 3600) + QLatin1Char(':') + two(seconds / 60 % 60) + QLatin1Char(':') + two(seconds % 60);
}

QString ElapsedScanTime(App& app)
{
    return ElapsedScanTime(app.st.ScanStartTime, app.ui.Now());
}

}  // namespace celvio
