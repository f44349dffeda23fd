// The cycles behind the hand-written result files of result_files.h, laid out by hand
// as records: the settings of a typical shop, a 7703S tester, and every cell one by
// one, for the tests that write them byte for byte and read them back.
#pragma once

#include "core/station.h"
#include "core/text.h"
#include "record/cycle_record.h"
#include "support/shop_settings.h"

#include <ostream>

namespace celvio {

// A record prints as its fields and its cells, one per line, in failure messages.
inline void PrintTo(const CycleRecord& r, std::ostream* os)
{
    auto text = [](const QString& s) { return '"' + s.toStdString() + '"'; };
    *os << "\nkind " << int(r.Kind) << " version " << text(r.Version) << " date " << text(r.DateText) << ' '
        << r.Date.toString(Qt::ISODate).toStdString() << " time " << text(r.TimeText) << "\ntester "
        << text(r.TesterModel) << text(r.TesterSerial) << text(r.TesterFirmware) << "\nphone " << text(r.Imei)
        << text(r.Imsi) << r.PhoneIdentified << text(r.Model) << " system " << text(r.SystemCode) << " coupler "
        << text(r.Coupler) << " bcch " << r.ControlChannel << " level " << r.GeneratorLevel << " expected "
        << r.ExpectedRxLevel.value_or(-999) << " verdict " << int(r.Verdict) << "\nfault " << text(r.FaultDescription)
        << " club " << text(r.ClubNumber) << " comment " << text(r.SwapComment) << " old " << text(r.OldImei)
        << "\nchannels";
    for (qint16 c : r.TrafficChannels)
        *os << ' ' << c;
    for (int b = 0; b < kBands; ++b)
        for (int i = 0; i < kRowCount; ++i) {
            *os << "\n" << b + 1 << ' ' << text(r.Bands[b].RowNames[i]);
            for (const Reading& c : r.Bands[b].Cells[i])
                *os << " | " << text(c.Text) << ' ' << int(c.Outcome) << ' ' << c.Value.value_or(-999.5) << ' '
                    << c.Attempts << ' ' << text(c.Limits.Text) << ' ' << c.Limits.Low.value_or(-999.5) << ' '
                    << c.Limits.High.value_or(-999.5);
        }
    *os << '\n';
}

}  // namespace celvio

namespace celvio::testing {

// The station of the result-file tests: a shop's settings, a 7703S tester and a cycle
// of `system` in `language`, on 12/7/26 (month first) at 10:04:09.
inline void ShopStation(StationState& st, const char* system, quint8 language)
{
    ShopSettings(st);
    st.NewLine = kCrLf;
    st.Language = language;
    st.SystemCode = QString::fromLatin1(system);
    st.CycleDate = QStringLiteral("12/7/26");
    st.CycleTime = QStringLiteral("10:04:09");
    st.CycleDay = QDate(2026, 12, 7);
}

// The record of such a cycle before any test: the phone identified as an Orvane Q7,
// the RX level expected at 50.
inline CycleRecord ShopRecord(const StationState& st)
{
    CycleRecord r;
    r.ExpectedRxLevel = 50;
    ResetReadings(r);
    TakeStationFacts(r, st);
    r.Model = QStringLiteral("Orvane Q7");
    r.Imei = QStringLiteral("351234000000017");
    r.Imsi = QStringLiteral("001010123456789");
    r.PhoneIdentified = true;
    return r;
}

// One cell: its value as shown, without the mark, and how it came out.
inline void Put(CycleRecord& r, int band, RowId row, int column, const char* text,
                ReadingOutcome outcome = ReadingOutcome::Passed)
{
    StoreReading(r, band, row, column, QString::fromUtf8(text), outcome);
}

// Every listed cell of a band as a passed value, the calls passed.
inline void PassedBand(CycleRecord& r, int band)
{
    using R = RowId;
    Put(r, band, R::TxPower1, 1, "33.2");
    Put(r, band, R::TxPower1, 2, "33.0");
    Put(r, band, R::TxPower1, 3, "32.9");
    Put(r, band, R::TxPower3, 3, "13.4");
    Put(r, band, R::PhaseRms, 3, "1.8");
    Put(r, band, R::PhasePeak, 3, "6.5");
    Put(r, band, R::Frequency, 3, "-23");
    Put(r, band, R::BurstLength, 3, "553");
    Put(r, band, R::Template, 3, "Passed");
    Put(r, band, R::RxLevel, 1, "49");
    Put(r, band, R::RxLevel, 3, "50");
    Put(r, band, R::RxQuality, 1, "0");
    Put(r, band, R::RxQuality, 3, "0");
    Put(r, band, R::MobileCall, 1, "Passed");
    Put(r, band, R::DialledNumber, 1, "0123");
    Put(r, band, R::BaseCall, 1, "Passed");
    Put(r, band, R::SpeechLoopback, 1, "Passed");
}

// The passed single-band GSM 900 test of kPassedGsmFile.
inline CycleRecord PassedGsmRecord(StationState& st)
{
    ShopStation(st, "GSM", 1);
    CycleRecord r = ShopRecord(st);
    PassedBand(r, 1);
    return r;
}

// The failed dual-band test of kFailedDualBandGermanFile: a German cycle with a
// repeated, a failed and a long cell.
inline CycleRecord FailedDualBandRecord(StationState& st)
{
    using R = RowId;
    using O = ReadingOutcome;
    ShopStation(st, "GSM,PCN", 2);
    st.CycleDate = QStringLiteral("07.12.26");
    st.CycleTime = QStringLiteral("14:35:02");
    st.CouplerLabel = QStringLiteral("(K530)");
    st.FaultDescription = QStringLiteral("Display flickers when the phone rings and then dies");
    CycleRecord r = ShopRecord(st);
    r.Verdict = TestVerdict::Failed;
    r.Imei = QStringLiteral("351234570543215");
    PassedBand(r, 1);
    Put(r, 1, R::TxPower1, 1, "33.8", O::PassedOnRepeat);
    Put(r, 1, R::TxPower1, 2, "33.1");
    Put(r, 1, R::TxPower1, 3, "33.0");
    Put(r, 1, R::TxPower3, 3, "16.2", O::Failed);
    Put(r, 1, R::PhaseRms, 3, "1.2");
    Put(r, 1, R::PhasePeak, 3, "4.9");
    Put(r, 1, R::Frequency, 3, "12");
    Put(r, 1, R::RxLevel, 3, "40", O::Failed);
    Put(r, 1, R::RxQuality, 3, "1");
    Put(r, 1, R::DialledNumber, 1, "0124", O::Failed);
    PassedBand(r, 2);
    Put(r, 1, R::DialledNumber, 1, "0124", O::Failed);  // the call rows are the cycle's, not the band's
    Put(r, 2, R::TxPower1, 1, "30.1");
    Put(r, 2, R::TxPower1, 2, "29.8");
    Put(r, 2, R::TxPower1, 3, "30.2");
    Put(r, 2, R::TxPower3, 3, "10.4");
    Put(r, 2, R::PhaseRms, 3, "2.0");
    Put(r, 2, R::PhasePeak, 3, "7.5");
    Put(r, 2, R::Frequency, 3, "-190", O::Failed);
    Put(r, 2, R::Template, 3, "Template failed", O::Failed);
    Put(r, 2, R::RxLevel, 1, "50");
    Put(r, 2, R::RxLevel, 3, "51");
    return r;
}

// The phone swapped on the spot of kSwappedWithoutTestFile.
inline CycleRecord DirectSwapRecord(StationState& st)
{
    ShopStation(st, "GSM", 1);
    st.OldImei = QStringLiteral("351234000000017");
    st.Imei = QStringLiteral("351234000000025");
    CycleRecord r;
    r.Kind = RecordKind::DirectSwap;
    TakeStationFacts(r, st);
    r.Imei = st.Imei;
    return r;
}

}  // namespace celvio::testing
