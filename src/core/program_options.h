// The command line of every program of the package, read one way (QCommandLineParser):
// "--opt=value" and "--opt value" alike, --help and --version on every program, and an
// unknown option or a missing value answered with one line and exit code 2.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace celvio {

// The exit code of a command line that cannot be read.
inline constexpr int kUsageExitCode = 2;

// `text` on one line: a line end or other control character that an argument brought
// in is shown as "?", so that a mistake is always told in one line.
QString OneLine(QString text);

class ProgramOptions {
public:
    // `program` names the program in the error line.
    explicit ProgramOptions(const QString& program);

    // One option: its names without dashes ({"h", "help"}) and, when it takes a value,
    // the value's name as the help shows it ("DIR"). Returns *this, so that a program's
    // options are one chain of calls, one line each.
    ProgramOptions& Add(const QStringList& names, const QString& valueName = QString());

    enum class Outcome {
        Run,      // the options were read: the program may do its work
        Help,     // --help (or -h) was given: print the help, exit 0
        Version,  // --version (or -v): print the version, exit 0
        Usage,    // an unknown option or a missing value: print Error(), exit 2
    };
    // Reads `args`, args[0] being the program's own name.
    Outcome Parse(const QStringList& args);

    // What was wrong, as one line: "celvio: unknown option '--x'. Try 'celvio --help'."
    QString Error() const;

    // "celvio 2.02\n": the --version answer, the package's version.
    QString VersionLine() const;

    bool IsSet(const QString& name) const { return parser_.isSet(name); }
    // The last value of the option (an option given twice keeps the second).
    QString Value(const QString& name) const { return parser_.value(name); }
    // Every value of an option that may be given more than once.
    QStringList Values(const QString& name) const { return parser_.values(name); }
    QStringList Positional() const { return parser_.positionalArguments(); }
    // The options that were given, by the name under which they were added.
    QStringList GivenOptions() const;

private:
    QString program_;
    QCommandLineParser parser_;
    QList<QStringList> names_;
    QString error_;
};

}  // namespace celvio
