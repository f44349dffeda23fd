// One pass of the channel scan: the channel ranges of a band and the checks of its
// test channels. While a call to the reference phone is up, the tester moves the
// traffic channel from channel to channel, turns its own signal down to -110 dBm and
// reads the level the phone still hears there; a level at or above SCANSENS means a
// real network uses the channel, which is then blocked.
#pragma once

#include <QString>

namespace celvio {

struct App;

// The result of a range, a test-channel check or a whole pass.
enum ScanResult : int {
    kScanGoOn = 0,          // go on with the next stage
    kScanAborted = 1,       // the operator pressed STOP
    kScanInterrupted = 2,   // a level of 255: high interference
    kScanCompleted = 3,     // a test channel is blocked, or a single scan ended
    kScanTesterFault = 4,   // the tester did not answer, or its answer made no sense
};

// Level and quality of a "MEAS:CALL:RX?" answer: the numbers before and after the
// first comma, each a whole number (a decimal one is rounded). False for an answer
// without a comma or with a field that is not a number (such as "NAN"): a value the
// scan must not take for a level.
bool ParseChannelReport(const QString& answer, int& level, int& quality);

// Scans channels first, first+step, ... up to last on the band named by the first
// three letters of `system` ("GSM", "PCN", "PCS"); channels already blocked are
// skipped without a tester command. Returns a ScanResult (0, 1, 2 or 4).
int ScanRange(App& app, int first, int last, int step, const QString& system);

// Re-reads the settings (keeping BlockedChannels), so that the band's test channels
// move off the channels just found, then checks them SCANTEST times (at least once)
// on `band`. The channels are references to the settings fields, so they are read
// after the re-read. Returns the first result that is not 0, else 0.
int CheckTestChannels(App& app, const QString& band, const qint16& bcch, const qint16& tch1, const qint16& tch2,
                      const qint16& tch3);

// One test channel: 3 when it is blocked already (without a tester command), else
// the channel is measured as in a range; returns 0, 1, 2 or 4.
int CheckTestChannel(App& app, const QString& band, int channel);

// One pass over every band of SystemCode (GSM 850 when GSMSYSTEM is 14): the ranges,
// then the test channels. Each stage runs only while the ones before returned 0.
int ScanPass(App& app);

}  // namespace celvio
