#pragma once

// Small helpers the List Check window's source files share.

#include <QFileInfo>
#include <QString>

#include <string>

namespace korvallestin {

inline const QString kTitle = QStringLiteral("Korvallestin List Check");
// The progress bar's range while a list loads.
constexpr int kProgressSteps = 1000;

inline QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FileName(const QString& path) {
    return QFileInfo(path).fileName();
}

}  // namespace korvallestin
