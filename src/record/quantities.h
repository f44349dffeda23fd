// The catalogue of quantities: one row for every row of the result pages, in the order
// the pages show them. A row says what the quantity is called (its name in the history,
// the English and German row names), how its cell reads (unit, rounding, the range of a
// real reading, the marks), where its limit comes from (the settings and the form of
// the limit text) and on which traffic channel columns the band steps measure it and
// the result file and the printed report list it. The result pages, the result file
// (writer and reader), the printed report and the history all walk this table.
//
// Adding a quantity: a value of RowId and a row of kQuantityRows below (before the
// call rows), the procedure that measures it, and the simulator's answer (README).
#pragma once

#include "core/measured_value.h"
#include "core/station.h"

#include <QString>
#include <array>
#include <optional>

namespace celvio {

enum class RowId : quint8 {
    TxPower1,  // power slot 1 (MSPower1 on the pages)
    TxPower2,
    TxPower3,
    PhaseRms,     // Label51
    PhasePeak,    // Label52
    Frequency,    // Label53
    BurstLength,  // Label54
    Template,     // Label55
    RxLevel,      // Label56
    RxQuality,    // Label57
    MobileCall,   // the call rows: one cell each, whatever the band
    DialledNumber,
    BaseCall,
    SpeechLoopback,
};

// How a cell shows its outcome: a measured value " 33 dBm", "* 40 dBm" (failed), "! 34 dBm"
// (passed on repetition); a call "Passed", "* Failed".
enum class MarkStyle : quint8 { Measured, Call };

// How a row's limit text is made from its setting.
enum class LimitForm : quint8 {
    None,         // no limit
    PowerRange,   // " 31 - 35 dBm": the nominal power of the slot's level -/+ the setting
    UpTo,         // "0 - 5 deg": zero up to the setting
    PlusMinus,    // "+/- 90 Hz"
    AroundBurst,  // " 552 - 554 µsec": the nominal 553 µs -/+ the setting
    Expected,     // " 47 -  53": the RX level the phone should report -/+ the setting
    Dialled,      // the number the customer is to dial (DIALNO)
};

// What a traffic channel column of a row holds: 'L' measured, and listed in the result
// file and the printed report; 'S' measured, shown on the pages only; 'N' never
// measured ("Not needed"). The call rows use column 1.
using ColumnUses = const char*;

struct QuantityRow {
    RowId id;
    const char* quantity;  // the quantity's name in the history and at the head office
    const char* english;   // row name on the result pages (the call rows: of the first page)
    const char* german;
    const char* secondPage;  // English row name on the second page, when it differs
    const char* unit;        // after the value in its cell (" dBm"), the same in both languages
    int powerSlot;           // the TX power rows: power slot 1..3 of the band; 0 otherwise
    bool rounded;            // the value is rounded half up to a whole number; else shown as read
    QuantityRange range;     // a real reading lies within it; {0, -1}: no number
    LimitForm limit;
    qint32 StationSettings::*setting;  // the limit's setting (the first band's), or null
    qint32 StationSettings::*secondBandSetting;  // the second band's, when it has its own
    const char* keys;                   // the settings keys of the limit, for people
    const char* limitUnit;              // after the limit (English / German below)
    const char* limitUnitGerman;
    const char* fileOpen;  // the result file's bracket before the limit: "( ", "(", or "" (none)
    ColumnUses columns;
    MarkStyle marks;
};

inline constexpr QuantityRange kNoNumber{0, -1};

// The catalogue, in the order of the pages. The call rows come last.
inline constexpr QuantityRow kQuantityRows[] = {
    {RowId::TxPower1, "TX Power", "TX Power", "MS Leistung", nullptr, " dBm", 1, true, kPowerRangeDbm,
     LimitForm::PowerRange, &StationSettings::LimitTxPower, nullptr, "RFLEVEL, MSPOWLEV1 / MSPOWLEV4", " dBm",
     " dBm", "( ", "LLL", MarkStyle::Measured},
    {RowId::TxPower2, "TX Power", "TX Power", "MS Leistung", nullptr, " dBm", 2, true, kPowerRangeDbm,
     LimitForm::PowerRange, &StationSettings::LimitTxPower, nullptr, "RFLEVEL, MSPOWLEV2 / MSPOWLEV5", " dBm",
     " dBm", "( ", "NNN", MarkStyle::Measured},
    {RowId::TxPower3, "TX Power", "TX Power", "MS Leistung", nullptr, " dBm", 3, true, kPowerRangeDbm,
     LimitForm::PowerRange, &StationSettings::LimitTxPower, nullptr, "RFLEVEL, MSPOWLEV3 / MSPOWLEV6", " dBm",
     " dBm", "( ", "NNL", MarkStyle::Measured},
    {RowId::PhaseRms, "Phase Error RMS", "Phase Error RMS", "Phasenfehler", nullptr, " deg", 0, true,
     kPhaseRangeDeg, LimitForm::UpTo, &StationSettings::LimitPhaseRms, nullptr, "PHASERMS", " deg", " Grad", "( ",
     "SSL", MarkStyle::Measured},
    {RowId::PhasePeak, "Phase Error Peak", "Phase Error Peak", "Phasenfehler Spitze", nullptr, " deg", 0, true,
     kPhaseRangeDeg, LimitForm::UpTo, &StationSettings::LimitPhasePeak, nullptr, "PHASEPEAK", " deg", " Grad",
     "( ", "SSL", MarkStyle::Measured},
    {RowId::Frequency, "Frequency Error", "Frequency Error", "Frequenzfehler", nullptr, " Hz", 0, true,
     kFrequencyRangeHz, LimitForm::PlusMinus, &StationSettings::LimitFrequency, &StationSettings::LimitFrequencyHigh,
     "FREQUENCY / FREQ1x00", " Hz", " Hz", "( ", "SSL", MarkStyle::Measured},
    {RowId::BurstLength, "Burst Length", "Burst Length", "Burst Länge", nullptr, " µsec", 0, false,
     kBurstRangeUs, LimitForm::AroundBurst, &StationSettings::LimitBurstLength, nullptr, "BURSTLEN", " µsec",
     " µsek", "(", "SSL", MarkStyle::Measured},
    {RowId::Template, "Power-Time Template", "Power-Time Template", "Leistungs-Zeit-Maske", nullptr, "", 0, false,
     kNoNumber, LimitForm::None, nullptr, nullptr, "", "", "", "", "SSL", MarkStyle::Measured},
    {RowId::RxLevel, "RX Level", "RX Level", "RX Pegel", nullptr, "", 0, false, kRxLevelRange, LimitForm::Expected,
     &StationSettings::LimitRxLevel, nullptr, "RXLEV", "", "", "(", "LNL", MarkStyle::Measured},
    {RowId::RxQuality, "RX Quality", "RX Quality", "RX Qualität", nullptr, "", 0, false, kRxQualityRange,
     LimitForm::UpTo, &StationSettings::LimitRxQuality, nullptr, "RXQUAL", "", "", "( ", "LNL",
     MarkStyle::Measured},
    {RowId::MobileCall, "Call From Mobile", "Mobile Originated Call", "Abgehender Anruf", nullptr, "", 0, false,
     kNoNumber, LimitForm::None, nullptr, nullptr, "", "", "", "", "L", MarkStyle::Call},
    {RowId::DialledNumber, "Dialled Number", "Dialled Number", "Gewählte Rufnummer", nullptr, "", 0, false,
     kNoNumber, LimitForm::Dialled, nullptr, nullptr, "DIALNO", "", "", "( ", "L", MarkStyle::Call},
    {RowId::BaseCall, "Call From Base Station", "Base Originated Call", "Eingehender Anruf",
     "Mobile Terminated Call", "", 0, false, kNoNumber, LimitForm::None, nullptr, nullptr, "", "", "", "",
     "L", MarkStyle::Call},
    {RowId::SpeechLoopback, "Speech Loopback", "Speech Loopback", "Sprachschleife", nullptr, "", 0, false,
     kNoNumber, LimitForm::None, nullptr, nullptr, "", "", "", "", "L", MarkStyle::Call},
};

inline constexpr int kRowCount = int(std::size(kQuantityRows));
inline constexpr int kFirstCallRow = int(RowId::MobileCall);
inline constexpr int kChannelColumns = 3;  // traffic channel columns of a band
inline constexpr int kBands = 2;    // the first band, and the second of a dual-band phone

constexpr bool CatalogueInOrder()
{
    for (int i = 0; i < kRowCount; ++i)
        if (int(kQuantityRows[i].id) != i)
            return false;
    return true;
}
static_assert(CatalogueInOrder(), "kQuantityRows lists every RowId once, in the order of the enumeration");

inline const QuantityRow& Quantity(RowId row)
{
    return kQuantityRows[int(row)];
}
inline bool IsCallRow(RowId row)
{
    return int(row) >= kFirstCallRow;
}
inline RowId RowAt(int index)
{
    return RowId(index);
}

// What column 1..3 of a row holds.
enum class ColumnUse : quint8 { Listed, Shown, NotNeeded };
ColumnUse UseOf(RowId row, int column);

// The row of a row name in either language, as the pages, the file and older files
// name it ("MS Leistung 5 (33 dBm)", "Call From Mobile"); none for an unknown name.
// Among the TX power rows the first slot is given.
std::optional<RowId> RowByName(const QString& name);

// The quantity's name in the history for a row name in either language ("RX Pegel
// (50)" -> "RX Level"); the row name itself when it is not a known one.
QString QuantityName(const QString& rowName);

// The row name in the language (1 English, 2 German, another index: empty), without
// the power level or the expected RX level that the pages add.
QString RowBaseName(RowId row, quint8 language, bool secondPage = false);

// Nominal output power of a power control level: 43 - 2 * level dBm on "GSM",
// 30 - 2 * level dBm on "PCN" and "PCS", 0 for any other band text (16-bit arithmetic,
// as the levels are).
int NominalPower(const QString& band, int powerLevel);

}  // namespace celvio
