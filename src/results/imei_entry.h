// Typing in an IMEI on the main window, for a phone whose IMEI could not be read.
#pragma once

#include <QString>

namespace celvio {

struct App;

// The kinds of IMEI entry: whose IMEI is asked for, under which title.
enum class ImeiPrompt {
    OldPhone = 0,               // "Test Failed!": the old phone
    NewPhone = 1,               // "Test Failed!": the new phone
    Phone = 2,                  // "IMEI Input": a phone
    PhoneAfterFailedTest = -1,  // "Test Failed!": a phone
};

// The IMEI entry. Waits for "&OK" or STOP; sets Imei to the typed text without blanks,
// "/", "-" and "." once it is 15 characters that can form a file name. On STOP Imei is
// left as it was.
void EnterImei(App& app, ImeiPrompt kind);

// True when `imei` is 15 characters, none of which is out of place in a file name
// (no path separators, wildcards, quotes, blanks or control characters, Latin-1 only).
bool UsableImei(const QString& imei);

}  // namespace celvio
