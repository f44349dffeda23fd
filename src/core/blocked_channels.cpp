#include "core/blocked_channels.h"

#include "core/app.h"
#include "core/files.h"
#include "core/text.h"
#include "core/trace.h"

#include <QDir>
#include <QFile>

namespace celvio {

namespace {

const QString kListFile = QStringLiteral("BADCHAN.DAT");

}  // namespace

QString BlockedChannelEntry(int channel)
{
    return QLatin1Char(' ') + QString::number(channel) + QLatin1Char(',');
}

bool ReadBlockedChannelFile(App& app, QString& text)
{
    text.clear();
    if (!FileExists(app, kListFile))
        return true;
    QByteArray bytes;
    if (!ReadFileBytes(StationPath(app, kListFile), bytes))
        return false;
    text = BlockedChannelTextOf(bytes);
    return true;
}

QString BlockedChannelTextOf(const QByteArray& bytes)
{
    const QStringList lines = SplitTextLines(bytes);
    if (lines.isEmpty())
        return QString();
    const QString& first = lines.first();
    const qsizetype open = first.indexOf(QLatin1Char('"'));
    if (open < 0)
        return first;
    const qsizetype close = first.indexOf(QLatin1Char('"'), open + 1);
    return first.mid(open + 1, close < 0 ? -1 : close - open - 1);
}

QByteArray BlockedChannelFileBytes(const QString& text)
{
    // The list is written between double quotes, so it cannot hold one itself.
    QString inside = text;
    inside.remove(QLatin1Char('"'));
    return ToLatin1(QLatin1Char('"') + inside + QLatin1Char('"') + kCrLf);
}

void SaveBlockedChannels(App& app, int channel)
{
    StationState& st = app.st;
    if (channel > 0)
        st.BlockedChannels += BlockedChannelEntry(channel);
    if (channel <= 0 && st.ScanWritesList != kTrue)
        return;
    const QByteArray bytes = BlockedChannelFileBytes(st.BlockedChannels);
    const QString path = StationPath(app, kListFile);
    QString reason;
    if (!WriteFileAtomic(path, bytes, &reason, &app.FileSeams.Fault))
        ReportFileNotWritten(app, kListFile, path, reason);
}

void ClearBlockedChannels(App& app)
{
    // "badchan.old" and "BADCHAN.OLD" are one file to the operator: remove every
    // spelling, so the rename below finds its place free.
    QDir dir(app.StationDir);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.compare(QLatin1String("BADCHAN.OLD"), Qt::CaseInsensitive) == 0)
            dir.remove(name);
    }
    if (FileExists(app, kListFile))
        QFile::rename(StationPath(app, kListFile), dir.filePath(QStringLiteral("badchan.old")));
}

}  // namespace celvio
