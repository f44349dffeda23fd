// The one command-line reader of every program: both spellings of a value, --help and
// --version, and the one-line answer to a mistake.
#include "core/program_options.h"

#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

using Outcome = ProgramOptions::Outcome;

// The options of a small program, added to `options` (named "tool").
void AddOptions(ProgramOptions& options)
{
    options.Add({QStringLiteral("station")}, QStringLiteral("DIR"))
        .Add({QStringLiteral("port")}, QStringLiteral("COMn=DEVICE"))
        .Add({QStringLiteral("list-ports")});
}

TEST(ProgramOptions, ReadsEveryMistakeAsOneLineAndHelpWins)
{
    struct Case {
        QStringList args;
        Outcome outcome;
        const char* error;  // the whole error line, when the outcome is Usage
    } cases[] = {
        {{"tool"}, Outcome::Run, ""},
        {{}, Outcome::Run, ""},
        {{"tool", "--help"}, Outcome::Help, ""},
        {{"tool", "-h"}, Outcome::Help, ""},
        {{"tool", "--version"}, Outcome::Version, ""},
        {{"tool", "-v"}, Outcome::Version, ""},
        {{"tool", "--colour"}, Outcome::Usage, "tool: unknown option '--colour'. Try 'tool --help'."},
        {{"tool", "-x"}, Outcome::Usage, "tool: unknown option '-x'. Try 'tool --help'."},
        {{"tool", "--a", "--b"}, Outcome::Usage, "tool: unknown option '--a'. Try 'tool --help'."},
        {{"tool", "--station"}, Outcome::Usage, "tool: missing value after '--station'. Try 'tool --help'."},
        {{"tool", "--list-ports=yes"}, Outcome::Usage,
         "tool: unexpected value after '--list-ports'. Try 'tool --help'."},
        {{"tool", "--colour", "--help"}, Outcome::Help, ""},
        {{"tool", "--col\nour"}, Outcome::Usage, "tool: unknown option '--col?our'. Try 'tool --help'."},
        {{"tool", "--help", "--version"}, Outcome::Help, ""},
    };
    for (const Case& c : cases) {
        ProgramOptions options(QStringLiteral("tool"));
        AddOptions(options);
        EXPECT_EQ(options.Parse(c.args), c.outcome) << qPrintable(c.args.join(u' '));
        if (c.outcome == Outcome::Usage) {
            EXPECT_EQ(options.Error(), QString::fromLatin1(c.error));
        }
    }
}

TEST(ProgramOptions, BothSpellingsOfAValueAndDashesAfterTheMarker)
{
    for (const QStringList& args : {QStringList{"tool", "--station", "/srv/a b", "--port=COM1=/dev/x", "--port",
                                                "COM2=/dev/y", "--", "--list-ports", "-v"},
                                    QStringList{"tool", "--port", "COM1=/dev/x", "--station=/srv/a b", "--port=COM2=/dev/y",
                                                "--", "--list-ports", "-v"}}) {
        ProgramOptions options(QStringLiteral("tool"));
        AddOptions(options);
        ASSERT_EQ(options.Parse(args), Outcome::Run) << qPrintable(options.Error());
        EXPECT_EQ(options.Value(QStringLiteral("station")), QStringLiteral("/srv/a b"));
        EXPECT_EQ(options.Values(QStringLiteral("port")), (QStringList{"COM1=/dev/x", "COM2=/dev/y"}));
        EXPECT_FALSE(options.IsSet(QStringLiteral("list-ports")));
        EXPECT_EQ(options.Positional(), (QStringList{"--list-ports", "-v"}));
        EXPECT_EQ(options.GivenOptions(), (QStringList{"station", "port"}));
    }
    // The last of a repeated single value wins; an empty value is a value.
    ProgramOptions options(QStringLiteral("tool"));
    AddOptions(options);
    ASSERT_EQ(options.Parse({"tool", "--station=a", "--station", "b", "--station="}), Outcome::Run);
    EXPECT_EQ(options.Value(QStringLiteral("station")), QString());
    EXPECT_TRUE(options.IsSet(QStringLiteral("station")));
    EXPECT_EQ(options.VersionLine(), QStringLiteral("tool 2.02\n"));
}

}  // namespace
}  // namespace celvio::testing
