// The tester families the program speaks with, and the one rule that picks a family
// from an identity answer: used by the port search, the port question, the
// identification at start-up and the identity answer after a reset. Adding a family
// is a table of its own (see dialect_7700.*) and a line in KnownDialects.
#pragma once

#include "tester/tester_dialect.h"

#include <QString>
#include <span>

namespace celvio {

using DialectRegistry = std::span<const TesterDialect* const>;

// The program's families; the first one speaks until a tester has identified itself.
DialectRegistry KnownDialects();

// The family of the model (see SpeaksModel), the first in the registry that names it;
// null when none does.
const TesterDialect* DialectForModel(const QString& model, DialectRegistry dialects = KnownDialects());

// The family of an identity answer, by its model field; null for a model no family names.
const TesterDialect* DialectForIdentity(const QString& answer, DialectRegistry dialects = KnownDialects());

// True for a model of a known family (7703S, 7703M, 770X, 7804S, 7806S, any case). As
// before, a leading part of a listed name ("7703") is accepted too; an empty model is not.
bool AcceptedTesterModel(const QString& model);

// The model field of an identity answer: between the first and the second comma of
// its first line (to the end of the line when there is no second comma); empty when
// the line has no comma.
QString IdentityModel(const QString& answer);

// True when the identity answer names a model of a known family.
bool IsFamilyIdentity(const QString& answer);

}  // namespace celvio
