// A station whose last cycle is laid out by hand: settings, identity, channels and the
// cells of both result pages, for the result file and printed report tests.
#pragma once

#include "core/text.h"
#include "results/result_grid.h"
#include "results/verdict.h"
#include "support/station_fixture.h"

namespace celvio::testing {

inline void SetCell(Cell& cell, const char* text, Colour colour = kGreen)
{
    cell = Cell{QString::fromUtf8(text), colour};
}

class ResultsFixture : public StationFixture {
protected:
    // A shop's settings, a 7703S tester and a cycle of `system` in `language`.
    void Station(const char* system, quint8 language)
    {
        StationState& st = app.st;
        st.Version = QStringLiteral("2.02");
        st.NewLine = kCrLf;
        st.Language = language;
        st.DebugMode = kTrue;
        st.SystemCode = QString::fromLatin1(system);
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
        st.CycleDate = QStringLiteral("12/7/26");
        st.CycleTime = QStringLiteral("10:04:09");
        SetUpResultPages(app);
        ShowExpectedRxLevel(app, 50);
        app.Form3.Mobile.Caption = QStringLiteral("Orvane Q7");
        app.Form3.Imei.Caption = QStringLiteral("351234000000017");
        app.Form3.Imsi.Caption = QStringLiteral("001010123456789");
        st.Imei = app.Form3.Imei.Caption;
    }

    // Every measured cell of a page as a passed value, the calls passed.
    void PassedPage(ResultPage& p)
    {
        SetCell(p.MSPower1[1], " 33.2");
        SetCell(p.MSPower1[2], " 33.0");
        SetCell(p.MSPower1[3], " 32.9");
        SetCell(p.MSPower3[3], " 13.4");
        SetCell(p.Label51[3], " 1.8");
        SetCell(p.Label52[3], " 6.5");
        SetCell(p.Label53[3], " -23");
        SetCell(p.Label54[3], " 553");
        SetCell(p.Label55[3], " Passed");
        SetCell(p.Label56[1], " 49");
        SetCell(p.Label56[3], " 50");
        SetCell(p.Label57[1], " 0");
        SetCell(p.Label57[3], " 0");
        SetCell(p.MobileOriginatedCall, "Passed");
        SetCell(p.DialledNumber, "0123");
        SetCell(p.BaseOriginatedCall, "Passed");
        SetCell(p.SpeechLoopback, "Passed");
    }

    // A dual-band GSM,PCN cycle in German with a repeated, a failed and a long cell.
    void FailedDualBand()
    {
        Station("GSM,PCN", 2);
        StationState& st = app.st;
        st.Verdict = Verdict::Failed;
        st.CycleDate = QStringLiteral("07.12.26");
        st.CycleTime = QStringLiteral("14:35:02");
        st.CouplerLabel = QStringLiteral("(K530)");
        st.FaultDescription = QStringLiteral("Display flickers when the phone rings and then dies");
        ResultPage& p = app.Form3;
        p.Imei.Caption = QStringLiteral("351234570543215");
        st.Imei = p.Imei.Caption;
        PassedPage(p);
        SetCell(p.MSPower1[1], "! 33.8", kRepeatGreen);
        SetCell(p.MSPower1[2], " 33.1");
        SetCell(p.MSPower1[3], " 33.0");
        SetCell(p.MSPower3[3], "* 16.2", kRed);
        SetCell(p.Label51[3], " 1.2");
        SetCell(p.Label52[3], " 4.9");
        SetCell(p.Label53[3], " 12");
        SetCell(p.Label56[3], "* 40", kRed);
        SetCell(p.Label57[3], " 1");
        SetCell(p.DialledNumber, "* 0124", kRed);
        ResultPage& q = app.Form4;
        PassedPage(q);
        SetCell(q.MSPower1[1], " 30.1");
        SetCell(q.MSPower1[2], " 29.8");
        SetCell(q.MSPower1[3], " 30.2");
        SetCell(q.MSPower3[3], " 10.4");
        SetCell(q.Label51[3], " 2.0");
        SetCell(q.Label52[3], " 7.5");
        SetCell(q.Label53[3], "* -190", kRed);
        SetCell(q.Label55[3], "* Template failed", kRed);
        SetCell(q.Label56[1], " 50");
        SetCell(q.Label56[3], " 51");
    }
};

}  // namespace celvio::testing
