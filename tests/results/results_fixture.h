// A station whose last cycle is laid out by hand: settings, identity, channels and the
// record of both bands, for the result file and printed report tests.
#pragma once

#include "core/text.h"
#include "record/cycle_record.h"
#include "results/result_grid.h"
#include "results/verdict.h"
#include "support/golden_records.h"
#include "support/station_fixture.h"

namespace celvio::testing {

inline void SetCell(Cell& cell, const char* text, Colour colour = kGreen)
{
    cell = Cell{QString::fromUtf8(text), colour};
}

class ResultsFixture : public StationFixture {
protected:
    // A shop's settings, a 7703S tester and a cycle of `system` in `language`, with the
    // phone identified and nothing measured yet; the pages show the record.
    void Station(const char* system, quint8 language)
    {
        ShopStation(app.st, system, language);
        app.st.DebugMode = kTrue;
        record = ShopRecord(app.st);
        app.st.Imei = record.Imei;
        SetUpResultPages(app, record);
    }

    // Every listed cell of the page's band as a passed value, the calls passed.
    void PassedPage(const ResultPage& page)
    {
        PassedBand(record, &page == &app.Form4 ? 2 : 1);
        ShowRecordOnResultPages(app, record);
    }

    // A dual-band GSM,PCN cycle in German with a repeated, a failed and a long cell.
    void FailedDualBand()
    {
        record = FailedDualBandRecord(app.st);
        app.st.DebugMode = kTrue;
        app.st.Verdict = Verdict::Failed;
        app.st.Imei = record.Imei;
        SetUpResultPages(app, record);
    }

    CycleRecord record;
};

// A service point's swap record file (.IWR) and hand-over file (.IME), one record each.
inline constexpr char kIwr[] = "IWRSWAP\tV1.0\tAB123\t20261206\r\n# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg\r\n"
                               "SWAP\t200000000000000\t800000000000000\t\t20261206\r\nEND\t 1 \r\n";
inline constexpr char kIme[] = "IWRIMEI\tV1.0\tAB123\t20261206\r\n# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg\r\n"
                               "IMEI\t200000000000000\t\t\t20261206\tPASS\r\nEND\t 1 \r\n";

}  // namespace celvio::testing
