// The coupler between the phone and the tester: the COUPLER menu (a radio group of
// four entries) and the choice stored in "CPLCONN.INI" for the next start.
#pragma once
#include <QByteArray>
namespace celvio {
struct App;
// The stored coupler number ("CPLCONN.INI"): 1 when there is no file, else the
// numeric value of its first line (0 when it holds no number or one beyond 16 bits).
short ReadCouplerChoice(App& app);
// The same from the bytes of the file (ReadCouplerChoice reads the file and calls it).
short CouplerChoiceFromBytes(App& app, const QByteArray& bytes);
// The bytes that SaveCouplerChoice writes: the number as " 2" or "-3", then CR LF.
QByteArray CouplerFileBytes(short number);
// Writes the coupler number (" 2" CR LF); errors are ignored, and a read-only file is
// left as it is.
void SaveCouplerChoice(App& app, short number);
// The coupler menu entries: each checks its own entry and clears the other three.
void Mnu_CoupOld_Click(App& app);
void Mnu_CoupNew_Click(App& app);
void Mnu_CoupSbox_Click(App& app);
void Mnu_CoupSboxK590_Click(App& app);
}  // namespace celvio
