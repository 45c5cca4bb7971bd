#include "toolkit_options.h"

#include <QCommandLineOption>

#include <array>

namespace korvallestin {

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

}  // namespace

void DescribeToolkitOptions(QCommandLineParser& parser, const QString& description,
                            bool show_toolkit_options) {
    parser.setApplicationDescription(
        description +
        QStringLiteral("\nQt's own options (-platform, -style, ...) are accepted as well."));
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

}  // namespace korvallestin
