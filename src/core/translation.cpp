#include "core/translation.h"

#include "core/app.h"

#include <QDir>
#include <QLocale>
#include <QTranslator>

namespace celvio {

namespace {

const QString kPrefix = QStringLiteral("celvio_");
const QString kSuffix = QStringLiteral(".qm");

// The built-in German table, for a station state whose language index says German
// without a translation having been chosen by the settings. Loaded once; never changed.
const QTranslator* BuiltInGerman()
{
    static const Translation german = LoadTranslation(QStringLiteral("de"), {QStringLiteral(":/translations")});
    return german.Table.get();
}

const QTranslator* TableOf(const App& app)
{
    const Translation& chosen = app.TextTranslation;
    const bool germanChosen = chosen.Code == QLatin1String("de");
    if (app.st.Language == 2)
        return germanChosen && chosen.Table ? chosen.Table.get() : BuiltInGerman();
    return germanChosen ? nullptr : chosen.Table.get();
}

QString Lookup(const App& app, const char* source, const char* comment)
{
    if (const QTranslator* table = TableOf(app)) {
        const QString text = table->translate(kTextContext, source, comment);
        if (!text.isNull())
            return text;
    }
    return QString::fromUtf8(source);
}

// Whether a LANGUAGE value (upper case) names the translation of that code.
bool ValueNames(const QString& value, const QString& code)
{
    if (value.startsWith(code.toUpper()))
        return true;
    const QLocale::Language language = QLocale(code).language();
    if (language == QLocale::C || language == QLocale::AnyLanguage)
        return false;
    const QString name = QLocale::languageToString(language).left(3).toUpper();
    return name.size() == 3 && value.startsWith(name);
}

}  // namespace

QString Tr(const App& app, const char* english)
{
    return Lookup(app, english, nullptr);
}

QString Tr(const App& app, NotedText text)
{
    return Lookup(app, text.source, text.comment);
}

QStringList TranslationCodes(const QStringList& folders)
{
    QStringList codes;
    for (const QString& folder : folders) {
        const QStringList files = QDir(folder).entryList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files);
        for (const QString& file : files) {
            const QString code = file.mid(kPrefix.size(), file.size() - kPrefix.size() - kSuffix.size());
            if (!code.isEmpty() && !codes.contains(code))
                codes << code;
        }
    }
    codes.sort();
    return codes;
}

Translation LoadTranslation(const QString& code, const QStringList& folders)
{
    for (const QString& folder : folders) {
        auto table = std::make_shared<QTranslator>();
        if (table->load(kPrefix + code + kSuffix, folder))
            return {code, std::move(table)};
    }
    return {};
}

Translation ChooseTranslation(const QString& value, const QStringList& folders)
{
    const QString v = value.trimmed().toUpper();
    if (v.startsWith(QLatin1String("DE")) || v.startsWith(QLatin1String("GER")))
        return LoadTranslation(QStringLiteral("de"), folders);
    for (const QString& code : TranslationCodes(folders)) {
        if (code != QLatin1String("de") && ValueNames(v, code))
            return LoadTranslation(code, folders);
    }
    return {};
}

}  // namespace celvio
