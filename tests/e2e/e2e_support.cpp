#include "e2e_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <sys/prctl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace celvio::testing {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << qPrintable(path);
}

bool HaveRemoteScreen()
{
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqvnc.so"));
}

QProcessEnvironment RemoteScreenEnvironment(const QString& scratchDir, int testerCom, const QString& link,
                                            int screenPort)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (int n = 1; n <= 8; ++n)
        env.insert(QStringLiteral("CELVIO_COM%1").arg(n),
                   n == testerCom ? link : scratchDir + QStringLiteral("/no-port-%1").arg(n));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("vnc:size=800x600:port=%1").arg(screenPort));
    const QString suppressions = scratchDir + QStringLiteral("/lsan.supp");
    WriteFile(suppressions, "leak:libqvnc.so\n");
    env.insert(QStringLiteral("LSAN_OPTIONS"), QStringLiteral("suppressions=") + suppressions);
    return env;
}

ChildGuard::~ChildGuard()
{
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(3000);
    }
}

void DieWithParent(QProcess& child)
{
    child.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

QString FileText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}

int FreeTcpPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool StartTesterSim(QProcess& child, const QString& link, const QString& log, const QStringList& more)
{
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    DieWithParent(child);
    child.start(QStringLiteral(CELVIO_TESTERSIM_PATH),
                QStringList{QStringLiteral("--link"), link, QStringLiteral("--log"), log} + more);
    if (!child.waitForStarted(5000))
        return false;
    return WaitFor([&] { return QFileInfo(link).isSymLink(); }, 5000);
}

bool StartProgram(QProcess& child, const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    DieWithParent(child);
    child.start(program, args);
    return child.waitForStarted(5000);
}

RemoteKeyboard::~RemoteKeyboard()
{
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

bool ReadExactly(int fd, char* buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// No SIGPIPE when the program at the other end has gone: the send just fails.
bool WriteAll(int fd, const QByteArray& bytes)
{
    return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

}  // namespace

bool RemoteKeyboard::Connect(int port, int timeoutMs)
{
    const bool connected = WaitFor(
        [&] {
            fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(quint16(port));
            if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                return true;
            ::close(fd_);
            fd_ = -1;
            return false;
        },
        timeoutMs);
    if (!connected)
        return false;
    timeval timeout{5, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    // Protocol 3.3: the server names the security type (1: none), the client asks for
    // a shared session, the server describes its screen and name.
    char version[12];
    char security[4];
    char init[24];
    if (!ReadExactly(fd_, version, sizeof version) || !WriteAll(fd_, "RFB 003.003\n") ||
        !ReadExactly(fd_, security, sizeof security) || security[3] != 1 || !WriteAll(fd_, QByteArray(1, '\1')) ||
        !ReadExactly(fd_, init, sizeof init))
        return false;
    const quint32 nameLength = (quint32(quint8(init[20])) << 24) | (quint32(quint8(init[21])) << 16) |
                               (quint32(quint8(init[22])) << 8) | quint32(quint8(init[23]));
    QByteArray name(int(nameLength), '\0');
    return ReadExactly(fd_, name.data(), nameLength);
}

bool RemoteKeyboard::Press(quint32 keysym)
{
    // Key event: type 4, down flag, two bytes of padding, the keysym.
    auto event = [keysym](bool down) {
        QByteArray bytes(8, '\0');
        bytes[0] = 4;
        bytes[1] = down ? 1 : 0;
        for (int i = 0; i < 4; ++i)
            bytes[4 + i] = char((keysym >> (8 * (3 - i))) & 0xff);
        return bytes;
    };
    return fd_ >= 0 && WriteAll(fd_, event(true)) && WriteAll(fd_, event(false));
}

}  // namespace celvio::testing
