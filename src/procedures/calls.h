#pragma once
#include <QString>
namespace celvio {
struct App;
// The call from the phone: purpose 0 keypad test, -2 swap, anything else scan.
void KeypadCallTest(App& app, int purpose);
// The call to the phone.
void BaseCallTest(App& app);
// The speech loop-back judged by ear.
void AudioTest(App& app, const QString& rxLevelText);
}  // namespace celvio
