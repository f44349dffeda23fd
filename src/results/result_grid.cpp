#include "results/result_grid.h"

#include "core/app.h"
#include "core/translation.h"
#include "record/cycle_record.h"

namespace celvio {

namespace {

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

// The captions of a page that do not change during a cycle.
void SetUpPage(App& app, ResultPage& page, bool secondPage)
{
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
    page.Channel[0].Caption = QStringLiteral("TCH:");
}

// The phone's identity: green once the tester read it, yellow "Not tested" before.
Label IdentityLabel(const CycleRecord& r, const QString& text)
{
    return Label{text, true, r.PhoneIdentified ? kGreen : kYellow};
}

void ShowHeader(const CycleRecord& r, ResultPage& page)
{
    page.Date.Caption = r.DateText;
    page.Time.Caption = r.TimeText;
    page.Mobile = r.Model.isEmpty() ? Label{} : Label{r.Model, true, kGreen};
    page.Imei = IdentityLabel(r, r.Imei);
    page.Imsi = IdentityLabel(r, r.Imsi);
    page.TesterModel.Caption = r.TesterModel;
    page.TesterSerial.Caption = r.TesterSerial;
    page.Firmware.Caption = r.TesterFirmware;
    page.Version.Caption = r.Version;
}

void ShowGrid(const App& app, const CycleRecord& r, ResultPage& page, int band)
{
    for (int c = 1; c <= kChannelColumns; ++c) {
        const qint16 channel = r.TrafficChannels[(band - 1) * kChannelColumns + c];
        page.Channel[c].Caption = channel == 0 ? QString() : QString::number(channel);
    }
    for (int i = 0; i < kRowCount; ++i) {
        const RowId row = RowAt(i);
        const bool call = IsCallRow(row);
        page.RowName[i].Caption = call ? RowBaseName(row, app.st.Language, band == 2) : r.Bands[band - 1].RowNames[i];
        page.Limit[i].Caption = call ? QString() : r.At(band, row, 1).Limits.Text;
        page.Limit[i].Visible = app.st.ShowLimits == kTrue;
        for (int c = 1; c <= (call ? 1 : kChannelColumns); ++c) {
            const Reading& cell = r.At(band, row, c);
            page.Cells[i][c] = Cell{CaptionOf(row, cell), ColourOf(cell.Outcome)};
        }
    }
}

}  // namespace

void SetUpResultPages(App& app, const CycleRecord& record)
{
    app.st.LastErrorText.clear();  // an error belongs to the cycle it happened in
    SetUpPage(app, app.Form3, false);
    SetUpPage(app, app.Form4, true);
    ShowRecordOnResultPages(app, record);
}

void ShowRecordOnResultPages(App& app, const CycleRecord& record)
{
    ShowHeader(record, app.Form3);
    ShowHeader(record, app.Form4);
    ShowGrid(app, record, app.Form3, 1);
    ShowGrid(app, record, app.Form4, 2);
}

}  // namespace celvio
