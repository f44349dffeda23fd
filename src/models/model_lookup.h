#pragma once
#include <QString>
namespace celvio {
struct App;
// Maps the IMEI's type allocation code to a model and loads its block.
bool LookupPhoneModel(App& app, const QString& imei);
// Shows how to place the identified model in the coupler and waits for "&Done".
void ShowPositioningInstruction(App& app);
}  // namespace celvio
