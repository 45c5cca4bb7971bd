#pragma once

// Starts the built program with no display and collects what it says.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <string>

#include <gtest/gtest.h>

namespace korvallestin::testing {

struct Finished {
    int exit_code = -1;
    bool crashed = false;
    std::string out;
    std::string err;
};

inline QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QString::fromLatin1(name));
    }
    return env;
}

// Starts `program`, the postcode window's unless told.
inline Finished RunProgram(const QStringList& arguments,
                           const QString& program = QStringLiteral(KORV_PROGRAM)) {
    QProcess process;
    process.setProcessEnvironment(WithoutDisplay());
    process.start(program, arguments);
    Finished result;
    if (!process.waitForFinished(30000)) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString()
                      << " did not end: " << process.errorString().toStdString();
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exit_code = process.exitCode();
    // Windows ends lines with CR LF on standard output and error.
    const auto text = [](const QByteArray& bytes) {
        return QString::fromUtf8(bytes)
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .toStdString();
    };
    result.out = text(process.readAllStandardOutput());
    result.err = text(process.readAllStandardError());
    return result;
}

}  // namespace korvallestin::testing
