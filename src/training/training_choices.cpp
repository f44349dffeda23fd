#include "training/training_choices.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace celvio {

namespace {

const TrainingChoice kChoices[kTrainingChoiceCount] = {
    {"A good phone", "TEST (GSM 900) passes every step: \"Test Passed!\".", "good-phone.scn"},
    {"A dual-band phone", "TEST with GSM 900/1800 measures both bands and passes: \"Test Passed!\".",
     "dual-band.scn"},
    {"A weak transmitter (fails the power limits)",
     "The TX power cells are marked failed (25 dBm, limits 30 - 36): \"Test Failed!\".", "weak-transmitter.scn"},
    {"A deaf receiver", "The RX level cells are marked failed: \"Test Failed!\".", "deaf-receiver.scn"},
    {"A phone that does not register",
     "\"Network search failed! Retry ?\"; answered No, the cycle ends without a verdict.", "no-registration.scn"},
    {"A call that is never answered",
     "The network's call to the phone is not answered, no audio test: \"Test Aborted!\".", "call-not-answered.scn"},
    {"Wrong digits dialled", "The phone dials 0124 instead of 0123, the digits are marked: \"Test Failed!\".",
     "wrong-digits.scn"},
    {"A phone whose IMEI cannot be read",
     "The test runs under the stand-in IMEI 999999000000006 and passes: \"Test Passed!\".",
     "imei-unreadable.scn"},
    {"A second phone for a swap",
     "SWAP (service point): the new phone 351234569876543 registers and the swap is recorded.", "swap-phone.scn"},
    {"A scan with two busy channels and strong interference",
     "SCAN (GSM 900) blocks the busy channels 3 and 8, then stops at 12: \"Scan interrupted\".", "scan-busy.scn"},
};

}  // namespace

const TrainingChoice& TrainingChoiceAt(int index)
{
    return kChoices[std::clamp(index, 0, kTrainingChoiceCount - 1)];
}

QString TrainingScenarioDirectory(const QString& programDirectory)
{
    const QDir bin(programDirectory);
    const QString installed = bin.filePath(QStringLiteral("../share/celvio/scenarios/training"));
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return QStringLiteral(CELVIO_SOURCE_DIR "/data/scenarios/training");
}

}  // namespace celvio
