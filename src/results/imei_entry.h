// Typing in an IMEI on the main window, for a phone whose IMEI could not be read.
#pragma once

#include <QString>

namespace celvio {

struct App;

// The IMEI entry: kind 0 old phone, 1 new phone, 2 a phone (own title), other values
// a phone after a failed test. Waits for "&OK" or STOP; sets Imei to the typed text
// without blanks, "/", "-" and "." once it is 15 characters that can form a file name.
// On STOP Imei is left as it was.
void EnterImei(App& app, int kind);

// True when `imei` is 15 characters, none of which is out of place in a file name
// (no path separators, wildcards, quotes, blanks or control characters, Latin-1 only).
bool UsableImei(const QString& imei);

}  // namespace celvio
