#include "core/ports_file.h"

#include "core/files.h"

#include <QRegularExpression>

namespace celvio {

namespace {

const QByteArray kCrLfBytes("\r\n");

bool IsRemark(const QString& line)
{
    return line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'));
}

}  // namespace

bool ParsePortAssignment(const QString& text, int& number, QString& device)
{
    static const QRegularExpression form(QStringLiteral("^\\s*COM(\\d{1,2})\\s*=\\s*(\\S.*?)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption);
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

PortsText ReadPortsText(const QByteArray& bytes, const QString& name)
{
    PortsText text;
    const QStringList lines = SplitTextLines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (IsRemark(line))
            continue;
        int number = 0;
        QString device;
        if (ParsePortAssignment(line, number, device) && PortDeviceProblem(device).isEmpty())
            text.devices.insert(number, device);
        else
            text.problems << QStringLiteral("%1, line %2: '%3' is not of the form COMn=DEVICE.")
                                 .arg(name)
                                 .arg(i + 1)
                                 .arg(line);
    }
    return text;
}

QString PortDeviceProblem(const QString& device)
{
    if (device.isEmpty())
        return QStringLiteral("no device named");
    if (device.trimmed() != device)
        return QStringLiteral("a device name cannot begin or end with a blank");
    for (const QChar c : device) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("a device name cannot hold a control character");
        if (c.unicode() > 0xff)
            return QStringLiteral("a device name must be Latin-1 text");
    }
    return QString();
}

QByteArray WithPortDevice(const QByteArray& bytes, int number, const QString& device)
{
    const QByteArray assignment = "COM" + QByteArray::number(number) + '=' + device.toLatin1();
    QByteArray result;
    bool written = false;
    for (const QString& line : SplitTextLines(bytes)) {
        int n = 0;
        QString old;
        const QString trimmed = line.trimmed();
        if (!IsRemark(trimmed) && ParsePortAssignment(trimmed, n, old) && n == number) {
            if (!written)
                result += assignment + kCrLfBytes;
            written = true;
            continue;
        }
        result += ToLatin1(line) + kCrLfBytes;
    }
    if (!written)
        result += assignment + kCrLfBytes;
    return result;
}

}  // namespace celvio
