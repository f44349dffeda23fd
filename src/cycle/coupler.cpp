#include "cycle/coupler.h"

#include "core/app.h"
#include "core/files.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "core/trace.h"

#include <QFile>

namespace celvio {

namespace {

const QString kCouplerFile = QStringLiteral("CPLCONN.INI");

// Sets the check mark on entry n (1..4) and clears it on the others. The entries are
// disabled once the coupler is fixed for the run; a click that was still queued then
// changes nothing.
void CheckCoupler(App& app, int n)
{
    Form1& f = app.Form1;
    MenuItem* entries[] = {&f.Mnu_CoupOld, &f.Mnu_CoupNew, &f.Mnu_CoupSBox, &f.Mnu_CoupSBoxK590};
    if (!entries[n - 1]->Enabled)
        return;
    for (int i = 0; i < 4; ++i)
        entries[i]->Checked = i == n - 1;
}

}  // namespace

short ReadCouplerChoice(App& app)
{
    QByteArray bytes;
    if (!FileExists(app, kCouplerFile) || !ReadFileBytes(StationPath(app, kCouplerFile), bytes))
        return 1;
    return CouplerChoiceFromBytes(app, bytes);
}

short CouplerChoiceFromBytes(App& app, const QByteArray& bytes)
{
    const QStringList lines = SplitTextLines(bytes);
    qint16 number = 0;
    if (!lines.isEmpty() && !RoundToInt16(ReadNumber(lines.first()), number))
        TraceLine(app, QStringLiteral("CPLCONN.INI: coupler number out of range: ") + lines.first());
    return number;
}

void SaveCouplerChoice(App& app, short number)
{
    const QString path = StationPath(app, kCouplerFile);
    // A file made read-only keeps its choice: the write fails as it would on any
    // platform that refuses to replace a read-only file.
    if (QFile::exists(path) && !(QFile::permissions(path) & QFile::WriteOwner))
        return;
    QString reason;
    if (!WriteFileAtomic(path, CouplerFileBytes(number), &reason, &app.FileSeams.Fault))
        ReportFileNotWritten(app, kCouplerFile, path, reason);
}

QByteArray CouplerFileBytes(short number)
{
    return ToLatin1(Str(qint64(number)) + kCrLf);
}

void Mnu_CoupOld_Click(App& app) { CheckCoupler(app, 1); }
void Mnu_CoupNew_Click(App& app) { CheckCoupler(app, 2); }
void Mnu_CoupSbox_Click(App& app) { CheckCoupler(app, 3); }
void Mnu_CoupSboxK590_Click(App& app) { CheckCoupler(app, 4); }

}  // namespace celvio
