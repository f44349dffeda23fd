// Placeholder: the start-up checks, settings reader and coupler file are not built yet.
// These stand-ins keep Main running until they land; they are not the real procedures.
#include "core/app.h"
#include "core/coupler.h"
#include "core/files.h"
#include "core/settings.h"
#include "core/startup_checks.h"

namespace celvio {

void StartupChecks(App& app)
{
    app.st.DebugMode = FileExists(app, QStringLiteral("DEBUGPM.INI")) ? kTrue : kFalse;
    app.st.ScanDebugMode = FileExists(app, QStringLiteral("DEBUGSC.INI")) ? kTrue : kFalse;
}

void ReloadSettings(App& app)
{
    app.st.Language = 1;
    app.st.TesterSpeed = 2;
}

void ReadSettings(App&) {}

qint16 PickChannel(App&, const QString&, const QString&, int lowest, int)
{
    return qint16(lowest);
}

short ReadCouplerChoice(App&)
{
    return 1;
}

void SaveCouplerChoice(App&, short) {}

static void CheckCoupler(App& app, int n)
{
    app.Form1.Mnu_CoupOld.Checked = n == 1;
    app.Form1.Mnu_CoupNew.Checked = n == 2;
    app.Form1.Mnu_CoupSBox.Checked = n == 3;
    app.Form1.Mnu_CoupSBoxK590.Checked = n == 4;
}

void Mnu_CoupOld_Click(App& app) { CheckCoupler(app, 1); }
void Mnu_CoupNew_Click(App& app) { CheckCoupler(app, 2); }
void Mnu_CoupSbox_Click(App& app) { CheckCoupler(app, 3); }
void Mnu_CoupSboxK590_Click(App& app) { CheckCoupler(app, 4); }

}  // namespace celvio
