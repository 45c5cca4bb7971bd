// korvallestin-list-check's command line: --help and --version answered
// without a display, one list at most.

#include <QString>
#include <QStringList>

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

using korvallestin::testing::Finished;
using korvallestin::testing::RunProgram;
using ::testing::HasSubstr;

TEST(ListCheckCommandLine, AnswersWithoutADisplayAndTakesOneListAtMost) {
    struct Case {
        QStringList arguments;
        int status = 0;
        const char* out = "";  // a part of standard output
        const char* err = "";  // a part of standard error
    };
    const Case cases[] = {
        {{QStringLiteral("--version")}, 0, "korvallestin-list-check " KORV_VERSION, ""},
        {{QStringLiteral("--help")}, 0, "[FILE]", ""},
        {{QStringLiteral("a.csv"), QStringLiteral("b.csv")}, 1, "", "Unexpected argument 'b.csv'"},
        {{QStringLiteral("--no-such-option")}, 1, "", "no-such-option"},
    };
    for (const Case& c : cases) {
        const Finished run = RunProgram(c.arguments, QStringLiteral(KORV_LIST_CHECK_PROGRAM));
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_FALSE(run.crashed) << what;
        EXPECT_EQ(run.exit_code, c.status) << what;
        EXPECT_THAT(run.out, HasSubstr(c.out)) << what;
        EXPECT_THAT(run.err, HasSubstr(c.err)) << what;
    }
}

}  // namespace
