// The result file of a tested phone: one plain-text record per test under
// RESULTS/<first six IMEI digits>/, and the shorter record of a phone swapped
// without a test.
#pragma once

#include <QByteArray>
#include <QString>

namespace celvio {

struct App;
struct CycleRecord;

// Chooses a free file name for the phone and creates its folder. Asks for the IMEI
// first when `imeiText` is not one (then `imeiText` becomes the typed one). Returns
// "RESULTS/" + IMEI prefix + "/" + name + ".TXT" (relative to the station directory),
// or an empty text when the operator stopped at the IMEI entry.
QString ResultFileName(App& app, QString& imeiText);

// Writes the result file of the cycle's record (asking for the IMEI first when the
// record holds none that can name the file: the typed one goes into the record); sets
// ResultFilePath only when the file is complete on disk.
void WriteResultFile(App& app, CycleRecord& record);

// Writes the record of a phone swapped without a test: the phone handed in (OldImei)
// and the new one (Imei), named after the new IMEI.
void WriteDirectSwapFile(App& app);

}  // namespace celvio
