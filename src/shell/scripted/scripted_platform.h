// The scripted platform: a virtual clock that event processing advances, a scripted
// operator who presses buttons and answers message boxes, serial devices in process
// and a printer that captures what is printed. Whole cycles run through the real
// Main in milliseconds, the same way every time.
#pragma once

#include "core/app.h"
#include "platform/platform.h"
#include "platform/printer.h"
#include "shell/scripted/scripted_devices.h"
#include "platform/serial_port.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

namespace celvio {

// Thrown when the operator's script is done and the program waits at the mode
// dialog, or when virtual time runs past the watchdog.
struct ScriptFinished {};
struct ScriptStuck {
    QString what;
};

class ScriptedSerialPort : public SerialPort {
public:
    std::map<int, std::shared_ptr<SerialDevice>> devices;  // by port number
    int openCount = 0;

    int SetCommPort(int number) override;
    int CommPort() const override { return port_; }
    int SetSettings(const QString& settings) override;
    QString Settings() const override { return settings_; }
    int SetHandshaking(bool xonXoff) override;
    bool Handshaking() const { return xonXoff_; }
    int Open() override;
    int Close() override;
    bool IsOpen() const override { return open_ != nullptr; }
    int InBufferCount() override;
    QByteArray Input() override;
    int Output(const QByteArray& data) override;
    void ClearInput() override;
    void ClearOutput() override {}
    QString DevicePath(int number) const override
    {
        const auto it = names.find(number);
        return it != names.end() ? it->second : QStringLiteral("/dev/ttyS%1").arg(number - 1);
    }
    void NameDevice(int number, const QString& device) override { names[number] = device; }
    std::map<int, QString> names;  // devices named on screen, by port number
    int TakeLostError() override { return std::exchange(lostError_, 0); }
    QString OpenProblem() const override { return openProblem_; }

    // Pulls the cable: the open device goes away.
    void Lose();

private:
    int port_ = 1;
    QString settings_ = QStringLiteral("9600,N,8,1");
    bool xonXoff_ = false;
    std::shared_ptr<SerialDevice> open_;
    int lostError_ = 0;
    QString openProblem_;
};

class CapturingPrinter : public Printer {
public:
    struct Document {
        QString font;
        int fontSize = 0;
        QList<QStringList> pages;
    };
    QList<Document> documents;  // finished documents
    bool failing = false;       // every call fails, as with no printer at all

    int SetFont(const QString& name, int pointSize) override;
    int PrintLine(const QString& text) override;
    int NewPage() override;
    int EndDoc() override;
    QString LastError() const override { return failing ? QStringLiteral("printer failing") : QString(); }

private:
    Document current_;
    bool open_ = false;
};

// One recorded message box.
struct BoxRecord {
    QString title;
    QString text;
    int style = 0;
    int answer = 0;
};

class ScriptedPlatform : public Platform {
public:
    explicit ScriptedPlatform(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));

    void Bind(App& app) { app_ = &app; }

    // --- the operator's script, run in order -------------------------------------
    // Presses the main window button with this caption once it is visible and enabled.
    void Press(const QString& caption, qint64 afterMs = 0);
    // Triggers a window action (menu, key) once `when` holds (default: at once).
    void Do(UiAction action, std::function<bool(const App&)> when = {});
    // Types text into entry field Text<n> once it is visible.
    void Type(int field, const QString& text);
    // Waits until `when` holds before the next step.
    void Await(std::function<bool(const App&)> when, const QString& what);
    // Answers message boxes whose text or title contains `part`, `times` times.
    void Answer(const QString& part, int answer, int times = 1);
    // The entry that the unknown-phone dialog selects (-1: CANCEL).
    QList<int> form5Choices;

    // --- what happened -------------------------------------------------------------
    QList<BoxRecord> boxes;
    QList<QStringList> form5Lists;
    int StepsLeft() const { return int(steps_.size()); }

    // Virtual time limit after which the run is stuck (default 6 hours).
    qint64 watchdogMs = 6LL * 3600 * 1000;

    // --- Platform ------------------------------------------------------------------
    void ProcessEvents(std::chrono::milliseconds wait) override;
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    void ShowModal(Form5& form) override;
    QList<SerialDeviceInfo> SerialDevices() override { return serialDevices; }
    // Records the list shown and answers with `chooseRow` (-1, cancel, without one).
    int ChooseFromList(const QString& title, const QString& prompt, const QStringList& rows) override
    {
        lists.append(QStringList{title, prompt} + rows);
        return chooseRow ? chooseRow(rows) : -1;
    }
    QList<SerialDeviceInfo> serialDevices;          // what the system offers
    std::function<int(const QStringList&)> chooseRow;  // the operator's choice in a list
    QList<QStringList> lists;                        // each list shown: title, prompt, rows
    QDateTime Now() override { return start_.addMSecs(ms_); }
    qint64 MonotonicMs() override { return ms_; }
    void Sleep(std::chrono::milliseconds pause) override { Advance(int(pause.count())); }
    QLocale Locale() override { return locale_; }
    SerialPort& Comm1() override { return serial; }
    Printer& DefaultPrinter() override { return realPrinter ? *realPrinter : printer; }

    void Advance(qint64 ms);
    // Sets the calendar time of the current moment (the virtual clock runs on from it).
    void SetDateTime(const QDateTime& now) { start_ = now.addMSecs(-ms_); }
    // The machine's regional settings; a plain install's "C" unless a test says otherwise.
    void SetLocale(const QLocale& locale) { locale_ = locale; }
    std::function<qint64()> Clock() { return [this] { return ms_; }; }

    ScriptedSerialPort serial;
    CapturingPrinter printer;
    // A real printer (the PDF printer of the Qt platform) in place of `printer`.
    Printer* realPrinter = nullptr;

private:
    struct Step {
        std::function<bool(App&)> ready;  // true when the step can run now
        std::function<void(App&)> run;
        QString what;
        qint64 delayMs = 0;
        qint64 readySince = -1;
    };
    struct BoxRule {
        QString part;
        int answer;
        int times;
    };

    void RunOperator();
    QString Describe() const;

    App* app_ = nullptr;
    QDateTime start_;
    QLocale locale_ = QLocale::c();
    qint64 ms_ = 0;
    qint64 spins_ = 0;
    QList<Step> steps_;
    QList<BoxRule> rules_;
};

// Runs Main until the script is done or the program ends; returns the exit code, or
// -1 when the script finished with the program still running.
int RunMain(App& app);

}  // namespace celvio
