// The station state: every field that the procedures share, for the whole run.
// Flags are 16-bit values, 0 for false and -1 for true (test for true with == -1).
#pragma once

#include <QDateTime>
#include <QString>
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

struct StationState {
    QString Version;
    QString VersionDate;
    QString NewLine;
    quint8 Language = 0;                  // 1 English, 2 German, 0 none
    std::array<QString, 7> SummaryLines;  // 1..6
    QString SystemCode;
    quint8 Verdict = 0;
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
    Flag TesterBusy = 0;
    quint8 SystemChoice = 0;
    qint16 HelpTopic = 0;
    Flag DebugMode = 0;
    QString OldImei;
    QString CouplerLabel;
    quint8 TesterPort = 0;
    QString BlockedChannels;

    // Settings (read from the settings file).
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

    // Band configuration of the cycle.
    qint16 ControlChannel = 0;
    std::array<qint16, 7> TrafficChannels{};  // 1..6
    qint16 GeneratorLevel = 0;
    AttenuationPair GsmBandAttenuation, PcnBandAttenuation, PcsBandAttenuation;  // BandAttenuations

    // Trace and scan.
    Flag ScanDebugMode = 0;
    QString NewBlockedChannels;
    qint16 ScanLoopCount = 0;
    Flag ScanWritesList = 0;

    // The scan in progress, kept by the scan engine.
    QDateTime ScanStartTime;    // when the scan began, for the elapsed scan time
    QString ScanPassHeading;    // the first line of the scan label during a pass
    QString ScanFault;          // why the tester ended the scan (empty: it did not)
    Flag ScanTesterSilent = 0;  // the tester stopped answering during the scan
    Flag ScanLogReported = 0;   // a scan.log that cannot be written was reported

    // Results.
    Flag DetailsDone = 0;
    QString ResultFilePath;
    QString FaultDescription;

    // Tester identity, as shown on the result pages and printed in the reports.
    QString TesterModel;
    QString TesterSerial;
    QString TesterFirmware;

    // Service point and customer (swap).
    QString ClubZavarNumber;
    QString ServicePointId;
    QString Company;
    QString Address;
    QString Phone;
    QString TestedBy;
    QString SwapComment;

    // The coupler number of the run (1..4), kept by Main.
    qint16 CouplerNumber = 0;
};

}  // namespace celvio
