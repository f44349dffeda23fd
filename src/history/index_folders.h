// The folders of a station that the history index reads (RESULTS, its IMEI prefixes,
// LOG and its archives), named from the station directory, and the files of each that
// the index holds.
#pragma once

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

namespace celvio {
namespace index_folders {

// A folder below RESULTS (RESULTS itself included), as a station-relative path.
struct Folder {
    QString rel;
    QFileInfo info;
};

// The folders of the station's RESULTS, named from the station directory whatever
// path leads to it ("RESULTS/351234" for "arc", "/abs/arc" and "../arc" alike).
QList<Folder> StationFolders(const QString& stationDir);

// The files of a folder that the index reads: result files and swap records, and in
// an archive folder (`archive`) the hand-over files of an archive broken off.
QStringList IndexedNames(const QStringList& names, bool archive);

// The modification time in milliseconds since the epoch; -1 when there is no such file.
qint64 MTime(const QString& path);
qint64 MTime(const QFileInfo& info);

}  // namespace index_folders
}  // namespace celvio
