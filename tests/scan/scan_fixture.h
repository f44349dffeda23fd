// SCAN cycles through the real Main, in virtual time, with the tester simulator and
// the scripted operator: what the screens showed while the scan ran and when it
// ended, the files it left and the command lines it sent.
#pragma once

#include "sim/tester.h"
#include "support/station_fixture.h"

#include <QSet>
#include <QStringList>

namespace celvio::testing {

inline const QString kListFile = QStringLiteral("BADCHAN.DAT");

// BADCHAN.DAT as the program writes it: the list in double quotes, CR LF.
inline QByteArray ListBytes(const QString& channels)
{
    return "\"" + channels.toLatin1() + "\"\r\n";
}

// The channels first, first + step, ... last, without those in `skip`.
inline QList<int> Range(int first, int last, int step = 1, const QList<int>& skip = {})
{
    QList<int> r;
    for (int c = first; c <= last; c += step)
        if (!skip.contains(c))
            r << c;
    return r;
}

// What the main window and the scan results window showed when "&Done" came up.
struct AtDone {
    bool seen = false;
    QString status;   // Label4
    QString closing;  // Label3
    QString scanWith; // Label5
    bool resultsVisible = false;
    int resultsLeft = 0, resultsTop = 0;
    QStringList results;  // ScanFrm.List1
    int helpTopic = 0;
    bool progressVisible = true;
    bool stopEnabled = true;
    Flag writesList = 0;
};

class ScanTest : public StationFixture {
protected:
    // Settings of a typical shop, a model database that knows the reference phone and
    // tracing on. `changes` are settings lines ("\n" between them) that replace the
    // line of the same key or are added.
    void WriteStation(const QString& changes = QString());

    // The simulator with a reference phone of the scenario (exact levels, quiet free
    // channels), the port question answered with COM1.
    void Start(const QString& scenario = QString());

    // One SCAN cycle: the mode, the two scan questions and the band button.
    void Scan(const char* band, const char* mode = "&One Scan", const char* list = "&Search more");

    // Follows the scan until "&Done" shows, noting the labels on the way, then presses it.
    void Done();

    // Notes the labels, the status and the progress bar while a scan runs.
    void Observe(const App& a);

    // STOP, confirmed, once the scan label shows `label`.
    void StopAt(const QString& label);

    // Runs Main to the end of the script.
    void Run();

    // The lines of scan.log, without their CR LF.
    QStringList ScanLogLines() const;
    // Each line of `actual` matches its line of `expected`, where "<D>" stands for
    // `scanDate` ("<D14>" for it filling a print zone of 14), "<T>" for any time of day
    // and "<E>" for any elapsed time.
    void ExpectLines(const QStringList& actual, const QStringList& expected) const;
    // The channels for which "ARFC" was sent on `band`, in order.
    QList<int> ChannelsSent(const QString& band = QStringLiteral("GSM")) const;
    // The command lines from the first line equal to `from`, `count` of them.
    QStringList LinesFrom(const QString& from, int count, int occurrence = 1) const;

    std::shared_ptr<sim::Tester> tester;
    AtDone done;
    QList<AtDone> dones;
    QSet<QString> labels;    // every caption of Label3 while the scan ran
    QSet<QString> statuses;  // every caption of Label4 while the scan ran
    int highestProgress = -1;
    int progressMax = -1;
    // The date the lines of scan.log carry: the day of the virtual clock, day first as
    // the scripted platform's "C" locale orders it.
    QString scanDate = QStringLiteral("07.12.2026");
};

}  // namespace celvio::testing
