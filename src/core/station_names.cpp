#include "core/station_names.h"

#include "core/trace.h"

#include <QStringList>

namespace celvio {

bool IsInsideStation(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return false;
    const QString slashed = QString(trimmed).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (slashed.startsWith(QLatin1Char('/')))
        return false;
    // A drive letter: "C:" or "C:/...".
    if (slashed.size() >= 2 && slashed[1] == QLatin1Char(':') && slashed[0].isLetter())
        return false;
    for (const QString& part : slashed.split(QLatin1Char('/'))) {
        if (part.trimmed() == QLatin1String(".."))
            return false;
    }
    return true;
}

bool AcceptStationName(App& app, const QString& name, const QString& what)
{
    if (IsInsideStation(name))
        return true;
    TraceLine(app, what + QStringLiteral(" >") + name + QStringLiteral("< refused: outside the station directory."));
    return false;
}

}  // namespace celvio
