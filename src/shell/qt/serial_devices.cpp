#include "shell/qt/serial_devices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace celvio {

namespace {

constexpr char kByIdFolder[] = "/dev/serial/by-id";

QString Target(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString UserName()
{
    const passwd* user = ::getpwuid(::getuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QStringLiteral("OPERATOR");
}

// The COM number that names the device: one given by name wins over the default.
QString PortOf(const PortNames& names, const QString& target)
{
    for (const bool named : {true, false}) {
        for (int n = 1; n <= kHighestPortNumber; ++n) {
            const bool byName = names.Source(n) != QLatin1String("default");
            if (byName == named && Target(names.Device(n)) == target)
                return QStringLiteral("COM%1").arg(n);
        }
    }
    return QString();
}

SerialDeviceRow Row(const QString& path, const QSerialPortInfo* info)
{
    SerialDeviceRow row;
    row.path = path;
    row.target = Target(path);
    if (info) {
        row.description = info->description();
        row.manufacturer = info->manufacturer();
        row.serialNumber = info->serialNumber();
    } else if (row.target.startsWith(QLatin1String("/dev/pts/"))) {
        row.description = QStringLiteral("pseudo-terminal");
    }
    row.openProblem = DeviceOpenProblem(path);
    return row;
}

}  // namespace

QString DeviceOpenProblem(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    if (::access(local.constData(), R_OK | W_OK) == 0)
        return QString();
    const int error = errno;
    if (error == ENOENT)
        return QStringLiteral("the device does not exist");
    if (error != EACCES)
        return QString::fromLocal8Bit(std::strerror(error));
    struct stat info {};
    const bool known = ::stat(local.constData(), &info) == 0;
    const group* owner = known ? ::getgrgid(info.st_gid) : nullptr;
    // A device of the group root is for root alone: no group to join would help.
    if (known && info.st_gid == 0)
        return QStringLiteral("no permission: only root may open it (serial ports of the tester belong to "
                              "the group dialout)");
    const QString group = owner ? QString::fromLocal8Bit(owner->gr_name) : QStringLiteral("dialout");
    return QStringLiteral("no permission: the device belongs to group %1, which this user is not in "
                          "(adduser %2 %1, then log in again)")
        .arg(group, UserName());
}

QList<SerialDeviceRow> ListSerialDeviceRows(const PortNames& names)
{
    QHash<QString, QSerialPortInfo> system;
    QStringList systemOrder;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString target = Target(info.systemLocation());
        system.insert(target, info);
        systemOrder << target;
    }
    systemOrder.sort();
    QList<SerialDeviceRow> rows;
    QSet<QString> seen;
    const auto add = [&](const QString& path, const QString& target) {
        const auto it = system.constFind(target);
        rows << Row(path, it == system.constEnd() ? nullptr : &*it);
        seen.insert(target);
    };
    const QDir byId(QString::fromLatin1(kByIdFolder));
    for (const QFileInfo& link : byId.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString target = Target(link.absoluteFilePath());
        if (!seen.contains(target))
            add(link.absoluteFilePath(), target);
    }
    for (const QString& target : systemOrder) {
        if (!seen.contains(target))
            add(system.value(target).systemLocation(), target);
    }
    for (int n = 1; n <= kHighestPortNumber; ++n) {
        const QString source = names.Source(n);
        const QString target = Target(names.Device(n));
        if (source == QLatin1String("default") || seen.contains(target))
            continue;
        add(names.Device(n), target);
        rows.last().namedBy = source;
    }
    for (SerialDeviceRow& row : rows)
        row.port = PortOf(names, row.target);
    return rows;
}

QList<SerialDeviceInfo> ToDeviceInfos(const QList<SerialDeviceRow>& rows)
{
    QList<SerialDeviceInfo> infos;
    for (const SerialDeviceRow& row : rows) {
        QStringList words;
        if (row.target != row.path)
            words << row.target;
        if (!row.description.isEmpty())
            words << row.description;
        if (!row.port.isEmpty())
            words << QStringLiteral("now %1").arg(row.port);
        if (!row.openProblem.isEmpty())
            words << row.openProblem;
        infos << SerialDeviceInfo{row.path, words.join(QStringLiteral(", "))};
    }
    return infos;
}

}  // namespace celvio
