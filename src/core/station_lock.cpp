#include "core/station_lock.h"

#include "core/files.h"

#include <QDir>

namespace celvio {

namespace {

const QString kLockName = QStringLiteral("CELVIO.LCK");

}  // namespace

StationLock::StationLock(const QString& stationDir)
    : stationDir_(stationDir), path_(ResolvePath(stationDir, kLockName)), lock_(path_)
{
    // The lock's age says nothing: a program may run for weeks. Only a holder that no
    // longer runs makes it stale.
    lock_.setStaleLockTime(0);
}

bool StationLock::Take(QString& message, QString& note)
{
    const QString shown = QDir::toNativeSeparators(path_);
    if (IsSymLink(path_)) {
        message = QStringLiteral("The lock file of the station is a symbolic link:\r\n") + shown +
                  QStringLiteral("\r\nCELVIO does not start on this station until it is removed.");
        return false;
    }
    if (lock_.tryLock(0))
        return true;
    if (lock_.error() != QLockFile::LockFailedError) {
        note = QStringLiteral("no lock file could be made (") + shown +
               QStringLiteral("); the station is used without one");
        return true;
    }
    qint64 pid = 0;
    QString host;
    QString program;
    lock_.getLockInfo(&pid, &host, &program);
    message = QStringLiteral("Another CELVIO program is working on this station:\r\n") +
              QDir::toNativeSeparators(stationDir_) + QStringLiteral("\r\nIt is process ") + QString::number(pid) +
              QStringLiteral(" (") + program + QStringLiteral(") on host ") + host +
              QStringLiteral(".\r\nOnly one program may work on a station at a time: end that one first, or start "
                             "this one on another station.\r\nLock file: ") +
              shown;
    return false;
}

}  // namespace celvio
