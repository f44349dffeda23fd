// The settings of a typical shop, with its coupler and a 7703S tester: the station under
// which the result-file tests and the benchmarks write their records. Header-only, on
// core/ alone, so that the benchmarks share it without the tests' framework.
#pragma once

#include "core/station.h"

#include <QString>

namespace celvio::testing {

// The limits, power levels, channels, dial number, coupler and tester of the shop; the
// system, language and cycle's date are the caller's.
inline void ShopSettings(StationState& st)
{
    st.Version = QStringLiteral("2.02");
    st.MsPowerLevels = {0, 5, 10, 15, 0, 5, 10};
    st.LimitTxPower = 2;
    st.LimitPhaseRms = 5;
    st.LimitPhasePeak = 20;
    st.LimitFrequency = 90;
    st.LimitFrequencyHigh = 180;
    st.LimitBurstLength = 1;
    st.LimitRxLevel = 3;
    st.LimitRxQuality = 2;
    st.TrafficChannels = {0, 20, 62, 100, 512, 698, 884};
    st.ControlChannel = 30;
    st.GeneratorLevel = -60;
    st.DialNumber = QStringLiteral("0123");
    st.CouplerLabel = QStringLiteral("(K580)");
    st.TesterModel = QStringLiteral("7703S");
    st.TesterSerial = QStringLiteral("100123");
    st.TesterFirmware = QStringLiteral("V3.10");
}

}  // namespace celvio::testing
