// The operator's language: the program's texts are written in English in the sources
// (marked with QT_TRANSLATE_NOOP in the context "Celvio", so that lupdate finds them)
// and looked up in the translation that the LANGUAGE setting chose. The translations
// are the files celvio_<code>.qm of the folders in App::TranslationFolders (the
// program's own ones built in, under :/translations); a new language is a new .ts
// file in data/translations, and no code.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QTranslator;

namespace celvio {

struct App;

// The context of every text of the program in the translation files.
inline constexpr char kTextContext[] = "Celvio";

// A text with the note that tells it apart from the same English text elsewhere,
// as QT_TRANSLATE_NOOP3 gives it.
struct NotedText {
    const char* source;
    const char* comment;
};

// A loaded translation: its code ("de", the name's part after "celvio_") and table.
struct Translation {
    QString Code;
    std::shared_ptr<const QTranslator> Table;
};

// The text in the operator's language: the translation's text for the English
// source (UTF-8), or the source itself where the translation has none. With the
// German index (2) in the station state the German translation is used, so that a
// station state set without reading the settings still speaks German.
QString Tr(const App& app, const char* english);
QString Tr(const App& app, NotedText text);

// The translation a LANGUAGE value chooses among celvio_<code>.qm of the folders:
// German ("de") for a value that begins with DE or GER in any case; otherwise the one
// whose code, or the first three letters of whose language's English name, the value
// begins with; otherwise none (English). A file that cannot be loaded counts as absent.
Translation ChooseTranslation(const QString& value, const QStringList& folders);

// The translation of that code from the first folder that holds a loadable file.
Translation LoadTranslation(const QString& code, const QStringList& folders);

// The codes of the translations in the folders, sorted, each once.
QStringList TranslationCodes(const QStringList& folders);

}  // namespace celvio
