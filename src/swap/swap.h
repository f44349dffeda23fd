#pragma once
#include <QString>
namespace celvio {
struct App;
void LoadServiceData(App& app);
void AskTestCustomerData(App& app);
void AskSwapCustomerData(App& app);
void SwapInSwapMode(App& app);
void SwapAfterFailedTest(App& app);
void WriteSwapRecord(App& app, bool swapFile, const QString& result);
void ArchiveSwapFiles(App& app);
// The service point identity entry (kind 2) and writing "swap.dat".
void EnterServicePointData(App& app);
}  // namespace celvio
