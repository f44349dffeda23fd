// The model database "MPN.DAT": the list of blocks offered in the unknown-phone dialog
// and the load of a block, from the database's bytes.
//
// Input: the first line names the block to load (empty: the first block the dialog
// offers); its first character also picks the coupler (its code modulo 4); the rest
// is MPN.DAT.
//
// Checks: a block the dialog offers is found again by the load; every attenuation
// loaded is a real path value (finite, at most 100 dB), also through the channel
// lookup; the record holds only known band bits.
#include "fuzz_support.h"

#include "core/line_reader.h"
#include "core/model_record.h"
#include "models/model_database.h"
#include "models/tac_lookup.h"

#include <cmath>

using namespace celvio;
using celvio::fuzz::Check;

namespace {

const char* const kCouplers[] = {"(K530)", "(K580)", "(K580SB)", ""};

void CheckValue(float value, const QString& input)
{
    Check(std::isfinite(value) && std::fabs(value) <= 100, "an attenuation is a real path value",
          QString::number(value) + QStringLiteral("\n") + input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    App& app = fuzz::FreshApp();
    const QString input = fuzz::Text(data, size);
    const QByteArray bytes = fuzz::Bytes(data, size);
    const qsizetype lf = bytes.indexOf('\n');
    const QString blockLine = QString::fromLatin1(lf < 0 ? bytes : bytes.left(lf)).trimmed();
    const QByteArray database = lf < 0 ? QByteArray() : bytes.mid(lf + 1);
    app.st.CouplerLabel = QString::fromLatin1(kCouplers[size > 0 ? data[0] % 4 : 3]);

    LfLineReader reader;
    reader.OpenBytes(database);
    fuzz::Quiet().form5Choice = 0;
    const QString offered = ChooseModelFrom(app, &reader);
    const QString block = blockLine.isEmpty() ? offered : blockLine;

    LoadModelDataFromBytes(app, &database, block);
    if (blockLine.isEmpty() && !offered.isEmpty()) {
        for (const QString& warning : app.Model.DataWarnings)
            Check(!warning.startsWith(QLatin1String("Block [")), "a block the dialog offers is found by the load",
                  offered + QStringLiteral("\n") + input);
    }
    for (const auto& bands : {app.Model.Rx, app.Model.Tx}) {
        for (const auto& parts : bands) {
            for (const float value : parts)
                CheckValue(value, input);
        }
    }
    Check(app.Model.BandMask <= 255, "the band mask holds known bands only", input);
    for (const qint16 channel : {qint16(1), qint16(130), qint16(300), qint16(512), qint16(700), qint16(810),
                                 qint16(970), qint16(1023), qint16(1024), qint16(-5)}) {
        for (const char* system : {"GSM", "PCN", "PCS"}) {
            float rx = 0.5f;
            float tx = 0.5f;
            AttenuationForChannel(app, channel, QString::fromLatin1(system), rx, tx);
            CheckValue(rx, input);
            CheckValue(tx, input);
        }
    }
    return 0;
}
