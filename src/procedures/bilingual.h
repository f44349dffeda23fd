// Texts of the test steps in the operator's language: English for language 1,
// German for 2, and empty for any other index (no LANGUAGE line in the settings).
#pragma once

#include "core/app.h"

#include <QString>

namespace celvio {

inline QString Bilingual(const App& app, const char* english, const char* german)
{
    switch (app.st.Language) {
    case 1: return QString::fromUtf8(english);
    case 2: return QString::fromUtf8(german);
    default: return QString();
    }
}

}  // namespace celvio
