#include <optional>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "frm_list_check.h"
#include "toolkit_options.h"
#include "window_system.h"

namespace {

// The program's options, and Qt's, which only --help-all lists.
void DescribeOptions(QCommandLineParser& parser, bool show_toolkit_options) {
    korvallestin::DescribeToolkitOptions(
        parser,
        QStringLiteral("Checks the postcodes, states and localities of an address list (CSV), "
                       "shows what is wrong and saves a corrected copy."),
        show_toolkit_options);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The list to open."),
                                 QStringLiteral("[FILE]"));
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
// terminal. The exit status when the program ends here; otherwise the list
// to open (empty for none) in `file`.
std::optional<int> ReadCommandLine(int& argc, char** argv, QString& file) {
    const QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    DescribeOptions(parser, false);
    if (!parser.parse(QCoreApplication::arguments())) {
        return UsageError(parser, parser.errorText());
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        return UsageError(parser, QStringLiteral("Unexpected argument '%1'.").arg(files.at(1)));
    }
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
    file = files.isEmpty() ? QString() : files.constFirst();
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("korvallestin-list-check"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORV_VERSION));
    QString file;
    if (const std::optional<int> status = ReadCommandLine(argc, argv, file)) {
        return *status;
    }
    korvallestin::MarkProgramRunning();
    QApplication app(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvallestin.Korvallestin.ListCheck"));
    korvallestin::frmListCheck window;
    window.show();
    if (!file.isEmpty()) {
        // Opened once the window is on screen, so that its progress shows.
        QTimer::singleShot(0, &window, [&window, file] { window.OpenList(file); });
    }
    return QApplication::exec();
}
