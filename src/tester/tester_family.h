// The tester models the program works with, one rule for the port search, the
// identification at start-up and the identity answer after a reset.
#pragma once

#include <QString>

namespace celvio {

// True for a model of the family (7703S, 7703M, 770X, 7804S, 7806S, any case). As
// before, a leading part of a listed name ("7703") is accepted too; an empty model is not.
bool AcceptedTesterModel(const QString& model);

// The model field of an identity answer: between the first and the second comma of
// its first line (to the end of the line when there is no second comma); empty when
// the line has no comma.
QString IdentityModel(const QString& answer);

// True when the identity answer names a model of the family.
bool IsFamilyIdentity(const QString& answer);

}  // namespace celvio
