// The folders of the station that the history index reads, and the files of each.
#include "history/index_folders.h"

#include "core/files.h"
#include "history/index_files.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <sys/stat.h>

namespace celvio {
namespace index_folders {

namespace {

// How deep below RESULTS the files lie: RESULTS/<prefix>/, RESULTS/LOG/BACKUP<yy>/.
constexpr int kMaxDepth = 3;

// A record file; "TEMP.IWR" / "TEMP.IME" is the transient copy of a rewrite that a
// crash may leave beside the real file, with the same records: not indexed.
bool IsRecordName(const QString& name)
{
    return (name.endsWith(QLatin1String(".IWR"), Qt::CaseInsensitive) ||
            name.endsWith(QLatin1String(".IME"), Qt::CaseInsensitive)) &&
           name.left(name.size() - 4).compare(QLatin1String("TEMP"), Qt::CaseInsensitive) != 0;
}

void CollectFolders(const QFileInfo& dir, const QString& rel, int depth, QList<Folder>& out)
{
    out.append(Folder{rel, dir});
    // Only RESULTS and RESULTS/LOG hold folders: the folders of the IMEI prefixes
    // (thousands of files each) are not searched for more.
    if (depth >= kMaxDepth || (depth > 0 && dir.fileName().compare(QLatin1String("LOG"), Qt::CaseInsensitive) != 0))
        return;
    const QFileInfoList subdirs =
        QDir(dir.filePath()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& sub : subdirs)
        CollectFolders(sub, rel + QLatin1Char('/') + sub.fileName(), depth + 1, out);
}

}  // namespace

// The modification time in milliseconds since the epoch, straight from stat(): no
// time zone is involved, and a folder of thousands of files is compared in moments.
qint64 MTime(const QString& path)
{
    struct stat buf {};
    if (::stat(QFile::encodeName(path).constData(), &buf) != 0)
        return -1;
    return qint64(buf.st_mtim.tv_sec) * 1000 + buf.st_mtim.tv_nsec / 1000000;
}

qint64 MTime(const QFileInfo& info)
{
    return MTime(info.filePath());
}

// The files of a folder that the index reads. An archive that a crash or a kill broke
// off leaves records in hand-over files until the next start-up or archive finishes
// it: a claim ("<archive>.IN") holds records that the archive file does not, and a
// merged file whose claim is gone ("<archive>.OUT") holds the archive's records and the
// claimed ones, so it stands in for the archive file. Each record is counted once.
// Hand-over files exist only in the archive folders (`archive`).
QStringList IndexedNames(const QStringList& names, bool archive)
{
    // Only an archive folder's names are looked up among the others (a folder of an
    // IMEI prefix holds thousands of result files and nothing to look up).
    QSet<QString> present;
    if (archive) {
        for (const QString& name : names)
            present.insert(name.toUpper());
    }
    const auto mergedWithoutClaim = [&present](const QString& upper) {
        return present.contains(upper + QLatin1String(".OUT")) && !present.contains(upper + QLatin1String(".IN"));
    };
    QStringList indexed;
    for (const QString& name : names) {
        if (IsResultName(name)) {
            indexed.append(name);
            continue;
        }
        const QString upper = name.toUpper();
        if (archive && upper.endsWith(QLatin1String(".IN")) && IsRecordName(upper.chopped(3)))
            indexed.append(name);
        else if (archive && upper.endsWith(QLatin1String(".OUT")) && IsRecordName(upper.chopped(4)) &&
                 mergedWithoutClaim(upper.chopped(4)))
            indexed.append(name);
        else if (IsRecordName(name) && !(archive && mergedWithoutClaim(upper)))
            indexed.append(name);
    }
    return indexed;
}

// The folders of the station's RESULTS, named from the station directory whatever
// path leads to it ("RESULTS/351234" for "arc", "/abs/arc" and "../arc" alike).
QList<Folder> StationFolders(const QString& stationDir)
{
    QList<Folder> folders;
    const QFileInfo results(ResolvePath(stationDir, QStringLiteral("RESULTS")));
    if (results.isDir())
        CollectFolders(results, results.fileName(), 0, folders);
    return folders;
}

}  // namespace index_folders
}  // namespace celvio
