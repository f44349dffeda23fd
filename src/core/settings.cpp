// Reading CELVIO.INI: each line given to the setting of its key, the language, the
// dial number, and one message for every line that could not be used. The table of keys
// and the storing of numbers are in settings_table.cpp, the channels in
// settings_channels.cpp.
#include "core/settings.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/files.h"
#include "core/settings_table.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"

#include <QDir>
#include <vector>

namespace celvio {

using namespace settings_detail;

namespace {

const QString kSettingsFile = QStringLiteral("CELVIO.INI");
const QString kGsmSystemKey = QStringLiteral("GSMSYSTEM ");

// The LANGUAGE value: German for a value beginning with "DE" or "GER" (any case,
// leading blanks skipped), English for anything else.
quint8 LanguageIndex(const QString& value)
{
    const QString v = value.trimmed().toUpper();
    return v.startsWith(QLatin1String("DE")) || v.startsWith(QLatin1String("GER")) ? 2 : 1;
}

// The LANGUAGE value: what follows the key, without the blanks or marks in front of
// it, so that a short line ("LANGUAGE  EN") or a value that starts early still counts.
QString LanguageValue(const QString& line)
{
    QString value = line.mid(10);
    qsizetype start = 0;
    while (start < value.size() && !value[start].isLetterOrNumber())
        ++start;
    return value.mid(start);
}

void ApplySetting(App& app, const Setting& s, const QString& line, QList<Rejected>& rejected)
{
    if (s.kind == Kind::Language) {
        // Any LANGUAGE line selects a language; only a German value selects German.
        app.st.Language = LanguageIndex(LanguageValue(line));
        app.TextTranslation = ChooseTranslation(LanguageValue(line), app.TranslationFolders);
        return;
    }
    if (line.size() < 12) {
        TraceSettingFault(app, s.key, QStringLiteral("without a value, line ignored."));
        if (s.kind == Kind::Channel)
            StoreChannel(app, s, line, rejected);
        else
            rejected.append({line, s.kind == Kind::Text ? QString() : KeepSaneValue(app, s)});
        return;
    }
    const QString value = line.mid(12);
    switch (s.kind) {
    case Kind::Text: {
        // The dial number ends at the first blank; a remark may follow it.
        const qsizetype blank = value.indexOf(QLatin1Char(' '));
        if (blank < 0)
            TraceSettingFault(app, s.key, QStringLiteral("value without a blank after it, read to the end of the line."));
        app.st.DialNumber = value.left(blank);
        break;
    }
    case Kind::Channel: StoreChannel(app, s, line, rejected); break;
    default:
        if (!StoreNumber(s, value)) {
            TraceSettingFault(app, s.key, QStringLiteral("value out of range, line ignored: ") + value);
            rejected.append({line, KeepSaneValue(app, s)});
        } else if (!app.st.SettingsKeysRead.contains(s.key)) {
            app.st.SettingsKeysRead.append(s.key);
        }
        break;
    }
}

// One message for every line of this reading that could not be used.
void ReportRejected(App& app, const QList<Rejected>& rejected)
{
    if (rejected.isEmpty())
        return;
    QString text = Tr(app, QT_TRANSLATE_NOOP("Celvio", "These settings in CELVIO.INI cannot be used:")) + kCrLf;
    for (const Rejected& r : rejected) {
        text += r.line.trimmed() + QStringLiteral("   ->   ") +
                (r.used.isEmpty() ? Tr(app, QT_TRANSLATE_NOOP("Celvio", "ignored"))
                                  : Tr(app, QT_TRANSLATE_NOOP("Celvio", "used: ")) + r.used) +
                kCrLf;
        TraceLine(app, QStringLiteral("CELVIO.INI: not usable: ") + r.line.trimmed() + QStringLiteral(" -> ") +
                           (r.used.isEmpty() ? QStringLiteral("ignored") : r.used));
    }
    text += Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please correct the file."));
    app.ui.MsgBox(text, msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("CELVIO.INI"));
}

}  // namespace

void EndForMissingSettings(App& app)
{
    // The folder that was searched, and how to make a station there: an operator who
    // started the program in the wrong folder sees which one it was.
    app.ui.MsgBox(QStringLiteral("Unable to read initial settings.\r\nProgram continuation not possible.\r\n"
                                 "Program will be terminated.") +
                      QStringLiteral("\r\n\r\nFolder searched: ") + QDir::toNativeSeparators(app.StationDir) +
                      QStringLiteral("\r\nA new station folder is made with: celvio --init-station FOLDER"),
                  msgbox::kOkOnly | msgbox::kCritical, QStringLiteral("File 'CELVIO.INI' not found."));
    app.ui.EndProgram(0);
}

void ReloadSettings(App& app)
{
    QString blocked;
    ReadBlockedChannelFile(app, blocked);
    app.st.BlockedChannels = blocked;
    ReadSettings(app);
    ReadBlockedChannelFile(app, blocked);
    app.st.BlockedChannels = blocked;
}

void ReadSettings(App& app)
{
    QByteArray bytes;
    if (!FileExists(app, kSettingsFile) || !ReadFileBytes(StationPath(app, kSettingsFile), bytes))
        EndForMissingSettings(app);
    ReadSettingsBytes(app, bytes);
}

void ReadSettingsBytes(App& app, const QByteArray& bytes)
{
    const QStringList lines = SplitTextLines(bytes);
    app.st.TesterSpeed = 2;
    const std::vector<Setting> table = SettingsTable(app.st);
    QList<Rejected> rejected;
    // GSMSYSTEM decides the range of the low band's channels, so it is read first:
    // the channels then do not depend on where the line stands in the file.
    for (const bool gsmSystemPass : {true, false}) {
        for (const QString& line : lines) {
            const QString key = line.left(10);
            if ((key == kGsmSystemKey) != gsmSystemPass)
                continue;
            for (const Setting& setting : table) {
                if (setting.key == key) {
                    ApplySetting(app, setting, line, rejected);
                    break;
                }
            }
        }
    }
    // Without a LANGUAGE line the dialogs are English, never empty.
    if (app.st.Language == 0) {
        app.st.Language = 1;
        app.TextTranslation = {};
    }
    ReportRejected(app, rejected);
}

}  // namespace celvio
