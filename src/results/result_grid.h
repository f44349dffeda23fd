// The grid of the two result pages: titles, header captions, row names, limits, the
// identity rows and the initial state of every cell (SetUpResultPages, declared in
// verdict.h), and the power figures that the transmitter rows and reports share.
#pragma once

#include <QString>

namespace celvio {

struct App;

// Nominal output power of a power control level: 43 - 2 * level dBm on "GSM",
// 30 - 2 * level dBm on "PCN" and "PCS", 0 for any other band text.
int NominalPower(const QString& band, int powerLevel);

// The power range set up for the cycle for a band ("GSM", "PCN", "PCS") and power
// slot 1..6. False (and nothing changed) for another band or slot.
bool PowerRange(const App& app, const QString& band, int slot, qint32& minimum, qint32& maximum);

// Writes what depends on the cycle's system and channels into both pages: the channel
// headings and the names and limits of the TX power rows. Cells are not touched.
void ShowBandOnResultPages(App& app);

// Shows the RX level that the phone should report on both pages: the row title
// "RX Level (E)" and the limit range E -/+ the RX level limit.
void ShowExpectedRxLevel(App& app, int expected);

// Shows the cycle's date and time (CycleDate, CycleTime) on both pages.
void ShowCycleTimeOnResultPages(App& app);

// Shows the identified model (ModelName) on both pages, in green.
void ShowModelOnResultPages(App& app);

// The calls, the dialled number and the speech loop-back are tested once, whatever the
// band, and their cells are filled on the first page; the second page shows the same
// outcome in its rows, so that it never reads "Not tested" for a test that was done.
void ShowBandIndependentRowsOnSecondPage(App& app);

// The keypad result of a model that needs no keypad test: the dialled-number cell
// reads "Not needed" in yellow.
void MarkKeypadTestNotNeeded(App& app);

}  // namespace celvio
