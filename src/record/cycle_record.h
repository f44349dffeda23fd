// The result of one cycle as a typed value: who tested (the tester), what (the phone,
// its system and bands, the channels), how it went (every reading of every band and
// traffic channel, the calls, the verdict) and for whom (the customer's texts, the
// swap data), with the cycle's date. The procedures return readings and the cycle's
// flow stores them here; the result pages, the verdict and report screens, the result
// file, the printed reports and the history index are views of it. A record read back
// from a result file (result_file_format.h) holds what the file holds.
#pragma once

#include "core/codes.h"
#include "core/station.h"
#include "platform/forms.h"
#include "record/quantities.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <array>
#include <optional>

namespace celvio {

// How a reading came out: passed at the first measurement, passed only when repeated
// after a failure, failed, not tested (yet), or never measured by the test plan.
enum class ReadingOutcome : quint8 { Passed, PassedOnRepeat, Failed, NotTested, NotNeeded };

// The verdict of a test, as the station state holds it while the test runs: every
// value within its limits; a value out of limits or a wrong dialled number; a basic
// function that did not work (a call, the echo, a test that broke off).
using TestVerdict = Verdict;

inline const QString kNotTestedText = QStringLiteral("Not tested");
inline const QString kNotNeededText = QStringLiteral("Not needed");

// A reading's limits: the text the result page shows (" 31 - 35 dBm", "0 - 5 deg", the
// number to dial of the dialled-number row), and the bounds read from it.
struct ReadingLimits {
    QString Text;
    std::optional<double> Low, High;

    bool operator==(const ReadingLimits&) const = default;
};

struct Reading {
    QString Text = kNotTestedText;  // the value as shown, without its mark ("33 dBm", "49", "Passed")
    std::optional<double> Value;    // the number it shows, when it is a real reading of its quantity
    ReadingLimits Limits;
    ReadingOutcome Outcome = ReadingOutcome::NotTested;
    int Attempts = 0;  // measurements made; 0 when not measured, or not known (a file read back)

    bool operator==(const Reading&) const = default;
};

// The path attenuation the tester was set to for a traffic channel (from the model's
// table), dB.
struct PathAttenuation {
    double Rx = 0;
    double Tx = 0;

    bool operator==(const PathAttenuation&) const = default;
};

// One band: the result page of its traffic channels.
struct BandReadings {
    std::array<QString, kRowCount> RowNames;  // of the measured rows, as the page shows them
    std::array<std::array<Reading, kChannelColumns>, kRowCount> Cells;  // by row and column 1..3 (index 0..2)
    std::array<std::optional<PathAttenuation>, kChannelColumns> Attenuations;  // used on each channel

    bool operator==(const BandReadings&) const = default;
};

enum class RecordKind : quint8 { Test, DirectSwap };

struct CycleRecord {
    RecordKind Kind = RecordKind::Test;
    QString Version;  // of the program that tested
    QString DateText, TimeText;  // the cycle's date and time as written ("07.12.2026", "14:35:02")
    QDate Date;                  // the day they name, when they can be read
    QTime Time;

    QString TesterModel, TesterSerial, TesterFirmware;

    QString Imei = kNotTestedText;  // as shown: "Not tested" until the phone is identified
    QString Imsi = kNotTestedText;
    bool PhoneIdentified = false;  // the tester read IMEI and IMSI from the phone
    QString Model;                 // the model's name, empty when the TAC tables do not know it

    QString SystemCode;  // "GSM", "PCN", "PCS", "GSM,PCN", "GSM,PCS"
    QString Coupler;     // the coupler's tag, "(K580)"
    qint16 ControlChannel = 0;
    qint16 GeneratorLevel = 0;
    std::array<qint16, 7> TrafficChannels{};  // 1..3 first band, 4..6 second band
    std::optional<int> ExpectedRxLevel;       // the RX level the phone should report, once set

    std::array<BandReadings, kBands> Bands;  // the call rows are kept in the first band, column 1
    TestVerdict Verdict = TestVerdict::Passed;

    // The customer's texts and the swap: the fault typed on the customer screen, the
    // Club Zavar number, the swap comment and the phone handed in (a direct swap's
    // record: the old phone; Imei is the new one).
    QString FaultDescription, ClubNumber, SwapComment, OldImei;

    bool operator==(const CycleRecord&) const = default;

    // The cell of a band (1, 2), row and traffic channel column (1..3); a call row has
    // one cell whatever the band and column.
    Reading& At(int band, RowId row, int column);
    const Reading& At(int band, RowId row, int column) const;
    bool DualBand() const { return SystemCode.contains(QLatin1String("GSM,")); }
};

// The outcome's one-letter code in the history and at the head office: P passed, R
// passed on repetition, F failed, T not tested, N not needed.
char OutcomeCode(ReadingOutcome outcome);
// The outcome of a code; none for another character.
std::optional<ReadingOutcome> OutcomeOfCode(QChar code);

// The mark before a reading's text in its cell, by the row's style.
QString MarkOf(RowId row, ReadingOutcome outcome);
// The cell text: mark and value, as the page, the file and the reports show it.
QString CaptionOf(RowId row, const Reading& reading);
// The cell's colour: green passed, repeat-green (1,255,0) passed on repetition, red
// failed, yellow not tested or not needed.
Colour ColourOf(ReadingOutcome outcome);
// A cell text read back into value text and outcome (the reverse of CaptionOf).
Reading ReadingOfCaption(RowId row, const QString& caption);

// The number a value text shows, when it is a real reading of the row's quantity (its
// unit may follow it); none otherwise ("Not tested", "9.91E37", "Passed").
std::optional<double> ReadingNumber(RowId row, const QString& text);
// Limits from their text: "31 - 35 dBm" 31..35, "+/- 90 Hz" -90..90, "0 - 2" 0..2.
ReadingLimits LimitsOfText(RowId row, const QString& text);

// Stores what a procedure measured into a cell; the cell keeps its limits.
void StoreReading(CycleRecord& record, int band, RowId row, int column, const QString& text,
                  ReadingOutcome outcome, int attempts = 1);

// What a procedure returns for one cell: where it goes, the value as shown without its
// mark, the outcome and the measurements made.
struct MeasuredReading {
    int Band = 1;
    RowId Row = RowId::TxPower1;
    int Column = 1;
    QString Text;
    ReadingOutcome Outcome = ReadingOutcome::Passed;
    int Attempts = 1;

    bool operator==(const MeasuredReading&) const = default;
};

// Stores every reading a procedure returned.
void StoreReadings(CycleRecord& record, const QList<MeasuredReading>& readings);

// Every cell back to where a test starts: "Not tested", or "Not needed" for the cells
// the band steps never measure; limits and row names are kept.
void ResetReadings(CycleRecord& record);

// The row names and limits of both bands from the settings, the system and the
// expected RX level (the settings keys of each row are in the catalogue), in
// `language` (1 English, 2 German; another index gives empty names, as the pages do).
void DescribeRows(CycleRecord& record, const StationSettings& settings, quint8 language);

// What the station state knows of the cycle, copied into the record: the program's
// version, the tester, the date and time, the system and channels, the coupler, the
// customer's texts; then the row names and limits (DescribeRows). The readings, the
// phone's identity and the verdict are stored by the cycle's flow as they happen.
void TakeStationFacts(CycleRecord& record, const StationState& st);

}  // namespace celvio
