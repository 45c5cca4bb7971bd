#include <array>
#include <optional>

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>

#include "frm_main.h"
#include "window_system.h"

namespace {

// Options that QGuiApplication, its platform plugins and QApplication read
// and remove from the command line themselves. The first reading below knows
// them only so as not to call them unknown; QApplication then receives the
// command line untouched and acts on them. --help-all lists them.
struct ToolkitOption {
    const char* name;
    const char* value;        // the value's name, or nullptr for a switch
    const char* description;  // nullptr for the X11 spellings, never listed
};
constexpr std::array kToolkitOptions{
    ToolkitOption{"platform", "name", "Qt platform plugin (xcb, wayland, offscreen...)."},
    ToolkitOption{"platformpluginpath", "path", "Folder of Qt platform plugins."},
    ToolkitOption{"platformtheme", "name", "Qt platform theme."},
    ToolkitOption{"plugin", "name", "Extra Qt input plugin to load."},
    ToolkitOption{"qwindowgeometry", "geometry", "Window geometry (WxH+X+Y)."},
    ToolkitOption{"qwindowtitle", "title", "Window title."},
    ToolkitOption{"qwindowicon", "file", "Window icon."},
    ToolkitOption{"geometry", "geometry", nullptr},
    ToolkitOption{"title", "title", nullptr},
    ToolkitOption{"icon", "file", nullptr},
    ToolkitOption{"session", "id", "Session to restore."},
    ToolkitOption{"display", "display", "X display to use."},
    ToolkitOption{"name", "name", "X resource name."},
    ToolkitOption{"style", "style", "Qt widget style (Fusion, Windows)."},
    ToolkitOption{"stylesheet", "file", "Qt style sheet to apply."},
    ToolkitOption{"reverse", nullptr, "Lays the window out right to left."},
    ToolkitOption{"widgetcount", nullptr, "Prints the number of widgets at the end."},
    ToolkitOption{"testability", nullptr, "Loads Qt's testability plugin."},
};

// The program's options, and Qt's, which only --help-all lists.
void DescribeOptions(QCommandLineParser& parser, bool show_toolkit_options) {
    parser.setApplicationDescription(
        QStringLiteral("Looks up Australian postcodes by postcode, state and locality.\n"
                       "Qt's own options (-platform, -style, ...) are accepted as well."));
    // Qt's options are written with one dash: -platform is one option, not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    for (const ToolkitOption& known : kToolkitOptions) {
        QCommandLineOption option(QString::fromLatin1(known.name));
        if (known.value != nullptr) {
            option.setValueName(QString::fromLatin1(known.value));
        }
        if (show_toolkit_options && known.description != nullptr) {
            option.setDescription(QString::fromLatin1(known.description));
        } else {
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        }
        parser.addOption(option);
    }
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
