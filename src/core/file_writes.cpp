// The writes of the file layer: whole files through a temporary file, new files under
// a name claimed without replacing anything, appends of whole lines, and the lock of a
// folder whose files are rewritten. Every one of them refuses a name that is a
// symbolic link, so that nothing is ever written outside the station through one.
#include "core/files.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace celvio {

namespace {

// How long a rewrite waits for another program's rewrite of the same folder, and how
// often it looks again meanwhile.
constexpr int kFolderLockWaitMs = 10000;
constexpr int kFolderLockPollMs = 5;
constexpr int kTemporaryNameAttempts = 100;
constexpr int kAppendAttempts = 10;

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

bool Fail(QString* reason, const QString& why)
{
    if (reason)
        *reason = why;
    return false;
}

QString SystemReason(int error)
{
    return qt_error_string(error);
}

QString Refused()
{
    return QStringLiteral("the disk refused the data");
}

QString ReadOnly()
{
    return QStringLiteral("Read-only file system");
}

// True when the test seam `fault` (null: none) makes the disk read-only.
bool ReadOnlyFault(const FileWriteFault* fault)
{
    return fault != nullptr && fault->readOnly;
}

// Writes all of `bytes` at `offset`; false on a short or failed write. A `fault` that
// counts bytes down fails the write where its count runs out.
bool WriteAll(int fd, qint64 offset, const QByteArray& bytes, QString* reason, FileWriteFault* fault)
{
    const bool counted = fault != nullptr && fault->bytesBeforeFailure >= 0;
    qint64 done = 0;
    while (done < bytes.size()) {
        qint64 chunk = bytes.size() - done;
        bool injected = false;
        if (counted && chunk > fault->bytesBeforeFailure) {
            chunk = fault->bytesBeforeFailure;
            injected = true;
        }
        if (chunk > 0) {
            const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(chunk), off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return Fail(reason, SystemReason(errno));
            if (n == 0)
                return Fail(reason, Refused());
            done += n;
            if (counted)
                fault->bytesBeforeFailure -= n;
        }
        if (injected)
            return Fail(reason, Refused());  // the disk is full
    }
    return true;
}

// Flushes the system's cache of the file to the disk.
bool SyncToDisk(int fd, QString* reason, const FileWriteFault* fault)
{
    if (fault != nullptr && fault->failSync)
        return Fail(reason, Refused());
    if (::fsync(fd) != 0)
        return Fail(reason, SystemReason(errno));
    return true;
}

enum class ClaimOutcome { Claimed, Taken, Failed };

// A file written under a temporary name beside its final one ("<name>.XXXXXX"), synced
// to disk before it takes a final name. It is removed again unless it got one.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile()
    {
        if (!temp_.isEmpty())
            ::unlink(Native(temp_).constData());
    }

    // Writes `bytes` into a new temporary file named after `finalPath`; `mode` (-1: the
    // umask's) is given to it first.
    bool Write(const QString& finalPath, const QByteArray& bytes, int mode, QString* reason, FileWriteFault* fault)
    {
        const int fd = Create(finalPath, reason);
        if (fd < 0)
            return false;
        bool ok = mode < 0 || ::fchmod(fd, mode_t(mode)) == 0 || Fail(reason, SystemReason(errno));
        ok = ok && WriteAll(fd, 0, bytes, reason, fault) && SyncToDisk(fd, reason, fault);
        if (::close(fd) != 0 && ok)
            ok = Fail(reason, SystemReason(errno));
        return ok;
    }

    // Renames the file over `path`; a link planted there meanwhile is refused.
    bool Replace(const QString& path, QString* reason)
    {
        if (IsSymLink(path))
            return Fail(reason, SymLinkRefusal());
        if (::rename(Native(temp_).constData(), Native(path).constData()) != 0)
            return Fail(reason, SystemReason(errno));
        temp_.clear();
        return true;
    }

    // Gives the file the name `path` only while nothing has that name: in one step where
    // the file system can, otherwise through a hard link, which fails on a taken name too.
    ClaimOutcome Claim(const QString& path, QString* reason)
    {
        const QByteArray from = Native(temp_);
        const QByteArray to = Native(path);
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
            temp_.clear();
            return ClaimOutcome::Claimed;
        }
        if (errno == EEXIST)
            return ClaimOutcome::Taken;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            Fail(reason, SystemReason(errno));
            return ClaimOutcome::Failed;
        }
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            temp_.clear();
            return ClaimOutcome::Claimed;
        }
        if (errno == EEXIST)
            return ClaimOutcome::Taken;
        Fail(reason, SystemReason(errno));
        return ClaimOutcome::Failed;
    }

private:
    // Creates "<finalPath>.XXXXXX" under a name that nothing had, never through a link.
    int Create(const QString& finalPath, QString* reason)
    {
        static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        QRandomGenerator* random = QRandomGenerator::system();  // differs in forked processes too
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            QString suffix;
            for (int i = 0; i < 6; ++i)
                suffix += QLatin1Char(kLetters[random->bounded(int(sizeof kLetters) - 1)]);
            // A digit tells the start-up's clean-up that the name is no word of the operator's.
            suffix[random->bounded(6)] = QLatin1Char(char('0' + random->bounded(10)));
            const QString temp = finalPath + QLatin1Char('.') + suffix;
            const int fd = ::open(Native(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0) {
                temp_ = temp;
                return fd;
            }
            if (errno != EEXIST) {
                Fail(reason, SystemReason(errno));
                return -1;
            }
        }
        Fail(reason, QStringLiteral("no free temporary name"));
        return -1;
    }

    QString temp_;
};

// Appends to the open file `fd` of `size` bytes, held under its lock.
bool AppendLocked(int fd, qint64 size, QByteArray bytes, bool endLastLine, QString* reason, FileWriteFault* fault)
{
    if (endLastLine && size > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, off_t(size - 1)) == 1 && last != '\n')
            bytes.prepend(last == '\r' ? "\n" : "\r\n");  // cut between CR and LF: LF ends it
    }
    if (WriteAll(fd, size, bytes, reason, fault) && SyncToDisk(fd, reason, fault))
        return true;
    // Nothing of a failed append stays: the file gets its old length back.
    if (::ftruncate(fd, off_t(size)) == 0)
        ::fsync(fd);
    return false;
}

// Opens `name` for an append, creating it when missing; `created` says it was.
int OpenForAppend(const QByteArray& name, bool& created)
{
    created = false;
    const int fd = ::open(name.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    const int made = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    created = made >= 0;
    return made;
}

bool Append(const QString& path, const QByteArray& bytes, bool endLastLine, QString* reason, FileWriteFault* fault)
{
    if (ReadOnlyFault(fault))
        return Fail(reason, ReadOnly());
    const QByteArray name = Native(path);
    for (int attempt = 0; attempt < kAppendAttempts; ++attempt) {
        bool created = false;
        const int fd = OpenForAppend(name, created);
        if (fd < 0 && errno == EEXIST)
            continue;  // made by another program a moment ago
        if (fd < 0)
            return Fail(reason, errno == ELOOP ? SymLinkRefusal() : SystemReason(errno));
        // Appends to one file take turns. A file removed or replaced while this one
        // waited is opened again, so that no line goes into a file that is gone.
        ::flock(fd, LOCK_EX);
        struct stat held {}, named {};
        if (::fstat(fd, &held) != 0 || ::lstat(name.constData(), &named) != 0 || held.st_ino != named.st_ino ||
            held.st_dev != named.st_dev) {
            ::close(fd);
            continue;
        }
        if (!S_ISREG(held.st_mode)) {
            ::close(fd);
            return Fail(reason, QStringLiteral("not a plain file"));
        }
        const bool ok = AppendLocked(fd, qint64(held.st_size), bytes, endLastLine, reason, fault);
        if (!ok && created)
            ::unlink(name.constData());  // still under the lock: no other line went in
        ::close(fd);
        return ok;
    }
    return Fail(reason, QStringLiteral("the file kept changing"));
}

}  // namespace

bool IsSymLink(const QString& path)
{
    struct stat buf {};
    return ::lstat(Native(path).constData(), &buf) == 0 && S_ISLNK(buf.st_mode);
}

bool NameInUse(const QString& path)
{
    struct stat buf {};
    return ::lstat(Native(path).constData(), &buf) == 0;
}

QString SymLinkRefusal()
{
    return QStringLiteral("the name is a symbolic link; no file is written through a link");
}

bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* reason, FileWriteFault* fault)
{
    if (ReadOnlyFault(fault))
        return Fail(reason, ReadOnly());
    struct stat old {};
    const bool existed = ::lstat(Native(path).constData(), &old) == 0;
    if (existed && S_ISLNK(old.st_mode))
        return Fail(reason, SymLinkRefusal());
    if (existed && S_ISDIR(old.st_mode))
        return Fail(reason, SystemReason(EISDIR));
    // The new version keeps the old one's permissions; a new file gets the umask's.
    PendingFile file;
    return file.Write(path, bytes, existed ? int(old.st_mode & 07777) : -1, reason, fault) && file.Replace(path, reason);
}

QString WriteNewFile(const QString& folder, const std::function<QString(int)>& nameAt, const QByteArray& bytes,
                     QString* reason, QStringList* links, FileWriteFault* fault)
{
    if (ReadOnlyFault(fault)) {
        Fail(reason, ReadOnly());
        return QString();
    }
    PendingFile file;
    bool written = false;
    for (int n = 0;; ++n) {
        const QString name = nameAt(n);
        if (name.isEmpty()) {
            Fail(reason, QStringLiteral("every name for the file is taken"));
            return QString();
        }
        // The name as it exists in any spelling; a link there counts as taken.
        const QString path = ResolvePath(folder, name);
        if (IsSymLink(path) && links != nullptr)
            links->append(path);
        if (NameInUse(path))
            continue;
        if (!written && !file.Write(path, bytes, -1, reason, fault))
            return QString();
        written = true;
        switch (file.Claim(path, reason)) {
        case ClaimOutcome::Claimed:
            return path;
        case ClaimOutcome::Taken:
            // Created by another program since the look: the next name.
            if (IsSymLink(path) && links != nullptr)
                links->append(path);
            continue;
        case ClaimOutcome::Failed:
            return QString();
        }
    }
}

bool AppendFile(const QString& path, const QByteArray& bytes, QString* reason, FileWriteFault* fault)
{
    return Append(path, bytes, false, reason, fault);
}

bool AppendLine(const QString& path, const QByteArray& line, QString* reason, FileWriteFault* fault)
{
    return Append(path, line + "\r\n", true, reason, fault);
}

bool AppendLines(const QString& path, const QByteArray& lines, QString* reason, FileWriteFault* fault)
{
    return Append(path, lines, true, reason, fault);
}

FolderLock::FolderLock(const QString& folder)
{
    fd_ = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        reason_ = SystemReason(errno);
        return;
    }
    for (int waited = 0;; waited += kFolderLockPollMs) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            locked_ = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            locked_ = true;  // a file system without locks: used as before, unlocked
            return;
        }
        if (waited >= kFolderLockWaitMs) {
            reason_ = QStringLiteral("another program kept the folder locked");
            return;
        }
        const timespec pause{0, long(kFolderLockPollMs) * 1000000L};
        ::nanosleep(&pause, nullptr);
    }
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

}  // namespace celvio
