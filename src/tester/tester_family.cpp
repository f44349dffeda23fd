#include "tester/tester_family.h"

#include "tester/dialect_7700.h"

#include <QRegularExpression>

namespace celvio {

namespace {

// The first non-empty line of the answer.
QString FirstLine(const QString& answer)
{
    for (const QString& line : answer.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts))
        return line;
    return QString();
}

}  // namespace

DialectRegistry KnownDialects()
{
    static const TesterDialect* const dialects[] = {&Dialect7700()};
    return dialects;
}

const TesterDialect* DialectForModel(const QString& model, DialectRegistry dialects)
{
    for (const TesterDialect* dialect : dialects) {
        if (SpeaksModel(*dialect, model))
            return dialect;
    }
    return nullptr;
}

const TesterDialect* DialectForIdentity(const QString& answer, DialectRegistry dialects)
{
    return DialectForModel(IdentityModel(answer), dialects);
}

bool AcceptedTesterModel(const QString& model)
{
    return DialectForModel(model) != nullptr;
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
    return DialectForIdentity(answer) != nullptr;
}

}  // namespace celvio
