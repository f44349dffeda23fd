#include "results/imei_entry.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"

namespace celvio {

namespace {

constexpr int kImeiLength = 15;
constexpr int kEntryLength = 18;

QString EntryTitle(const App& app, ImeiPrompt kind)
{
    if (kind == ImeiPrompt::Phone)
        return Tr(app, QT_TRANSLATE_NOOP("Celvio", "IMEI Input"));
    return Tr(app, QT_TRANSLATE_NOOP("Celvio", "Test Failed!"));
}

QString EntryPrompt(const App& app, ImeiPrompt kind)
{
    switch (kind) {
    case ImeiPrompt::OldPhone:
        return Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please enter the IMEI Number of the old phone:"));
    case ImeiPrompt::NewPhone:
        return Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please enter the IMEI Number of the new phone:"));
    default:
        return Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please enter the IMEI Number of the phone:"));
    }
}

}  // namespace

bool UsableImei(const QString& imei)
{
    if (imei.size() != kImeiLength)
        return false;
    for (const QChar c : imei) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F || c.unicode() > 0xFF)
            return false;
        if (QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

void EnterImei(App& app, ImeiPrompt kind)
{
    Form1& f = app.Form1;
    StationState& st = app.st;
    SetHelpTopic(app, HelpTopic::ImeiNotFound);
    f.MStop.Enabled = true;
    f.Label4.Caption = EntryTitle(app, kind);
    f.Label4.Visible = true;
    f.Label3.Caption = kCrLf + EntryPrompt(app, kind) + kCrLf;
    TextBox& entry = f.Text1;
    entry.Text.clear();
    entry.Caption.clear();
    entry.MaxLength = kEntryLength;
    entry.Enabled = true;
    entry.Visible = true;
    CommandButton& ok = f.Command2;
    ok.Caption = QStringLiteral("&OK");
    ok.Visible = true;
    ok.Enabled = true;
    ok.TabStop = true;
    f.SetFocus(11);
    st.Command2Pressed = kFalse;
    for (;;) {
        while (st.Command2Pressed != kTrue && st.StopRequested != kTrue)
            WaitEvents(app);
        if (st.StopRequested == kTrue)
            break;
        st.Command2Pressed = kFalse;
        QString typed = entry.Text.left(kEntryLength);
        // Separators that the operator may type between the digit groups.
        for (const char separator : {' ', '/', '-', '.'})
            typed.remove(QLatin1Char(separator));
        if (UsableImei(typed)) {
            st.Imei = typed;
            TraceLine(app, QStringLiteral("IMEI entered: ") + typed);
            break;
        }
        app.ui.MsgBox(QStringLiteral("Please enter all 15 digits of the IMEI."), msgbox::kOkOnly | msgbox::kExclamation,
                      QString());
        f.SetFocus(11);
    }
    st.Command2Pressed = kFalse;
    entry.Visible = false;
    entry.Text.clear();
    ok.Visible = false;
    ok.TabStop = false;
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
    f.MStop.Enabled = false;
}

}  // namespace celvio
