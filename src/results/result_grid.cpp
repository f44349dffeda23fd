#include "results/result_grid.h"

#include "core/app.h"
#include "core/text.h"
#include "core/translation.h"
#include "results/result_pages.h"
#include "results/verdict.h"

#include <algorithm>
#include <limits>

namespace celvio {

namespace {

qint32 ClampToInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

const char* const kBands[] = {"GSM", "PCN", "PCS"};

int BandIndex(const QString& band)
{
    for (int b = 0; b < 3; ++b)
        if (band == QLatin1String(kBands[b]))
            return b;
    return -1;
}

// The band whose nominal powers a page shows: the first band of the system on the
// first page (GSM until a 1800 or 1900 band is chosen), the second band on the second.
QString PageBand(const App& app, bool secondPage)
{
    const QString band = secondPage ? app.st.SystemCode.right(3) : app.st.SystemCode.left(3);
    if (band == QLatin1String("PCN") || band == QLatin1String("PCS"))
        return band;
    return secondPage ? QStringLiteral("PCN") : QStringLiteral("GSM");
}

void SetCells(CellArray& cells, const QString& text, Colour colour)
{
    for (int c = 1; c <= 3; ++c)
        cells[c] = Cell{text, colour};
}

// The buttons of a page: Continue (or More) and Print on the first; Continue, Back and
// Print on the second.
void SetUpButtons(const App& app, ResultPage& page, bool secondPage)
{
    auto show = [](CommandButton& button, const QString& caption) {
        button.Caption = caption;
        button.Visible = true;
        button.Enabled = true;
        button.TabStop = true;
    };
    show(page.Command1, Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Continue")));
    if (secondPage) {
        show(page.Command2, Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Back")));
        show(page.Command3, Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Print")));
    } else {
        show(page.Command2, Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Print")));
        page.Command3.Visible = false;
        page.Command3.TabStop = false;
    }
}

void SetUpPage(App& app, ResultPage& page, bool secondPage)
{
    const StationState& st = app.st;
    page.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "CELVIO - TEST REPORT")) +
                   (secondPage ? QStringLiteral(" (2)") : QString());
    page.Visible = false;
    page.Title.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "TEST REPORT"));
    SetUpButtons(app, page, secondPage);
    page.DateName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Date:"));
    page.TimeName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Time:"));
    page.MobileName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Mobile:"));
    page.TesterSerialName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Ser.No.:"));
    page.ImeiName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "IMEI:"));
    page.ImsiName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "IMSI:"));
    page.TesterModelName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Tester:"));
    page.FirmwareName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Firmware:"));
    page.VersionName.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Celvio:"));

    page.Date.Caption = st.CycleDate;
    page.Time.Caption = st.CycleTime;
    page.Mobile = Label{};
    page.Imei = Label{QStringLiteral("Not tested"), true, kYellow};
    page.Imsi = Label{QStringLiteral("Not tested"), true, kYellow};
    page.TesterModel.Caption = st.TesterModel;
    page.TesterSerial.Caption = st.TesterSerial;
    page.Firmware.Caption = st.TesterFirmware;
    page.Version.Caption = st.Version;
    page.Channel[0].Caption = QStringLiteral("TCH:");

    const QString deg = Tr(app, QT_TRANSLATE_NOOP("Celvio", " deg"));
    const qint32 frequency = secondPage ? st.LimitFrequencyHigh : st.LimitFrequency;
    auto row = [&](int r, const char* english, const QString& limit) {
        page.RowName[r].Caption = Tr(app, english);
        page.Limit[r].Caption = limit;
    };
    row(kRowPhaseRms, QT_TRANSLATE_NOOP("Celvio", "Phase Error RMS"),
        QStringLiteral("0 -") + Str(qint64(st.LimitPhaseRms)) + deg);
    row(kRowPhasePeak, QT_TRANSLATE_NOOP("Celvio", "Phase Error Peak"),
        QStringLiteral("0 -") + Str(qint64(st.LimitPhasePeak)) + deg);
    row(kRowFrequency, QT_TRANSLATE_NOOP("Celvio", "Frequency Error"),
        QStringLiteral("+/-") + Str(qint64(frequency)) + QStringLiteral(" Hz"));
    row(kRowBurstLength, QT_TRANSLATE_NOOP("Celvio", "Burst Length"),
        Str(qint64(553) - st.LimitBurstLength) + QStringLiteral(" -") + Str(qint64(553) + st.LimitBurstLength) +
            Tr(app, QT_TRANSLATE_NOOP("Celvio", " µsec")));
    row(kRowTemplate, QT_TRANSLATE_NOOP("Celvio", "Power-Time Template"), QString());
    row(kRowRxLevel, QT_TRANSLATE_NOOP("Celvio", "RX Level"), QString());
    row(kRowRxQuality, QT_TRANSLATE_NOOP("Celvio", "RX Quality"),
        QStringLiteral("0 -") + Str(qint64(st.LimitRxQuality)));
    row(kRowMobileOriginatedCall, QT_TRANSLATE_NOOP("Celvio", "Mobile Originated Call"), QString());
    row(kRowDialledNumber, QT_TRANSLATE_NOOP("Celvio", "Dialled Number"), QString());
    if (secondPage)
        row(kRowBaseOriginatedCall, QT_TRANSLATE_NOOP("Celvio", "Mobile Terminated Call"), QString());
    else
        row(kRowBaseOriginatedCall, QT_TRANSLATE_NOOP("Celvio", "Base Originated Call"), QString());
    row(kRowSpeechLoopback, QT_TRANSLATE_NOOP("Celvio", "Speech Loopback"), QString());
    for (int r = 0; r < kRowCount; ++r)
        page.Limit[r].Visible = st.ShowLimits == kTrue;

    // Every cell waits for its test; the cells that the test plan never fills say so:
    // the receiver rows in column 2, power slot 3 in columns 1 and 2, and power slot 2
    // in every column (no step of either band measures it).
    const QString notTested = QStringLiteral("Not tested");
    const QString notNeeded = QStringLiteral("Not needed");
    for (CellArray* cells : {&page.MSPower1, &page.MSPower3, &page.Label51, &page.Label52, &page.Label53,
                             &page.Label54, &page.Label55, &page.Label56, &page.Label57})
        SetCells(*cells, notTested, kYellow);
    SetCells(page.MSPower2, notNeeded, kYellow);
    page.Label56[2] = Cell{notNeeded, kYellow};
    page.Label57[2] = Cell{notNeeded, kYellow};
    for (int c = 1; c <= 2; ++c)
        page.MSPower3[c] = Cell{notNeeded, kYellow};
    for (Cell* cell : {&page.MobileOriginatedCall, &page.DialledNumber, &page.BaseOriginatedCall, &page.SpeechLoopback})
        *cell = Cell{notTested, kYellow};
}

void ShowBandOnPage(App& app, ResultPage& page, bool secondPage)
{
    const StationState& st = app.st;
    for (int b = 0; b < 3; ++b) {
        const QString band = QLatin1String(kBands[b]);
        for (int slot = 1; slot <= 6; ++slot) {
            const int nominal = NominalPower(band, st.MsPowerLevels[slot]);
            // Wider arithmetic: the limit may be any 32-bit number of the settings.
            page.PowerMin[b][slot] = ClampToInt32(qint64(nominal) - st.LimitTxPower);
            page.PowerMax[b][slot] = ClampToInt32(qint64(nominal) + st.LimitTxPower);
        }
    }
    const int first = secondPage ? 4 : 1;
    for (int c = 1; c <= 3; ++c) {
        const qint16 channel = st.TrafficChannels[first + c - 1];
        page.Channel[c].Caption = channel == 0 ? QString() : QString::number(channel);
    }
    const QString band = PageBand(app, secondPage);
    const int b = BandIndex(band);
    for (int i = 0; i < 3; ++i) {
        const int slot = first + i;
        const int level = st.MsPowerLevels[slot];
        page.RowName[kRowTxPower1 + i].Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "TX Power")) + QLatin1Char(' ') +
                                                 QString::number(level) + QStringLiteral(" (") +
                                                 QString::number(NominalPower(band, level)) + QStringLiteral(" dBm)");
        page.Limit[kRowTxPower1 + i].Caption = Str(qint64(page.PowerMin[b][slot])) + QStringLiteral(" -") +
                                               Str(qint64(page.PowerMax[b][slot])) + QStringLiteral(" dBm");
    }
}

}  // namespace

int NominalPower(const QString& band, int powerLevel)
{
    // 16-bit arithmetic, as the power levels are.
    if (band == QLatin1String("GSM"))
        return qint16(43 - 2 * powerLevel);
    if (band == QLatin1String("PCN") || band == QLatin1String("PCS"))
        return qint16(30 - 2 * powerLevel);
    return 0;
}

bool PowerRange(const App& app, const QString& band, int slot, qint32& minimum, qint32& maximum)
{
    const int b = BandIndex(band);
    if (b < 0 || slot < 1 || slot > 6)
        return false;
    minimum = app.Form3.PowerMin[b][slot];
    maximum = app.Form3.PowerMax[b][slot];
    return true;
}

void ShowBandOnResultPages(App& app)
{
    ShowBandOnPage(app, app.Form3, false);
    ShowBandOnPage(app, app.Form4, true);
}

void ShowExpectedRxLevel(App& app, int expected)
{
    const qint32 limit = app.st.LimitRxLevel;
    for (ResultPage* page : {&app.Form3, &app.Form4}) {
        page->RowName[kRowRxLevel].Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "RX Level")) + QStringLiteral(" (") +
                                             QString::number(expected) + QLatin1Char(')');
        page->Limit[kRowRxLevel].Caption =
            Str(qint64(expected) - limit) + QStringLiteral(" - ") + Str(qint64(expected) + limit);
    }
}

void SetUpResultPages(App& app)
{
    app.st.LastErrorText.clear();  // an error belongs to the cycle it happened in
    SetUpPage(app, app.Form3, false);
    SetUpPage(app, app.Form4, true);
    ShowBandOnResultPages(app);
}

void ShowCycleTimeOnResultPages(App& app)
{
    for (ResultPage* page : {&app.Form3, &app.Form4}) {
        page->Date.Caption = app.st.CycleDate;
        page->Time.Caption = app.st.CycleTime;
    }
}

void ShowModelOnResultPages(App& app)
{
    for (ResultPage* page : {&app.Form3, &app.Form4}) {
        page->Mobile.Caption = app.st.ModelName;
        page->Mobile.ForeColor = kGreen;
    }
}

void ShowBandIndependentRowsOnSecondPage(App& app)
{
    const ResultPage& first = app.Form3;
    ResultPage& second = app.Form4;
    second.MobileOriginatedCall = first.MobileOriginatedCall;
    second.DialledNumber = first.DialledNumber;
    second.BaseOriginatedCall = first.BaseOriginatedCall;
    second.SpeechLoopback = first.SpeechLoopback;
}

void MarkKeypadTestNotNeeded(App& app)
{
    app.Form3.DialledNumber.Caption = QStringLiteral("Not needed");
    app.Form3.DialledNumber.ForeColor = kYellow;
}

}  // namespace celvio
