// The two result pages as views of the cycle's record: titles, header captions, row
// names, limits, buttons, and every cell with its text and colour.
#pragma once

#include "platform/forms.h"
#include "record/quantities.h"

namespace celvio {

struct App;
struct CycleRecord;

// The page model has a fixed number of rows (platform/ cannot see the catalogue): a
// catalogue that outgrows it fails here, at compile time, not on a shifted page.
static_assert(kRowCount <= kPageRows, "the result page needs a row for every row of kQuantityRows");

// The cells of a row of a page.
inline CellArray& CellsOf(ResultPage& page, RowId row)
{
    return page.Cells[int(row)];
}
inline const CellArray& CellsOf(const ResultPage& page, RowId row)
{
    return page.Cells[int(row)];
}

// At the start of a cycle (and when a single 1800 or 1900 band takes the second
// band's power levels): both pages with their titles, captions and buttons, closed,
// showing `record`. An error text of an earlier cycle is dropped.
void SetUpResultPages(App& app, const CycleRecord& record);

// Shows the record on both pages: date, time, phone, tester, channels, row names,
// limits and cells. The second page shows the calls of the cycle too.
void ShowRecordOnResultPages(App& app, const CycleRecord& record);

}  // namespace celvio
