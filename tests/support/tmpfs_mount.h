// A small tmpfs mounted for one test, for a real full disk or a read-only station
// directory. Mounting needs the right to (root, as in CI); where it is missing, Mount
// says so and the test falls back to an injected fault or skips.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace celvio::testing {

class TmpfsMount {
public:
    TmpfsMount() = default;
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    ~TmpfsMount()
    {
        if (!path_.isEmpty())
            Run({path_}, QStringLiteral("umount"));
    }

    // Mounts a tmpfs of `size` ("64k", "1m") at the existing folder `path`.
    bool Mount(const QString& path, const QString& size)
    {
        if (!Run({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=") + size,
                  QStringLiteral("tmpfs"), path}))
            return false;
        path_ = path;
        return true;
    }

    // Mounts it again read-only or writable: its files stay as they are.
    bool SetReadOnly(bool readOnly)
    {
        return Run({QStringLiteral("-o"), readOnly ? QStringLiteral("remount,ro") : QStringLiteral("remount,rw"), path_});
    }

private:
    static bool Run(const QStringList& arguments, const QString& program = QStringLiteral("mount"))
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    QString path_;
};

}  // namespace celvio::testing
