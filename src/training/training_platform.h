// The platform of a training program: the real (or the tests') platform, with every
// wait for the trainee timed for the session's summary and every printed page marked.
#pragma once

#include "platform/platform.h"
#include "platform/printer.h"

#include <memory>

namespace celvio {

struct App;
class TrainingSession;

// A printer whose every page begins with the marking line.
class MarkingPrinter : public Printer {
public:
    MarkingPrinter(Printer& inner, QString mark) : inner_(inner), mark_(std::move(mark)) {}
    int SetFont(const QString& name, int pointSize) override { return inner_.SetFont(name, pointSize); }
    int PrintLine(const QString& text) override;
    int NewPage() override;
    int EndDoc() override;
    QString LastError() const override { return inner_.LastError(); }
    QString FailedFile() const override { return inner_.FailedFile(); }

private:
    Printer& inner_;
    QString mark_;
    bool pageTop_ = true;
};

class TrainingPlatform : public Platform {
public:
    TrainingPlatform(Platform& inner, TrainingSession& session, QString mark);
    // The program whose main window names the step the trainee is at.
    void Bind(const App& app) { app_ = &app; }

    void ProcessEvents(std::chrono::milliseconds wait) override;
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    void ShowModal(Form5& form) override;
    QDateTime Now() override { return inner_.Now(); }
    qint64 MonotonicMs() override { return inner_.MonotonicMs(); }
    void Sleep(std::chrono::milliseconds pause) override { inner_.Sleep(pause); }
    QLocale Locale() override { return inner_.Locale(); }
    SerialPort& Comm1() override { return inner_.Comm1(); }
    Printer& DefaultPrinter() override;

private:
    Platform& inner_;
    TrainingSession& session_;
    const App* app_ = nullptr;
    QString mark_;
    Printer* markedFor_ = nullptr;  // the inner printer that printer_ wraps
    std::unique_ptr<MarkingPrinter> printer_;
};

}  // namespace celvio
