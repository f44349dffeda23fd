// Everything the program's logic needs from the outside world: event processing,
// message boxes, modal dialogs, the clock, the serial port and the printer. The real
// implementation is shell/qt; the scripted one (shell/scripted) runs whole cycles in
// virtual time for the tests.
#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QStringList>
#include <QString>
#include <chrono>
#include <stdexcept>

namespace celvio {

class SerialPort;
class Printer;
struct Form5;

// Message box styles and results, combined as flags: one button set plus one icon.
namespace msgbox {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kOk = 1;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace msgbox

// A serial device the operator may choose for a port: its path (a name under
// /dev/serial/by-id/ where the system gives one) and what it is, in a few words.
struct SerialDeviceInfo {
    QString path;
    QString description;
};

// Thrown to end the program (the quit path, a fatal start-up check, a wrong tester).
// Caught only where Main is started.
struct ProgramEnd {
    int exitCode = 0;
};

// A wait for events without a time limit: it ends when an event has been handled.
inline constexpr std::chrono::milliseconds kUntilEvent = std::chrono::milliseconds::max();

class Platform {
public:
    virtual ~Platform() = default;

    // Lets pending user interface events run. With a wait of 0 it never blocks (and may
    // skip the work when called again within a few milliseconds); with a longer wait it
    // blocks up to that long (kUntilEvent: without limit) until an event has been
    // handled, so that waiting costs next to no CPU.
    virtual void ProcessEvents(std::chrono::milliseconds wait) = 0;

    // A modal message box; returns msgbox::kOk, kYes or kNo.
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;

    // The unknown-phone dialog, modal. Leaves the choice in form.Selected.
    virtual void ShowModal(Form5& form) = 0;

    // Wall clock (local time), a monotonic clock and a plain sleep (no events served).
    virtual QDateTime Now() = 0;
    virtual qint64 MonotonicMs() = 0;
    virtual void Sleep(std::chrono::milliseconds pause) = 0;

    // The machine's regional settings: they choose whether dates begin with the day
    // or the month (see DateText).
    virtual QLocale Locale() = 0;

    virtual SerialPort& Comm1() = 0;
    virtual Printer& DefaultPrinter() = 0;

    // The serial devices to choose from: the system's, names under /dev/serial/by-id/
    // first, then those that the station or the environment names.
    virtual QList<SerialDeviceInfo> SerialDevices() { return {}; }
    // A modal list of `rows` under `prompt`; the row chosen, or -1 when the operator
    // cancelled.
    virtual int ChooseFromList(const QString& /*title*/, const QString& /*prompt*/, const QStringList& /*rows*/)
    {
        return -1;
    }

    // Ends the program at once: throws ProgramEnd.
    [[noreturn]] void EndProgram(int exitCode = 0) { throw ProgramEnd{exitCode}; }
};

}  // namespace celvio
