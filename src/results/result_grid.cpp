#include "results/result_grid.h"

#include "core/app.h"
#include "core/bilingual.h"
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
    show(page.Command1, Bilingual(app, "&Continue", "&Weiter"));
    if (secondPage) {
        show(page.Command2, Bilingual(app, "&Back", "&Zurück"));
        show(page.Command3, Bilingual(app, "&Print", "&Ausdruck"));
    } else {
        show(page.Command2, Bilingual(app, "&Print", "&Ausdruck"));
        page.Command3.Visible = false;
        page.Command3.TabStop = false;
    }
}

// The captions of a page that do not change during a cycle.
void SetUpPage(App& app, ResultPage& page, bool secondPage)
{
    page.Caption = Bilingual(app, "CELVIO - TEST REPORT", "CELVIO - TESTBERICHT") +
                   (secondPage ? QStringLiteral(" (2)") : QString());
    page.Visible = false;
    page.Title.Caption = Bilingual(app, "TEST REPORT", "TESTBERICHT");
    SetUpButtons(app, page, secondPage);
    page.DateName.Caption = Bilingual(app, "Date:", "Datum:");
    page.TimeName.Caption = Bilingual(app, "Time:", "Zeit:");
    page.MobileName.Caption = Bilingual(app, "Mobile:", "Telefon:");
    page.TesterSerialName.Caption = Bilingual(app, "Ser.No.:", "Ser.Nr.:");
    page.ImeiName.Caption = Bilingual(app, "IMEI:", "IMEI:");
    page.ImsiName.Caption = Bilingual(app, "IMSI:", "IMSI:");
    page.TesterModelName.Caption = Bilingual(app, "Tester:", "Tester:");
    page.FirmwareName.Caption = Bilingual(app, "Firmware:", "Firmware:");
    page.VersionName.Caption = Bilingual(app, "Celvio:", "Celvio:");
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
