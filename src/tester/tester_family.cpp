#include "tester/tester_family.h"

#include <QRegularExpression>

namespace celvio {

namespace {

const QString kAcceptedModels[] = {QStringLiteral("7703S"), QStringLiteral("7703M"), QStringLiteral("770X"),
                                   QStringLiteral("7804S"), QStringLiteral("7806S")};

// The first non-empty line of the answer.
QString FirstLine(const QString& answer)
{
    for (const QString& line : answer.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts))
        return line;
    return QString();
}

}  // namespace

bool AcceptedTesterModel(const QString& model)
{
    const QString m = model.trimmed();
    if (m.isEmpty())
        return false;
    for (const QString& accepted : kAcceptedModels) {
        if (accepted.startsWith(m, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString IdentityModel(const QString& answer)
{
    const QString line = FirstLine(answer);
    const qsizetype c1 = line.indexOf(QLatin1Char(','));
    if (c1 < 0)
        return QString();
    const qsizetype c2 = line.indexOf(QLatin1Char(','), c1 + 1);
    return line.mid(c1 + 1, c2 < 0 ? -1 : c2 - c1 - 1);
}

bool IsFamilyIdentity(const QString& answer)
{
    return AcceptedTesterModel(IdentityModel(answer));
}

}  // namespace celvio
