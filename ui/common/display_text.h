#pragma once

#include <QString>

#include <string>

namespace korvallestin {

// The program's texts break lines with CR LF; a Qt label or text box wants LF
// alone.
inline QString ForDisplay(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace korvallestin
