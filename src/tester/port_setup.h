// What the two port set-up screens and the tester identification share: the line
// speed from COMSPEED, the set-up screen's buttons, and the identity answer of the
// tester ("*IDN?"): maker, model, serial field, separator and firmware version.
#pragma once

#include <QString>

namespace celvio {

struct App;

// The speed that COMSPEED (TesterSpeed 0..3) selects, as shown to the operator:
// "4800", "9600", "19200" or "38400". Any other value uses 19200, the default, so
// that the port and the instructions always agree.
QString TesterSpeedText(const App& app);
// The port settings text for that speed: speed + ",N,8,1".
QString TesterPortSettings(const App& app);


// Shows the buttons Command1..Command3 (and Command4 when `caption4` is given) with
// these captions (an empty caption leaves the button hidden), clears their flags, gives
// `focus` the focus and waits, serving the window, until one of them is pressed. Hides
// the buttons, clears the flags and returns the number of the button pressed.
int WaitForSetupButton(App& app, const QString& caption1, const QString& caption2, const QString& caption3,
                       int focus, const QString& caption4 = QString());

// The probe's error number, traced with the port's, for a port that stayed silent.
constexpr int kNoResponse = 1000;

struct IdentityAnswer {
    QString model;
    QString serial;    // 7 characters
    QString firmware;  // up to the end of the answer line
};

// Takes the identity apart: the model lies between the first and the second comma;
// the serial number is the 7 characters that follow the 3 skipped characters after the
// second comma; the firmware version begins after one more separator character and
// runs to the end of the line. Only the first line of the answer counts, so that its
// line end (and a second answer behind it) stays out of the firmware text. A short
// answer keeps what it has (the serial and firmware may be short or empty; without a
// second comma the model runs to the end of the line). False without a comma.
bool ParseTesterIdentity(const QString& answer, IdentityAnswer& identity);

// Records the identity for the screens and reports: the station state's tester
// fields and, in green, the identity labels of both result pages.
void ShowTesterIdentity(App& app, const IdentityAnswer& identity);

}  // namespace celvio
