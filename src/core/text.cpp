#include "core/text.h"

#include <QTime>

namespace celvio {

QString Str(qint64 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString NumberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

QString NumberText(float value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(double(value), 'g', 7);
}

QString Str(float value)
{
    const QString text = NumberText(value);
    return value < 0 ? text : QLatin1Char(' ') + text;
}

QString Str(double value)
{
    const QString text = NumberText(value);
    return value < 0 ? text : QLatin1Char(' ') + text;
}

QString TimeText(const QTime& time)
{
    return time.toString(QStringLiteral("hh:mm:ss"));
}

}  // namespace celvio
