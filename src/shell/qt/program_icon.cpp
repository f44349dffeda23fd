#include "shell/qt/program_icon.h"

namespace celvio {

QIcon ProgramIcon()
{
    return QIcon(QStringLiteral(":/celvio/celvio.png"));
}

}  // namespace celvio
