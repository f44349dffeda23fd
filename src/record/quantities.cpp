#include "record/quantities.h"

#include <QHash>
#include <QList>
#include <algorithm>

namespace celvio {

namespace {

struct Alias {
    QString prefix;
    RowId row;
};

// Every name a row goes by, longest first, so that "Phasenfehler Spitze" is not taken
// for "Phasenfehler".
const QList<Alias>& Aliases()
{
    static const QList<Alias> aliases = [] {
        QList<Alias> list;
        for (const QuantityRow& q : kQuantityRows) {
            for (const char* name : {q.quantity, q.english, q.german, q.secondPage}) {
                if (!name)
                    continue;
                const QString text = QString::fromUtf8(name);
                const bool known = std::any_of(list.cbegin(), list.cend(),
                                               [&text](const Alias& a) { return a.prefix == text; });
                if (!known)
                    list.append(Alias{text, q.id});
            }
        }
        std::stable_sort(list.begin(), list.end(),
                         [](const Alias& a, const Alias& b) { return a.prefix.size() > b.prefix.size(); });
        return list;
    }();
    return aliases;
}

}  // namespace

ColumnUse UseOf(RowId row, int column)
{
    const QuantityRow& q = Quantity(row);
    const int count = int(qstrlen(q.columns));
    if (column < 1 || column > count)
        return ColumnUse::NotNeeded;
    switch (q.columns[column - 1]) {
    case 'L': return ColumnUse::Listed;
    case 'S': return ColumnUse::Shown;
    default: return ColumnUse::NotNeeded;
    }
}

std::optional<RowId> RowByName(const QString& name)
{
    // The same few names come again and again (the history reads a hundred thousand
    // files): each thread keeps those it has looked up.
    thread_local QHash<QString, std::optional<RowId>> known;
    const auto it = known.constFind(name);
    if (it != known.constEnd())
        return *it;
    std::optional<RowId> found;
    for (const Alias& alias : Aliases()) {
        if (name.startsWith(alias.prefix)) {
            found = alias.row;
            break;
        }
    }
    if (known.size() > 4096)
        known.clear();
    known.insert(name, found);
    return found;
}

QString QuantityName(const QString& rowName)
{
    const std::optional<RowId> row = RowByName(rowName);
    return row ? QString::fromUtf8(Quantity(*row).quantity) : rowName;
}

QString RowBaseName(RowId row, quint8 language, bool secondPage)
{
    const QuantityRow& q = Quantity(row);
    switch (language) {
    case 1: return QString::fromUtf8(secondPage && q.secondPage ? q.secondPage : q.english);
    case 2: return QString::fromUtf8(q.german);
    default: return QString();
    }
}

int NominalPower(const QString& band, int powerLevel)
{
    if (band == QLatin1String("GSM"))
        return qint16(43 - 2 * powerLevel);
    if (band == QLatin1String("PCN") || band == QLatin1String("PCS"))
        return qint16(30 - 2 * powerLevel);
    return 0;
}

}  // namespace celvio
