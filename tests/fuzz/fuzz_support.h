// What the fuzz targets share: a platform that does nothing (no window, no port, no
// clock), an App bound to it, and the check that ends a run with a message.
#pragma once

#include "core/app.h"
#include "platform/platform.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

namespace celvio::fuzz {

// A platform for parsers: message boxes are counted and answered OK, events and
// pauses take no time, the clock stands still.
class QuietPlatform : public Platform {
public:
    void ProcessEvents(std::chrono::milliseconds) override {}
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    void ShowModal(Form5& form) override;
    QDateTime Now() override;
    qint64 MonotonicMs() override { return 0; }
    void Sleep(std::chrono::milliseconds) override {}
    QLocale Locale() override { return QLocale::c(); }
    SerialPort& Comm1() override;
    Printer& DefaultPrinter() override;

    QStringList boxes;     // the texts of the message boxes shown
    int form5Choice = -1;  // the entry the unknown-phone dialog selects (-1: CANCEL)
    QStringList form5List; // the entries it last offered
};

// The platform of FuzzApp().
QuietPlatform& Quiet();

// FuzzApp() made fresh for a run: a new station state, model record and windows, no
// message boxes recorded.
App& FreshApp();

// One App for the whole run, on a QuietPlatform; its station directory does not exist,
// so nothing a target runs can find or write a file there.
App& FuzzApp();

// Ends the run with `what` and the input when `ok` is false: libFuzzer keeps the input
// as a crash file.
void Check(bool ok, const char* what, const QString& detail = QString());

// The input as Latin-1 text, and as bytes.
QString Text(const uint8_t* data, size_t size);
QByteArray Bytes(const uint8_t* data, size_t size);

}  // namespace celvio::fuzz
