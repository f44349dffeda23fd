#include "pty_link.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

PtyLink::~PtyLink()
{
    removeLink();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

bool PtyLink::open(const QString& linkPath, QString* error)
{
    // openpty with the system's default settings: a zeroed termios would
    // leave the XON/XOFF characters at 0 and break flow control.
    if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
        *error = systemError("openpty");
        return false;
    }
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0) {
        *error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&tio); // a fresh terminal echoes until it is raw
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0) {
        *error = systemError("tcsetattr");
        return false;
    }
    // Our own slave descriptor stays open: without it the master reports
    // hang-ups while no client has the port open.
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    slavePath_ = QString::fromLocal8Bit(::ttyname(slave_));

    const QByteArray link = linkPath.toLocal8Bit();
    struct stat st {};
    if (::lstat(link.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(linkPath);
            return false;
        }
        if (::unlink(link.constData()) != 0) {
            *error = systemError("unlink");
            return false;
        }
    }
    if (::symlink(slavePath_.toLocal8Bit().constData(), link.constData()) != 0) {
        *error = systemError("symlink");
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

void PtyLink::removeLink()
{
    if (linkPath_.isEmpty())
        return;
    const QByteArray link = linkPath_.toLocal8Bit();
    char target[4096];
    const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
    if (n > 0 && QString::fromLocal8Bit(target, n) == slavePath_)
        ::unlink(link.constData());
    linkPath_.clear();
}

int PtyLink::unreadByClient() const
{
    int waiting = 0;
    if (slave_ < 0 || ::ioctl(slave_, FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

}  // namespace sim
