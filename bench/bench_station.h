// The station settings the benchmarks' result files are written under: the shop of the
// result-file tests (tests/support/shop_settings.h) as a "GSM,PCN" station.
#pragma once

#include "core/station.h"
#include "support/shop_settings.h"

#include <QString>

namespace celvio::bench {

inline void SetUpBenchStation(StationState& st, int language)
{
    celvio::testing::ShopSettings(st);
    st.Language = quint8(language);
    st.SystemCode = QStringLiteral("GSM,PCN");
}

}  // namespace celvio::bench
