// The station settings the benchmarks' result files are written under: a "GSM,PCN"
// station with the usual limits and channels, its coupler and tester.
#pragma once

#include "core/station.h"

#include <QString>

namespace celvio::bench {

inline void SetUpBenchStation(StationState& st, int language)
{
    st.Version = QStringLiteral("2.02");
    st.Language = quint8(language);
    st.SystemCode = QStringLiteral("GSM,PCN");
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

}  // namespace celvio::bench
