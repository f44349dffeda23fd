#include "cycle/startup_checks.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/files.h"
#include "core/settings.h"
#include "core/text.h"

#include <QFile>

namespace celvio {

namespace {

// The files that the program rewrites must not be read-only (on this platform: the
// owner may write them). A missing file is no error.
void MakeWritable(App& app, const QString& name)
{
    if (!FileExists(app, name))
        return;
    const QString path = StationPath(app, name);
    const QFile::Permissions permissions = QFile::permissions(path);
    if (!(permissions & QFile::WriteOwner))
        QFile::setPermissions(path, permissions | QFile::WriteOwner);
}

void WarnNoBlockedChannels(App& app, const QString& title, const QString& lastLine)
{
    app.ui.MsgBox(QStringLiteral("No information about bad") + kCrLf + QStringLiteral("channels available.") + kCrLf +
                      lastLine,
                  msgbox::kOkOnly | msgbox::kExclamation, title);
}

[[noreturn]] void EndForMissingDataFile(App& app, const QString& name, const QString& what)
{
    app.ui.MsgBox(what + kCrLf + QStringLiteral("Measurements accuracy not guaranteed.") + kCrLf +
                      QStringLiteral("Please reinstall CELVIO."),
                  msgbox::kOkOnly | msgbox::kCritical, QStringLiteral("File '") + name + QStringLiteral("' not found."));
    app.ui.EndProgram(0);
}

}  // namespace

void StartupChecks(App& app)
{
    StationState& st = app.st;
    MakeWritable(app, QStringLiteral("BADCHAN.DAT"));
    MakeWritable(app, QStringLiteral("CELVIO.INI"));

    // The blocked-channel list: only a warning when it is missing or empty.
    if (!FileExists(app, QStringLiteral("BADCHAN.DAT"))) {
        WarnNoBlockedChannels(app, QStringLiteral("File 'BADCHAN.DAT' not found."),
                              QStringLiteral("Please start SCAN CHANNEL first"));
    } else {
        QString text;
        ReadBlockedChannelFile(app, text);  // an unreadable file counts as empty
        if (text.size() < 2)
            WarnNoBlockedChannels(app, QStringLiteral("File 'BADCHAN.DAT' empty."),
                                  QStringLiteral("Please start SCAN CHANNEL first."));
        else
            st.BlockedChannels = text;
    }

    // The files the program cannot work without, in this order; only the first one
    // missing is reported.
    if (!FileExists(app, QStringLiteral("CELVIO.INI")))
        EndForMissingSettings(app);
    if (!FileExists(app, QStringLiteral("TAC6N.DAT")))
        EndForMissingDataFile(app, QStringLiteral("TAC6N.DAT"), QStringLiteral("Mobile phone list not available."));
    if (!FileExists(app, QStringLiteral("MPN.DAT")))
        EndForMissingDataFile(app, QStringLiteral("MPN.DAT"), QStringLiteral("Mobile phone dat not available."));

    // Marker files: their presence switches the traces on; their contents are never read.
    st.DebugMode = FileExists(app, QStringLiteral("DEBUGPM.INI")) ? kTrue : kFalse;
    st.ScanDebugMode = FileExists(app, QStringLiteral("DEBUGSC.INI")) ? kTrue : kFalse;

    // A write that was cut off (the program killed, the power gone) leaves its
    // temporary file behind; the file it was meant for is still whole.
    RemoveStaleTemporaryFiles(app);
}

}  // namespace celvio
