#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>

#include <cstdio>
#include <fstream>
#include <string>

#include "bench.h"

namespace korvallestin::bench {

namespace {

// The value of the first "key: value" line of a /proc file that starts with
// `key`.
QString ProcValue(const char* file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return QString::fromStdString(line.substr(line.find(':') + 1)).trimmed();
        }
    }
    return {};
}

double LoadAverage() {
    std::ifstream in("/proc/loadavg");
    double load = -1;
    in >> load;
    return load;
}

}  // namespace

QJsonObject Machine() {
    return QJsonObject{{"cores", static_cast<double>(::sysconf(_SC_NPROCESSORS_ONLN))},
                       {"cpu", ProcValue("/proc/cpuinfo", "model name")},
                       {"memory", ProcValue("/proc/meminfo", "MemTotal")},
                       {"platform", QApplication::platformName()},
                       {"qt", QString::fromLatin1(qVersion())},
                       {"build", QStringLiteral(KORV_BUILD_TYPE)},
                       {"load_at_start", LoadAverage()},
                       // Beside other jobs the bench may run at a higher priority than theirs.
                       {"nice", ::getpriority(PRIO_PROCESS, 0)},
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
