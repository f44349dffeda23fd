// Reading the phone's identity (IMEI, IMSI) and clearing the call between the steps.
#include "procedures/phone_identity.h"

#include "core/app.h"
#include "core/events.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "core/translation.h"
#include "tester/transport.h"

namespace celvio {

namespace {

// An IMEI for phones that do not report one; its last digit is the check digit of
// the first fourteen, so it passes as any other IMEI.
const QString kSubstituteImei = QStringLiteral("999999000000006");

// The plain pause after clearing a call, so that the phone is back on the control
// channel before the next command.
constexpr std::chrono::milliseconds kAfterReleasePause{500};

bool IsDigits(const QString& text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString AskPhone(App& app, TesterOp query)
{
    Send(app, query);
    return ReadAnswer(app);
}

}  // namespace

int LuhnCheckDigit(const QString& fourteenDigits)
{
    int sum = 0;
    for (int i = 0; i < 14 && i < fourteenDigits.size(); ++i) {
        int digit = fourteenDigits[i].unicode() - '0';
        if (i % 2 == 1) {  // positions 2, 4, ..., 14
            digit *= 2;
            if (digit >= 10)
                digit -= 9;
        }
        sum += digit;
    }
    return sum % 10 == 0 ? 0 : 10 - sum % 10;
}

PhoneIdentity IdentifyPhone(App& app)
{
    const StationState& st = app.st;
    Form1& f = app.Form1;
    f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Identifying Phone..."));
    f.Label4.Visible = true;
    f.Pointer = MousePointer::Hourglass;
    DoEvents(app);

    PhoneIdentity identity;
    const QString imeiAnswer = AskPhone(app, TesterOp::PhoneImei);
    if (st.StopRequested == kTrue)
        return identity;
    QString imei = imeiAnswer.left(15);
    if (imei.size() == 15 && IsDigits(imei)) {
        identity.Imei = imei;
        const QString revision = AskPhone(app, TesterOp::PhoneRevision);
        if (st.StopRequested == kTrue)
            return identity;
        // Revision level 1: the phone reports a spare digit in place of the check digit.
        if (ReadNumber(revision) == 1)
            imei = imei.left(14) + QString::number(LuhnCheckDigit(imei.left(14)));
    } else {
        imei = kSubstituteImei;
    }
    identity.Imei = imei;

    const QString imsiAnswer = AskPhone(app, TesterOp::PhoneImsi);
    if (st.StopRequested == kTrue)
        return identity;
    // A shorter IMSI must not carry the answer's line end into the records.
    identity.Imsi = AnswerLine(imsiAnswer).left(15);

    f.Pointer = MousePointer::Normal;
    return identity;
}

void ReleaseBaseStation(App& app)
{
    app.Form1.Pointer = MousePointer::Hourglass;
    Send(app, TesterOp::RemoteDisplayText, {QStringLiteral("BS Clear")});
    AskPhone(app, TesterOp::ReleaseCallThenEvents);
    Send(app, TesterOp::RemoteDisplayText, {QStringLiteral(" ")});
    app.st.TesterBusy = 0;
    app.ui.Sleep(kAfterReleasePause);
    app.Form1.Pointer = MousePointer::Normal;
}

}  // namespace celvio
