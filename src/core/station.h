// The station state: every field that the procedures share, grouped by how long it
// lives. StationState joins the groups, so each field keeps its one name
// (app.st.Verdict, app.st.GsmBcch) and one grep finds it; the group a field belongs to
// tells who may change it and when it starts afresh.
// Flags are 16-bit values, 0 for false and -1 for true (test for true with == -1).
#pragma once

#include "core/codes.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>

namespace celvio {

using Flag = qint16;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

// A path-attenuation pair of one band, kept for the run.
struct AttenuationPair {
    double first = 0;
    double second = 0;
};

// Set once at start-up, or by the operator's menus, and kept for the whole run.
struct ProgramState {
    QString Version;
    QString VersionDate;
    QString NewLine;
    quint8 SystemChoice = 0;  // preselected entry of the system dialog
    celvio::HelpTopic HelpTopic = celvio::HelpTopic::None;
    Flag DebugMode = 0;       // trace window and DEBUG.LOG
    Flag ScanDebugMode = 0;   // the scan's extra trace
    QString CouplerLabel;
    qint16 CouplerNumber = 0;  // 1..4
};

// What the settings file and the blocked-channel list say. Read at start-up and again
// at the end of every cycle (ReloadSettings); a line that cannot be used leaves its
// field as it was. Step 11 of a PCN/PCS cycle overwrites MsPowerLevels 1..3 until
// the next reload.
struct StationSettings {
    quint8 Language = 0;  // 1 English, 2 German, 0 none
    QString BlockedChannels;
    quint8 GsmSystem = 0;
    quint8 LeftMargin = 0;
    qint16 TestDetail = 0;
    qint16 TestPrint = 0;
    qint16 SwapFile = 0;
    QString DialNumber;
    qint16 ScanAttenuation = 0;
    qint16 ScanSensitivity = 0;
    qint16 ScanTest = 0;
    qint16 SearchTimeout = 0;
    qint16 BsCallTimeout = 0;
    qint16 MsCallTimeout = 0;
    qint16 Maximize = 0;
    std::array<qint16, 7> MsPowerLevels{};  // 1..6
    qint16 LocateBsLevel = 0;
    qint16 GsmBcch = 0;
    std::array<qint16, 4> GsmTch{};  // 1..3
    qint16 PcnBcch = 0;
    std::array<qint16, 4> PcnTch{};
    qint16 PcsBcch = 0;
    std::array<qint16, 4> PcsTch{};
    qint16 GsmBsLevel = 0;
    qint16 PcnBsLevel = 0;
    qint16 PcsBsLevel = 0;
    double GsmAttenuation = 0;
    double PcnAttenuation = 0;
    double PcsAttenuation = 0;
    qint32 LimitTxPower = 0;
    qint32 LimitPhaseRms = 0;
    qint32 LimitPhasePeak = 0;
    qint32 LimitFrequency = 0;
    qint32 LimitFrequencyHigh = 0;
    qint32 LimitBurstLength = 0;
    qint32 LimitRxLevel = 0;
    qint32 LimitRxQuality = 0;
    Flag SearchAllPorts = 0;
    Flag ShowLimits = 0;
    Flag ShowRfWave = 0;
    quint8 TesterSpeed = 0;

    // Settings keys whose value has been read from the file in this run: a line that
    // cannot be used keeps such a value, any other field gets the key's fall-back.
    QStringList SettingsKeysRead;
};

// What one cycle learns and decides, from the mode dialog to the end of the cycle,
// and everything typed for its customer. ResetForNewCycle starts the whole group
// afresh at the start of every cycle, so nothing of one customer reaches the next;
// a field that has to outlive its cycle belongs to another group.
struct CycleState {
    std::array<QString, 7> SummaryLines;  // 1..6
    QString SystemCode;
    celvio::Verdict Verdict = celvio::Verdict::Passed;
    Flag StopRequested = 0;
    Flag KeypadCallFailed = 0;
    Flag Command1Pressed = 0;
    Flag Command2Pressed = 0;
    Flag Command3Pressed = 0;
    Flag Command4Pressed = 0;
    Flag Command5Pressed = 0;
    QString CycleDate;
    QString CycleTime;
    QString Imei;
    QString ModelName;
    QString UserInstruction;
    QString SpecialPicture;
    QString Imsi;
    QString PhonePicture;
    quint8 TxStep = 0;
    qint16 CurrentTrafficChannel = 0;
    QString SavedStatusText;

    // Keypad test of the cycle: the verdict before the dialled digits were compared,
    // so that a model without a keypad test can take a wrong-digits failure back.
    celvio::Verdict VerdictBeforeDigits = celvio::Verdict::Passed;
    Flag DigitsChecked = 0;

    // The scan of the cycle.
    QString NewBlockedChannels;
    qint16 ScanLoopCount = 0;
    Flag ScanWritesList = 0;
    QDateTime ScanStartTime;    // when the scan began, for the elapsed scan time
    QString ScanPassHeading;    // the first line of the scan label during a pass
    QString ScanFault;          // why the tester ended the scan (empty: it did not)
    Flag ScanTesterSilent = 0;  // the tester stopped answering during the scan
    Flag ScanLogReported = 0;   // a scan.log that cannot be written was reported

    // The results of the cycle.
    Flag DetailsDone = 0;
    QString ResultFilePath;
    // The description of the last error that broke a test off, shown under an aborted
    // verdict and cleared once shown.
    QString LastErrorText;

    // The swap records: the calendar day of the cycle (CycleDate is its text in the
    // regional order of day and month), written as the record date.
    QDate CycleDay;

    // The customer of the cycle, typed on the customer screen (and the swap comment
    // with the swap question), and the phone handed in: they go into the cycle's
    // result file, report and records, and into no later ones.
    QString ClubZavarNumber;
    QString FaultDescription;
    QString SwapComment;
    QString OldImei;  // the phone handed in, or the tested phone when its record is written
};

// The tester's channels, levels and path attenuations for the cycle's system, set by
// the band configuration.
struct BandConfiguration {
    qint16 ControlChannel = 0;
    std::array<qint16, 7> TrafficChannels{};  // 1..6
    qint16 GeneratorLevel = 0;
    AttenuationPair GsmBandAttenuation, PcnBandAttenuation, PcsBandAttenuation;  // BandAttenuations
};

// The tester on the line: its port (written only by the port search and the port
// question), its identity as shown on the result pages and printed in the reports,
// and whether it may be in the middle of a call.
struct TesterIdentity {
    quint8 TesterPort = 0;
    QString TesterModel;
    QString TesterSerial;
    QString TesterFirmware;
    Flag TesterBusy = 0;
};

// The service point's identity, read from "swap.dat" or typed on its screen and kept
// for the run; it heads every record file and swap report.
struct ServicePointData {
    QString ServicePointId;
    QString Company;
    QString Address;
    QString Phone;
    QString TestedBy;
};

struct StationState : ProgramState, StationSettings, CycleState, BandConfiguration, TesterIdentity, ServicePointData {
    // The groups by name, for code that works on one of them as a whole.
    StationSettings& Settings() { return *this; }
    CycleState& Cycle() { return *this; }
    BandConfiguration& Band() { return *this; }
    TesterIdentity& Tester() { return *this; }
    ServicePointData& ServicePoint() { return *this; }

    // The start of a cycle: every field of the cycle's group back to its first value
    // (no button pressed, no phone, no verdict, no stop, no customer and none of the
    // customer's texts); the other groups are kept.
    void ResetForNewCycle() { Cycle() = CycleState{}; }
};

}  // namespace celvio
