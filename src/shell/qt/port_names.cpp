#include "shell/qt/port_names.h"

#include <QFile>

namespace celvio {

bool PortNames::AddOption(const QString& option, QString& problem)
{
    int number = 0;
    QString device;
    if (!ParsePortAssignment(option, number, device)) {
        problem = QStringLiteral("'%1' is not of the form COMn=DEVICE with n from 1 to %2.")
                      .arg(option)
                      .arg(kHighestPortNumber);
        return false;
    }
    options_.insert(number, device);
    return true;
}

void PortNames::ReadPortsFile(const QString& path, QStringList& problems)
{
    QFile file(path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        problems << QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return;
    }
    // A ports file is a few lines; a huge one is read up to a limit, not into memory whole.
    const PortsText text = ReadPortsText(file.read(kMaxPortsFileBytes), path);
    for (auto it = text.devices.begin(); it != text.devices.end(); ++it)
        file_.insert(it.key(), it.value());
    problems << text.problems;
}

void PortNames::Choose(int number, const QString& device)
{
    options_.remove(number);
    file_.insert(number, device);
}

QString PortNames::Device(int number) const
{
    if (options_.contains(number))
        return options_.value(number);
    if (file_.contains(number))
        return file_.value(number);
    const QByteArray env = qgetenv(("CELVIO_COM" + QByteArray::number(number)).constData());
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

QString PortNames::Source(int number) const
{
    if (options_.contains(number))
        return QStringLiteral("option");
    if (file_.contains(number))
        return QStringLiteral("PORTS.INI");
    if (!qgetenv(("CELVIO_COM" + QByteArray::number(number)).constData()).isEmpty())
        return QStringLiteral("CELVIO_COM%1").arg(number);
    return QStringLiteral("default");
}

}  // namespace celvio
