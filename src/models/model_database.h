// The phone model database: one block per model with the bands, the path attenuation
// per coupler and part of the band, pictures, instruction texts and test switches.
#pragma once

#include <QByteArray>
#include <QString>

namespace celvio {

struct App;
class LfLineReader;

// The bit of a BANDS value ("900" 1, "1800" 2, "1900" 4, "850" 8, "E900" 16,
// "450" 32, "R900" 64, "800" 128); 0 for anything else. Exact, case-sensitive.
quint16 BandBit(const QString& value);

// Loads the block `blockName` of the database app.ModelDbFileName into app.Model.
// The record is reset first (HOLDER and the name excepted); a block that is not
// found, a missing database or a stop request during the search leave it reset.
void LoadModelData(App& app, const QString& blockName);

// The same from the database's bytes (null: there is no database).
void LoadModelDataFromBytes(App& app, const QByteArray* database, const QString& blockName);

// The same from a database opened by the caller (null: there is none); reads from
// where the reader stands.
void LoadModelDataFrom(App& app, LfLineReader* database, const QString& blockName);

// Empties the record for the next phone (name, attenuations, pictures, flags,
// warnings); only HOLDER is kept, as between loads.
void ClearModelRecord(App& app);

// The RX and TX path attenuation of the loaded model for a channel of the band under
// test (`systemName` decides between the 1800 and 1900 ranges). Channels above 1023
// leave both outputs unchanged.
void AttenuationForChannel(const App& app, qint16 channel, const QString& systemName, float& rx, float& tx);

}  // namespace celvio
