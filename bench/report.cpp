#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QSysInfo>

#include <cstdio>
#include <thread>

#include "bench.h"

namespace korvallestin::bench {

QJsonObject Machine() {
    return QJsonObject{{"cores", static_cast<double>(std::thread::hardware_concurrency())},
                       {"cpu", ProcessorName()},
                       {"memory", MachineMemory()},
                       {"os", QSysInfo::prettyProductName()},
                       {"platform", QApplication::platformName()},
                       {"qt", QString::fromLatin1(qVersion())},
                       {"build", QStringLiteral(KORV_BUILD_TYPE)},
                       {"load_at_start", LoadAverage()},
                       // Beside other jobs the bench may run at a higher priority than theirs.
                       {"nice", Priority()},
                       {"date", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}};
}

bool WriteJson(const QString& path, QJsonObject report) {
    report["load_at_end"] = LoadAverage();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(QJsonDocument(report).toJson()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace korvallestin::bench
