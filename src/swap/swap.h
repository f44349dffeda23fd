// The exchange of a faulty phone: service point and customer data, the swap itself
// (in SWAP mode and after a failed test), the swap records and their archive.
#pragma once
#include <QString>
namespace celvio {
struct App;
// Reads the service point data ("swap.dat") at start-up, asking for it when missing.
void LoadServiceData(App& app);
// The customer data at the start of a TEST cycle.
void AskTestCustomerData(App& app);
// The customer data at the start of a SWAP cycle.
void AskSwapCustomerData(App& app);
// The exchange in SWAP mode: the old phone's IMEI, then the new phone.
void SwapInSwapMode(App& app);
// Offers the exchange of a phone that failed its test.
void SwapAfterFailedTest(App& app);
// Records an exchange (or a passed phone, result "PASS") in the day's record file.
void WriteSwapRecord(App& app, bool swapFile, const QString& result);
// Moves the day's record files into the archive.
void ArchiveSwapFiles(App& app);
// The service point identity entry (kind 2) and writing "swap.dat".
void EnterServicePointData(App& app);
}  // namespace celvio
