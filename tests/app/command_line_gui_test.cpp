// The program's command line, tried on the built program as a terminal user
// would: with no display at all (no DISPLAY, no WAYLAND_DISPLAY, no
// QT_QPA_PLATFORM), --help and --version must answer and end, a mistake must
// be told on standard error, and Qt's own options must still reach the
// toolkit.

#include <string>

#include <QString>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

using korvallestin::testing::Finished;
using korvallestin::testing::RunProgram;

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

TEST(CommandLine, VersionPrintsTheProjectVersionAndEndsWithoutADisplay) {
    for (const char* spelling : {"--version", "-v"}) {
        SCOPED_TRACE(spelling);
        const Finished run = RunProgram({QString::fromLatin1(spelling)});
        EXPECT_FALSE(run.crashed) << run.err;
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(run.out, "korvallestin " KORV_VERSION "\n");
        EXPECT_EQ(run.err, "");
    }
}

TEST(CommandLine, HelpPrintsTheUsageAndEndsWithoutADisplay) {
    for (const char* spelling : {"--help", "-h"}) {
        SCOPED_TRACE(spelling);
        const Finished run = RunProgram({QString::fromLatin1(spelling)});
        EXPECT_FALSE(run.crashed) << run.err;
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_THAT(run.out, StartsWith("Usage: "));
        EXPECT_THAT(run.out, HasSubstr("Australian postcodes"));
        EXPECT_THAT(run.out, HasSubstr("--version"));
        EXPECT_THAT(run.out, HasSubstr("--help-all"));
        // Qt's options are named in the description but listed only by --help-all.
        EXPECT_THAT(run.out, Not(HasSubstr("--stylesheet")));
        EXPECT_EQ(run.err, "");
    }
}

TEST(CommandLine, HelpAllListsQtsOwnOptions) {
    const Finished run = RunProgram({QStringLiteral("--help-all")});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    for (const char* option : {"--platform <name>", "--style <style>", "--stylesheet <file>",
                               "--qwindowgeometry <geometry>", "--reverse"}) {
        EXPECT_THAT(run.out, HasSubstr(option));
    }
}

TEST(CommandLine, MistakesPrintTheUsageOnStandardErrorAndFail) {
    const struct {
        QStringList arguments;
        const char* message = nullptr;
    } mistakes[] = {
        {{QStringLiteral("--no-such-option")}, "korvallestin: Unknown option 'no-such-option'."},
        {{QStringLiteral("-x")}, "korvallestin: Unknown option 'x'."},
        {{QStringLiteral("3000")}, "korvallestin: Unexpected argument '3000'."},
        // A Qt option without its value is a mistake as well.
        {{QStringLiteral("-platform")}, "korvallestin: Missing value after '-platform'."},
        // A mistake wins over --version: nothing is half done.
        {{QStringLiteral("--version"), QStringLiteral("--bogus")},
         "korvallestin: Unknown option 'bogus'."},
    };
    for (const auto& mistake : mistakes) {
        SCOPED_TRACE(mistake.arguments.join(' ').toStdString());
        const Finished run = RunProgram(mistake.arguments);
        EXPECT_FALSE(run.crashed) << run.err;
        EXPECT_NE(run.exit_code, 0);
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, StartsWith(std::string(mistake.message) + "\n\nUsage: "));
        EXPECT_THAT(run.err, HasSubstr("--help"));
    }
}

TEST(CommandLine, VersionIsAnsweredAmongQtsOwnOptions) {
    // The first reading of the command line knows Qt's options, in either
    // spelling, and lets them be.
    const Finished run = RunProgram({QStringLiteral("-platform"), QStringLiteral("xcb"),
                                     QStringLiteral("-style=Fusion"), QStringLiteral("--reverse"),
                                     QStringLiteral("-geometry"), QStringLiteral("300x200"),
                                     QStringLiteral("--version")});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "korvallestin " KORV_VERSION "\n");
}

}  // namespace
