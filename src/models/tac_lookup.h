// From the IMEI to the phone model: the walk through the TAC tables and the
// "Unknown phone" dialog.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace celvio {

struct App;
class LfLineReader;

// Looks the IMEI's type allocation code up in the TAC tables, starting at
// app.TacFileName, and loads the model block found into app.Model. True when a model
// (or the default of a -9 line) was found; false leaves the record as it was.
bool LookupPhoneModel(App& app, const QString& imei);

// Offers the blocks of app.ModelDbFileName in the "Unknown phone" dialog; returns the
// chosen block name, or empty when the operator cancelled or the list was empty.
QString ChooseModel(App& app);

// The same with the blocks of a database opened by the caller (null: none).
QString ChooseModelFrom(App& app, LfLineReader* database);

// LookupPhoneModel over files held in memory instead of the station directory: `files`
// maps each name in capitals (TAC6N.DAT, USERTAC.DAT, MPN.DAT, ...) to its bytes. An
// assignment the operator makes is appended to files["USERTAC.DAT"].
bool LookupPhoneModelInTables(App& app, const QString& imei, QHash<QString, QByteArray>& files);

}  // namespace celvio
