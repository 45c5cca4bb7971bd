// Qt's own options reaching the toolkit, seen in what the toolkit writes on
// standard error when it cannot do what it was asked. A Windows GUI program
// writes such messages to the debugger rather than standard error, and stops
// with a dialog when its platform is missing, so these run on POSIX systems.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

using korvallestin::testing::Finished;
using korvallestin::testing::RunProgram;
using korvallestin::testing::WithoutDisplay;
using ::testing::HasSubstr;

TEST(CommandLine, PlatformOptionReachesTheToolkit) {
    // The toolkit cannot load a platform that does not exist and says which
    // one it was asked for: the option got through to it.
    const Finished run =
        RunProgram({QStringLiteral("-platform"), QStringLiteral("no-such-platform")});
    EXPECT_TRUE(run.crashed || run.exit_code != 0);
    EXPECT_THAT(run.err, HasSubstr("\"no-such-platform\""));
}

TEST(CommandLine, StyleOptionReachesTheToolkitAndTheWindowStartsOffscreen) {
    // With -platform offscreen the window starts with no display; the toolkit
    // then names the unknown style it was given once the window is styled.
    QProcess process;
    process.setProcessEnvironment(WithoutDisplay());
    process.start(QStringLiteral(KORV_PROGRAM),
                  {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                   QStringLiteral("-style"), QStringLiteral("no-such-style")});
    ASSERT_TRUE(process.waitForStarted(30000)) << process.errorString().toStdString();
    process.setReadChannel(QProcess::StandardError);
    std::string err;
    while (err.find("'no-such-style'") == std::string::npos &&
           process.state() == QProcess::Running && process.waitForReadyRead(30000)) {
        err += process.readAllStandardError().toStdString();
    }
    const bool still_running = process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished(5000);
    err += process.readAllStandardError().toStdString();
    EXPECT_THAT(err, HasSubstr("invalid style override 'no-such-style'"));
    EXPECT_TRUE(still_running) << err;
}

}  // namespace
