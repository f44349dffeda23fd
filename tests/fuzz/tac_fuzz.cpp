// The walk through the TAC tables (TAC6N.DAT and the tables and user file it names)
// and the load of the model block it ends with, over files held in memory.
//
// Input: the first line is the IMEI; what follows is TAC6N.DAT, up to a line
// "@@NAME" that starts the file NAME (USERTAC.DAT, MPN.DAT, a further table, ...).
//
// Checks: the walk ends (a loop of -1 lines is cut); the model name is at most 64
// characters; a model found has a name and every attenuation loaded is a real path
// value (finite, at most 100 dB); the record holds only known band bits; an
// assignment made in the unknown-phone dialog is appended to USERTAC.DAT as a whole
// line that starts with the TAC.
#include "fuzz_support.h"

#include "core/model_record.h"
#include "models/tac_lookup.h"

#include <cmath>

using namespace celvio;
using celvio::fuzz::Check;

namespace {

void CheckAttenuations(const ModelRecord& m, const QString& input)
{
    for (const auto& bands : {m.Rx, m.Tx}) {
        for (const auto& parts : bands) {
            for (const float value : parts)
                Check(std::isfinite(value) && std::fabs(value) <= 100, "an attenuation is a real path value",
                      QString::number(value) + QStringLiteral("\n") + input);
        }
    }
    Check(m.BandMask <= 255, "the band mask holds known bands only", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    App& app = fuzz::FreshApp();
    app.st.CouplerLabel = QStringLiteral("(K580)");
    const QString input = fuzz::Text(data, size);
    QHash<QString, QByteArray> files;
    QString imei;
    QString current = QStringLiteral("TAC6N.DAT");
    files[current];
    const QByteArray bytes = fuzz::Bytes(data, size);
    qsizetype at = 0;
    bool first = true;
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = bytes.mid(at, end - at);
        at = end;
        if (first) {
            imei = QString::fromLatin1(line).trimmed().left(20);
            first = false;
        } else if (line.startsWith("@@")) {
            current = QString::fromLatin1(line.mid(2)).trimmed().toUpper();
            files[current];
        } else {
            files[current] += line;
        }
    }
    // Half the runs pick the first model in the unknown-phone dialog, which records it.
    fuzz::Quiet().form5Choice = size % 2 == 0 ? 0 : -1;
    const QByteArray userBefore = files.value(QStringLiteral("USERTAC.DAT"));
    const bool found = LookupPhoneModelInTables(app, imei, files);
    Check(app.Model.Name.size() <= 64, "a model name is at most 64 characters", input);
    if (!found)
        Check(app.Model.Name.isEmpty(), "a walk that finds no model leaves no name", input);
    const QByteArray userAfter = files.value(QStringLiteral("USERTAC.DAT"));
    if (userAfter != userBefore) {
        Check(userAfter.startsWith(userBefore) && userAfter.endsWith("\r\n"),
              "an assignment is appended to USERTAC.DAT as a whole line", input);
        const QByteArray added = userAfter.mid(userBefore.size());
        Check(added.contains(imei.left(8).toLatin1() + ','), "the assignment line starts with the TAC", input);
    }
    CheckAttenuations(app.Model, input);
    return 0;
}
