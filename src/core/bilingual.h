// Texts in the operator's language: English for language 1, German for 2, and empty
// for any other index (no LANGUAGE line in the settings).
#pragma once

#include "core/app.h"

#include <QString>

namespace celvio {

inline QString Bilingual(const App& app, const QString& english, const QString& german)
{
    switch (app.st.Language) {
    case 1: return english;
    case 2: return german;
    default: return QString();
    }
}

// The same for UTF-8 literals.
inline QString Bilingual(const App& app, const char* english, const char* german)
{
    return Bilingual(app, QString::fromUtf8(english), QString::fromUtf8(german));
}

}  // namespace celvio
