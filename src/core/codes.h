// The program's coded numbers by name: the verdict of a cycle, the mode of a cycle and
// the help topics. The numbers are the ones the help table, the traces and the station
// files know; code uses the names.
#pragma once

#include <QtGlobal>

namespace celvio {

// How a TEST cycle stands (StationState::Verdict). The steps only raise it.
enum class Verdict : quint8 {
    Passed = 0,   // nothing failed so far
    Failed = 1,   // a value out of its limits, or wrong dialled digits
    Aborted = 2,  // a basic function failed: no registration, no call, no echo, a broken-off test
};

// The mode of a cycle. The mode dialog answers Test, ContinuousScan (for SCAN, until the
// scan-mode question picks one of the two scans) or Swap. The swap workflow's own
// network search and call take Swap too; every other mode but Test counts as a scan there.
enum class CycleMode : qint16 {
    Test = 0,
    OneScan = 1,
    ContinuousScan = 2,
    Swap = 3,
};

inline bool IsScan(CycleMode mode)
{
    return mode == CycleMode::OneScan || mode == CycleMode::ContinuousScan;
}

// The help topics that the help key shows for the current step (StationState::HelpTopic),
// numbered as in the help table (ui/help.cpp). None: set by no step yet.
enum class HelpTopic : qint16 {
    None = 0,
    Connect = 1,
    SearchTester = 2,  // set by no step
    SelectTestMode = 3,
    ClubZavarNumber = 4,
    SelectBand = 5,
    InitializeTester = 6,
    NetworkSearch = 7,
    KeypadTest = 8,
    TransmitterTest = 9,
    BaseStationCall = 10,
    ReceiverTest = 11,  // set by no step
    AudioTest = 12,
    DualBandTest = 13,
    ResultOverview = 14,
    ResultSummary = 15,
    ScanType = 16,
    ScanList = 17,
    ScanActive = 18,
    Swap = 19,
    NoHelp = 20,  // set by no step
    ServicePointId = 21,
    ImeiNotFound = 22,
    ScanFinished = 23,
    ScanInterrupted = 24,
    NetworkSearchFailed = 25,
    ConnectionFailure = 26,
    Instruction = 27,
    UnknownImei = 28,
    MobileCall = 29,
    IdenticalImei = 30,
    DifferentModel = 31,
    SelectScanBand = 32,
};

}  // namespace celvio
