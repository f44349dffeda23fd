#pragma once
namespace celvio {
struct App;
// The stored coupler number ("CPLCONN.INI"), 1 when there is none.
short ReadCouplerChoice(App& app);
// Writes the coupler number; errors are ignored.
void SaveCouplerChoice(App& app, short number);
// The coupler menu entries: a radio group.
void Mnu_CoupOld_Click(App& app);
void Mnu_CoupNew_Click(App& app);
void Mnu_CoupSbox_Click(App& app);
void Mnu_CoupSboxK590_Click(App& app);
}  // namespace celvio
