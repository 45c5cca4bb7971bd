#pragma once

#include <QCommandLineParser>
#include <QString>

namespace korvallestin {

// Describes the options of both window programs to `parser`: --help,
// --version and Qt's own options (-platform, -style, ...), which only
// --help-all lists. `description` says what the program does.
void DescribeToolkitOptions(QCommandLineParser& parser, const QString& description,
                            bool show_toolkit_options);

}  // namespace korvallestin
