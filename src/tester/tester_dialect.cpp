#include "tester/tester_dialect.h"

namespace celvio {

QString CommandText(const TesterDialect& dialect, TesterOp op, const QStringList& args)
{
    const std::size_t index = std::size_t(op);
    if (index >= dialect.texts.size())
        return QString();
    const QString pattern = QString::fromLatin1(dialect.texts[index].text);
    QString out;
    out.reserve(pattern.size() + 16);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('%') && i + 1 < pattern.size() && pattern[i + 1] >= QLatin1Char('1') &&
            pattern[i + 1] <= QLatin1Char('9')) {
            out += args.value(pattern[i + 1].unicode() - '1');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

bool SpeaksModel(const TesterDialect& dialect, const QString& model)
{
    const QString m = model.trimmed();
    if (m.isEmpty())
        return false;
    for (const char* listed : dialect.models) {
        if (QLatin1String(listed).startsWith(m, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

}  // namespace celvio
