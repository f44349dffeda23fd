#include "core/program_options.h"

namespace celvio {

namespace {

// An unknown option as the user typed it ("--colour", "-x"): Qt names it without its
// dashes and its value.
QString AsTyped(const QStringList& args, const QString& name)
{
    for (qsizetype i = 1; i < args.size() && args[i] != QLatin1String("--"); ++i) {
        const QString typed = args[i].section(QLatin1Char('='), 0, 0);
        if (typed == QLatin1String("--") + name || typed == QLatin1Char('-') + name)
            return typed;
    }
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

}  // namespace

QString OneLine(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('?');
    }
    return text;
}

ProgramOptions::ProgramOptions(const QString& program) : program_(program)
{
    // "-h" and "-v" alone; "-station" is not taken for "--station".
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser_.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    Add({QStringLiteral("h"), QStringLiteral("help")});
    Add({QStringLiteral("v"), QStringLiteral("version")});
}

ProgramOptions& ProgramOptions::Add(const QStringList& names, const QString& valueName)
{
    QCommandLineOption option(names);
    if (!valueName.isEmpty())
        option.setValueName(valueName);
    parser_.addOption(option);
    names_.append(names);
    return *this;
}

ProgramOptions::Outcome ProgramOptions::Parse(const QStringList& args)
{
    error_.clear();
    // The parser wants a program name in front; a list without one is read as empty.
    const QStringList all = args.isEmpty() ? QStringList{program_} : args;
    if (!parser_.parse(all)) {
        const QStringList unknown = parser_.unknownOptionNames();
        QString text;
        if (!unknown.isEmpty()) {
            text = QStringLiteral("unknown option '%1'.").arg(AsTyped(all, unknown.constFirst()));
        } else {
            // Qt's own wording ("Missing value after '--station'."), on one line.
            text = parser_.errorText().section(QLatin1Char('\n'), 0, 0).simplified();
            if (!text.isEmpty())
                text[0] = text[0].toLower();
            if (!text.endsWith(QLatin1Char('.')))
                text += QLatin1Char('.');
        }
        error_ = QStringLiteral("%1: %2 Try '%1 --help'.").arg(program_, OneLine(text));
        // --help wins over a mistake elsewhere on the line, as users expect.
        return parser_.isSet(QStringLiteral("help")) ? Outcome::Help : Outcome::Usage;
    }
    if (parser_.isSet(QStringLiteral("help")))
        return Outcome::Help;
    if (parser_.isSet(QStringLiteral("version")))
        return Outcome::Version;
    return Outcome::Run;
}

QString ProgramOptions::VersionLine() const
{
    return QStringLiteral("%1 %2\n").arg(program_, QStringLiteral(CELVIO_VERSION));
}

QString ProgramOptions::Error() const
{
    return error_;
}

QStringList ProgramOptions::GivenOptions() const
{
    QStringList given;
    for (const QStringList& names : names_) {
        if (parser_.isSet(names.last()))
            given << names.last();
    }
    return given;
}

}  // namespace celvio
