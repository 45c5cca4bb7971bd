#include <optional>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>

#include "frm_main.h"
#include "toolkit_options.h"
#include "window_system.h"

namespace {

// The program's options, and Qt's, which only --help-all lists.
void DescribeOptions(QCommandLineParser& parser, bool show_toolkit_options) {
    korvallestin::DescribeToolkitOptions(
        parser, QStringLiteral("Looks up Australian postcodes by postcode, state and locality."),
        show_toolkit_options);
}

// The mistake and the usage, where --help would have been answered.
int UsageError(const QCommandLineParser& parser, const QString& message) {
    const QString name = QCoreApplication::applicationName();
    korvallestin::ShowCommandLineMistake(
        name.toStdString(),
        QStringLiteral("%1: %2\n\n%3").arg(name, message, parser.helpText()).toStdString());
    return 1;
}

// Reads the command line with a QCoreApplication alone, which needs no
// display, so that --help, --version and mistakes are answered on any
// terminal. Returns the exit status when the program ends here, nothing when
// the window is to be shown.
std::optional<int> ReadCommandLine(int& argc, char** argv) {
    const QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    DescribeOptions(parser, false);
    if (!parser.parse(QCoreApplication::arguments())) {
        return UsageError(parser, parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return UsageError(parser, QStringLiteral("Unexpected argument '%1'.")
                                      .arg(parser.positionalArguments().constFirst()));
    }
    // Qt answers these as each system expects: on standard output, or, for
    // a Windows program started with no console, in a message box. Either
    // way the program ends there with status 0.
    if (parser.isSet(QStringLiteral("help-all"))) {
        QCommandLineParser all;
        DescribeOptions(all, true);
        all.showHelp(0);
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(0);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("korvallestin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORV_VERSION));
    if (const std::optional<int> status = ReadCommandLine(argc, argv)) {
        return *status;
    }
    korvallestin::MarkProgramRunning();
    QApplication app(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvallestin.Korvallestin"));
    korvallestin::frmMain window;
    window.show();
    return QApplication::exec();
}
