#include "models/tac_lookup.h"

#include "core/app.h"
#include "core/events.h"
#include "core/files.h"
#include "core/line_reader.h"
#include "core/station_names.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"
#include "models/model_database.h"

#include <QFileInfo>
#include <memory>
#include <optional>
#include <set>
#include <utility>

namespace celvio {
namespace {

using Key = std::optional<qint32>;  // nullopt: a number that does not fit 32 bits

// What a walk ends with: the model name to show and the block to load.
struct Match {
    QString name;
    QString block;
};

const QString kUserTacFile = QStringLiteral("USERTAC.DAT");

// The value of the first `digits` characters of the IMEI.
Key ImeiKey(const QString& imei, int digits)
{
    return LeadingInteger(QStringView(imei).left(digits));
}

bool IsDirective(const Key& number)
{
    return number && *number >= -9 && *number <= -1;
}

// A line matches when its number is the key. Lines without a number (0), numbers out
// of range and directive numbers never match, so a key of 0 (an IMEI not read, after a
// -6 or -8 line) cannot pick a blank or comment line as the phone's model.
bool Matches(const Key& number, const Key& key)
{
    return number && key && *key != 0 && !IsDirective(key) && *number == *key;
}

// A matched line: the model name is its value as written, the block its value
// without spaces.
Match MatchOf(const QString& raw)
{
    return {ValuePart(raw), ValuePart(StripSpaces(raw))};
}

bool Stopped(const App& app)
{
    return app.st.StopRequested == kTrue;
}

// Where the walk finds its tables and the model database, and where the operator's
// assignments go: the station directory, or files held in memory.
class TableSource {
public:
    virtual ~TableSource() = default;
    virtual bool Exists(App& app, const QString& name) = 0;
    virtual bool Open(App& app, const QString& name, LfLineReader& reader) = 0;
    // The same text for every name of one file: the loop guard compares them.
    virtual QString Identity(App& app, const QString& name) = 0;
    virtual void LoadModel(App& app, const QString& block) = 0;
    virtual QString Choose(App& app) = 0;
    // Appends a line to USERTAC.DAT, whole or not at all; `reason` says why it was not.
    virtual bool AppendUserLine(App& app, const QByteArray& line, QString& reason) = 0;
};

class StationTables : public TableSource {
public:
    bool Exists(App& app, const QString& name) override { return FileExists(app, name); }
    bool Open(App& app, const QString& name, LfLineReader& reader) override
    {
        return reader.Open(StationPath(app, name));
    }
    QString Identity(App& app, const QString& name) override
    {
        return QFileInfo(StationPath(app, name)).canonicalFilePath();
    }
    void LoadModel(App& app, const QString& block) override { LoadModelData(app, block); }
    QString Choose(App& app) override { return ChooseModel(app); }
    bool AppendUserLine(App& app, const QByteArray& line, QString& reason) override
    {
        return AppendLine(StationPath(app, kUserTacFile), line, &reason, &app.FileSeams.Fault);
    }
};

// Files in memory, by name in capitals.
class MemoryTables : public TableSource {
public:
    explicit MemoryTables(QHash<QString, QByteArray>& files) : files_(files) {}
    bool Exists(App&, const QString& name) override { return !name.isEmpty() && files_.contains(name.toUpper()); }
    bool Open(App& app, const QString& name, LfLineReader& reader) override
    {
        if (!Exists(app, name))
            return false;
        reader.OpenBytes(files_.value(name.toUpper()));
        return true;
    }
    QString Identity(App&, const QString& name) override { return name.toUpper(); }
    void LoadModel(App& app, const QString& block) override
    {
        const auto found = files_.constFind(app.ModelDbFileName.toUpper());
        LoadModelDataFromBytes(app, found == files_.cend() ? nullptr : &found.value(), block);
    }
    QString Choose(App& app) override
    {
        LfLineReader reader;
        const bool open = Open(app, app.ModelDbFileName, reader);
        return ChooseModelFrom(app, open ? &reader : nullptr);
    }
    bool AppendUserLine(App&, const QByteArray& line, QString&) override
    {
        // As AppendLine: a last line without its LF is ended first (a lone CR gets its LF).
        QByteArray& file = files_[kUserTacFile];
        if (!file.isEmpty() && !file.endsWith('\n'))
            file += file.endsWith('\r') ? "\n" : "\r\n";
        file += line + "\r\n";
        return true;
    }

private:
    QHash<QString, QByteArray>& files_;
};

// The -2 search: reads the user file from the top for a line whose number is the key.
// Directives in it have no effect.
std::optional<Match> SearchUserFile(App& app, TableSource& tables, const QString& name, const Key& key)
{
    LfLineReader file;
    if (!tables.Open(app, name, file))
        return std::nullopt;
    QByteArray line;
    while (file.Next(line)) {
        if (Matches(LeadingInteger(line), key))
            return MatchOf(FromLatin1(line));
        DoEvents(app);
        if (Stopped(app))
            break;
    }
    return std::nullopt;
}

// Appends the operator's assignment to USERTAC.DAT so that the next phone of this type
// is found by the -2 search. An IMEI without a TAC is not recorded: its line could
// never be found again.
void RecordAssignment(App& app, TableSource& tables, const QString& imei, const QString& name)
{
    const QString tac = imei.left(8);
    const Key key = ImeiKey(imei, 8);
    const QString line = tac + QLatin1Char(',') + name;
    if (!key || *key == 0 || IsDirective(key)) {
        TraceLine(app, kUserTacFile + QStringLiteral(" not written, IMEI >") + imei + QStringLiteral("< has no TAC."));
        return;
    }
    // The TAC 999999.. stands for an IMEI that could not be read: a model recorded for
    // it would identify every later unreadable phone as this one.
    if (ImeiKey(imei, 6) == 999999) {
        TraceLine(app, kUserTacFile + QStringLiteral(" not written, IMEI >") + imei +
                           QStringLiteral("< was not read from the phone."));
        return;
    }
    // A whole line or nothing; a last line without its line end is ended first.
    QString reason;
    if (!tables.AppendUserLine(app, ToLatin1(line), reason)) {
        TraceLine(app, kUserTacFile + QStringLiteral(" could not be written: ") + line);
        ReportFileNotWritten(app, kUserTacFile, StationPath(app, kUserTacFile), reason);
    }
}

// The -9 line: the default for a TAC without an entry.
Match DefaultMatch(App& app, TableSource& tables, const QString& imei, const QString& raw, const QString& argument)
{
    if (argument == QLatin1String("ANT")) {
        const QString chosen = tables.Choose(app);
        if (chosen.isEmpty())
            return {QStringLiteral("Unknown"), QStringLiteral("ANT")};
        RecordAssignment(app, tables, imei, chosen);
        return {chosen, StripSpaces(chosen)};
    }
    if (argument == QLatin1String("STD"))
        return {QStringLiteral("Unknown"), QStringLiteral("STD")};
    return {ValuePart(raw), argument};
}

}  // namespace

// Model names longer than this (from a -9 line or USERTAC.DAT) are cut.
constexpr qsizetype kMaxModelName = 64;

// One warning for everything that made the phone be measured with a default.
void WarnAboutModelData(App& app)
{
    const QStringList& warnings = app.Model.DataWarnings;
    if (warnings.isEmpty())
        return;
    for (const QString& w : warnings)
        TraceLine(app, QStringLiteral("Model data: ") + w);
    app.ui.MsgBox(Tr(app, QT_TRANSLATE_NOOP("Celvio", "The phone model data is incomplete:")) + kCrLf +
                      warnings.join(kCrLf) + kCrLf +
                      Tr(app, QT_TRANSLATE_NOOP("Celvio", "The measurements may be inaccurate.")),
                  msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("Phone model data"));
}

namespace {

// Where the walk through the TAC tables stands: the file read, the key its entries are
// compared with, the files entered with their keys, and the entry found.
struct TacWalk {
    std::unique_ptr<LfLineReader> file;
    Key key;
    // Files entered with a key: a -1 line that leads back to one of them with the same
    // key would walk in a circle for ever.
    std::set<std::pair<QString, Key>> entered;
    std::optional<Match> match;
};

// A directive line: -1 goes on in another TAC file, -2 searches a user file, -6 and -8
// set the key's length, -7 names the model database, -9 is the default entry.
void FollowDirective(App& app, TableSource& tables, const QString& imei, const QByteArray& line, qint32 directive,
                     TacWalk& walk)
{
    const QString raw = FromLatin1(line);
    const QString argument = ValuePart(StripSpaces(raw));
    switch (directive) {
    case -1:
        if (AcceptStationName(app, argument, QStringLiteral("TAC file")) && tables.Exists(app, argument)) {
            auto next = std::make_unique<LfLineReader>();
            if (!walk.entered.insert({tables.Identity(app, argument), walk.key}).second)
                TraceLine(app, QStringLiteral("TAC file loop: ") + raw + QStringLiteral(" ignored."));
            else if (tables.Open(app, argument, *next))
                walk.file = std::move(next);
        }
        break;
    case -2:
        if (AcceptStationName(app, argument, QStringLiteral("User TAC file")) && tables.Exists(app, argument)) {
            walk.key = ImeiKey(imei, 8);
            walk.match = SearchUserFile(app, tables, argument, walk.key);
        }
        break;
    case -6:
        walk.key = ImeiKey(imei, 6);
        break;
    case -7:
        if (AcceptStationName(app, argument, QStringLiteral("Model database")) && tables.Exists(app, argument))
            app.ModelDbFileName = argument;
        else
            app.Model.DataWarnings << QStringLiteral("Model database %1 named in %2 not found: %3 used.")
                                          .arg(argument, app.TacFileName, app.ModelDbFileName);
        break;
    case -8:
        walk.key = ImeiKey(imei, 8);
        break;
    case -9:
        walk.match = DefaultMatch(app, tables, imei, raw, argument);
        break;
    default:  // -3, -4, -5
        break;
    }
}

// The model of the entry found: its name (cut to the longest the program keeps) and
// its block of the model database loaded.
bool LoadMatch(App& app, TableSource& tables, const QString& imei, const std::optional<Match>& match)
{
    if (!match) {
        app.Model.DataWarnings << QStringLiteral("No entry for the IMEI %1 in %2 and no default line: no path "
                                                 "attenuation used.")
                                      .arg(imei, app.TacFileName);
        return false;
    }
    if (match->name.size() > kMaxModelName)
        TraceLine(app, QStringLiteral("Model name cut to %1 characters: ").arg(kMaxModelName) + match->name);
    app.Model.Name = match->name.left(kMaxModelName);
    tables.LoadModel(app, match->block);
    return true;
}

// The walk through the TAC tables and the load of the block it ends with.
bool FindAndLoadModel(App& app, TableSource& tables, const QString& imei)
{
    if (!tables.Exists(app, app.TacFileName)) {
        app.Model.DataWarnings << app.TacFileName + QStringLiteral(" not found: no path attenuation used.");
        return false;
    }
    TacWalk walk;
    walk.key = ImeiKey(imei, 6);
    if (walk.key == 0)
        walk.key = 999999;  // the entry for phones whose IMEI was not read

    walk.file = std::make_unique<LfLineReader>();
    if (!tables.Open(app, app.TacFileName, *walk.file))
        return false;
    walk.entered.insert({tables.Identity(app, app.TacFileName), walk.key});

    QByteArray line;
    while (walk.file->Next(line)) {
        // The number skips spaces: it is that of the line stripped of them. Most lines
        // are entries that do not match, and need no more than this number.
        const Key number = LeadingInteger(line);
        if (IsDirective(number))
            FollowDirective(app, tables, imei, line, *number, walk);
        else if (Matches(number, walk.key))
            walk.match = MatchOf(FromLatin1(line));
        if (walk.match)
            break;
        DoEvents(app);
        if (Stopped(app))
            break;
    }
    walk.file->Close();

    if (Stopped(app))
        return false;
    return LoadMatch(app, tables, imei, walk.match);
}

}  // namespace

bool LookupPhoneModel(App& app, const QString& imei)
{
    // Nothing of the previous phone's model carries over to this one.
    ClearModelRecord(app);
    StationTables tables;
    const bool found = FindAndLoadModel(app, tables, imei);
    WarnAboutModelData(app);
    return found;
}

bool LookupPhoneModelInTables(App& app, const QString& imei, QHash<QString, QByteArray>& files)
{
    ClearModelRecord(app);
    MemoryTables tables(files);
    const bool found = FindAndLoadModel(app, tables, imei);
    WarnAboutModelData(app);
    return found;
}

QString ChooseModel(App& app)
{
    LfLineReader file;
    const bool open = FileExists(app, app.ModelDbFileName) && file.Open(StationPath(app, app.ModelDbFileName));
    return ChooseModelFrom(app, open ? &file : nullptr);
}

QString ChooseModelFrom(App& app, LfLineReader* database)
{
    Form5 form;  // a fresh dialog for every call
    form.Label1 = QStringLiteral(
        "Assign TAC to an existing model (choose from the list) or use CANCEL to continue with default settings.");
    if (database != nullptr) {
        LfLineReader& file = *database;
        QString line;
        while (ReadLfLine(file, line)) {
            const qsizetype open = line.indexOf(QLatin1Char('['));
            const qsizetype close = open < 0 ? -1 : line.indexOf(QLatin1Char(']'), open + 1);
            if (close >= 0 && !line.contains(QLatin1String("[REMARKS]")))
                form.Phones.append(line.mid(open + 1, close - open - 1));
            DoEvents(app);
        }
        file.Close();
    }
    form.Selected = form.Phones.isEmpty() ? -1 : 0;
    app.ui.ShowModal(form);
    if (form.Selected < 0 || form.Selected >= form.Phones.size())
        return QString();
    return form.Phones.at(form.Selected);
}

}  // namespace celvio
