#include "shell/qt/port_names.h"

#include <QFile>
#include <QRegularExpression>

namespace celvio {

bool ParsePortAssignment(const QString& text, int& number, QString& device)
{
    static const QRegularExpression form(QStringLiteral("^\\s*COM(\\d{1,2})\\s*=\\s*(\\S.*?)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    const int n = match.captured(1).toInt();
    if (n < 1 || n > kHighestPortNumber)
        return false;
    number = n;
    device = match.captured(2);
    return true;
}

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
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromLatin1(file.readLine(4096)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        int number = 0;
        QString device;
        if (ParsePortAssignment(line, number, device))
            file_.insert(number, device);
        else
            problems << QStringLiteral("%1, line %2: '%3' is not of the form COMn=DEVICE.")
                            .arg(path)
                            .arg(lineNumber)
                            .arg(line);
    }
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
