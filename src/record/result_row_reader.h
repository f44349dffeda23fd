// The measurement rows of a result file, for its reader: the calls, then a block per
// traffic channel whose rows are put into the cells of the catalogue.
#pragma once

#include "record/result_file_format.h"

#include <QByteArrayView>
#include <QList>

namespace celvio {

// Reads the rows from line `from` (the call from the mobile) to the end into `out`,
// each cell read appended to `cells` in the file's order.
void ReadMeasurementRows(const QList<QByteArrayView>& lines, qsizetype from, CycleRecord& out,
                         QList<CellRef>& cells);

}  // namespace celvio
