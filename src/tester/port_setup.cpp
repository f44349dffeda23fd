#include "tester/port_setup.h"

#include "core/app.h"
#include "core/events.h"

namespace celvio {

QString TesterSpeedText(const App& app)
{
    switch (app.st.TesterSpeed) {
    case 0: return QStringLiteral("4800");
    case 1: return QStringLiteral("9600");
    case 3: return QStringLiteral("38400");
    default: return QStringLiteral("19200");
    }
}

QString TesterPortSettings(const App& app)
{
    return TesterSpeedText(app) + QStringLiteral(",N,8,1");
}

int WaitForSetupButton(App& app, const QString& caption1, const QString& caption2, const QString& caption3,
                       int focus, const QString& caption4)
{
    Form1& f = app.Form1;
    StationState& st = app.st;
    const QString* captions[] = {&caption1, &caption2, &caption3, &caption4};
    // The fourth button is the set-up screen's only when it has a caption.
    const int buttons = caption4.isEmpty() ? 3 : 4;
    Flag* flags[] = {&st.Command1Pressed, &st.Command2Pressed, &st.Command3Pressed, &st.Command4Pressed};
    for (int n = 1; n <= buttons; ++n) {
        CommandButton& b = f.Command(n);
        b.Caption = *captions[n - 1];
        b.Visible = !b.Caption.isEmpty();
        b.Enabled = b.Visible;
        b.TabStop = b.Visible;
        *flags[n - 1] = kFalse;
    }
    f.SetFocus(focus);
    int pressed = 0;
    while (pressed == 0) {
        for (int n = 1; n <= buttons && pressed == 0; ++n) {
            if (*flags[n - 1] == kTrue)
                pressed = n;
        }
        if (pressed == 0)
            WaitEvents(app);
    }
    for (int n = 1; n <= buttons; ++n) {
        *flags[n - 1] = kFalse;
        f.Command(n).Visible = false;
        f.Command(n).TabStop = false;
    }
    return pressed;
}

bool ParseTesterIdentity(const QString& answer, IdentityAnswer& identity)
{
    auto lineEnd = [&answer](qsizetype i) { return answer[i] == QLatin1Char('\r') || answer[i] == QLatin1Char('\n'); };
    qsizetype start = 0;
    while (start < answer.size() && lineEnd(start))
        ++start;
    qsizetype end = start;
    while (end < answer.size() && !lineEnd(end))
        ++end;
    const QString line = answer.mid(start, end - start);
    const qsizetype c1 = line.indexOf(QLatin1Char(','));
    if (c1 < 0)
        return false;
    const qsizetype c2 = line.indexOf(QLatin1Char(','), c1 + 1);
    // A short or missing serial or firmware field keeps what is there.
    identity.model = line.mid(c1 + 1, c2 < 0 ? -1 : c2 - c1 - 1);
    identity.serial = c2 < 0 ? QString() : line.mid(c2 + 4, 7);
    identity.firmware = c2 < 0 ? QString() : line.mid(c2 + 12);
    return true;
}

void ShowTesterIdentity(App& app, const IdentityAnswer& identity)
{
    app.st.TesterModel = identity.model;
    app.st.TesterSerial = identity.serial;
    app.st.TesterFirmware = identity.firmware;
    for (ResultPage* page : {&app.Form3, &app.Form4}) {
        page->TesterModel.Caption = identity.model;
        page->TesterSerial.Caption = identity.serial;
        page->Firmware.Caption = identity.firmware;
        page->TesterModel.ForeColor = page->TesterSerial.ForeColor = page->Firmware.ForeColor = kGreen;
    }
}

}  // namespace celvio
