// The tables of the index's layouts, as its readers, writers and migrations name them:
// an index whose version names a layout but lacks one of its tables (dropped by hand, a
// file of another program that never set a version) is not of that layout.
#pragma once

#include <QSqlDatabase>

namespace celvio {

// True when every table of layout `version` (1 to 3) is there with every column it
// needs (more tables or columns do no harm).
bool HasLayoutTables(const QSqlDatabase& db, int version);

}  // namespace celvio
