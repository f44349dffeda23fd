// The result file of a tested phone: one plain-text record per test under
// RESULTS/<first six IMEI digits>/, and the shorter record of a phone swapped
// without a test.
#pragma once

#include <QByteArray>
#include <QString>

namespace celvio {

struct App;

// Chooses a free file name for the phone and creates its folder. Asks for the IMEI
// first when `imeiText` is not one (then `imeiText` becomes the typed one). Returns
// "RESULTS/" + IMEI prefix + "/" + name + ".TXT" (relative to the station directory),
// or an empty text when the operator stopped at the IMEI entry.
QString ResultFileName(App& app, QString& imeiText);

// Writes the result file of the cycle from the first result page (and the second of a
// dual-band cycle); sets ResultFilePath only when the file is complete on disk.
void WriteResultFile(App& app);

// Writes the record of a phone swapped without a test, named after the new IMEI.
void WriteDirectSwapFile(App& app);

// "( min - max dBm )" of power slot 1..6 of the band of step 1..3 (first band) or
// 4..6 (second band); "(  dBm )" for a band without power tables.
QString PowerRangeText(const App& app, int slot, int step);

// The result file's contents as they would be written now (Latin-1, CR LF).
QByteArray ResultFileBytes(const App& app);

// The direct swap file's contents as they would be written now.
QByteArray DirectSwapFileBytes(const App& app);

}  // namespace celvio
