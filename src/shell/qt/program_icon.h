// The program's icon, the picture of the desktop entry, built into the program so that
// every window shows it without looking up the installed icon theme.
#pragma once

#include <QIcon>

namespace celvio {

QIcon ProgramIcon();

}  // namespace celvio
