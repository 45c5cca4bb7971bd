#include <QDir>
#include <QElapsedTimer>
#include <QJsonValue>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench.h"
#include "data_file.h"
#include "data_generator.h"

namespace korvallestin::bench {

namespace {

double ReaderAloneMBs(const std::string& path) {
    korvallestin::PostcodeFileReader reader;
    korvallestin::PostcodeRecord record;
    QElapsedTimer clock;
    clock.start();
    reader.Open(path);
    while (reader.ReadRecord(record) && !reader.AtEnd()) {
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    return std::filesystem::file_size(path) / 1e6 / seconds;
}

double GrepMBs(const std::string& path) {
    QElapsedTimer clock;
    clock.start();
    const std::string command = "grep -c , '" + path + "' > /dev/null";
    if (std::system(command.c_str()) != 0) {
        return 0;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    return std::filesystem::file_size(path) / 1e6 / seconds;
}

double ScenarioFigure(const QJsonObject& suite, const char* key, const char* figure) {
    for (const QJsonValue s : suite["scenarios"].toArray()) {
        if (s["scenario"].toString() == QLatin1String(key)) {
            return s[QLatin1String(figure)].toDouble();
        }
    }
    return 0;
}

}  // namespace

// The large files are made from the shipped one in a temporary folder.
std::optional<QJsonArray> RunLarge(const QString& data, const std::vector<Scenario>& scenarios,
                                   int runs, QJsonObject& report) {
    QTemporaryDir folder_of_files(QDir::tempPath() + QStringLiteral("/korvallestin-bench-XXXXXX"));
    if (!folder_of_files.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder: %s\n",
                     qPrintable(folder_of_files.errorString()));
        return std::nullopt;
    }
    const std::string temp = folder_of_files.path().toStdString();
    const std::string shipped = data.toStdString() + "/postcodes.csv";
    QJsonArray suites;
    bool ok = true;
    for (const long size : {100'000L, 1'000'000L}) {
        const std::string folder = temp + "/" + std::to_string(size);
        std::filesystem::create_directory(folder);
        if (!korvallestin::bench::GenerateDataFile(shipped, folder, size)) {
            std::fprintf(stderr, "cannot make %ld records from %s\n", size, shipped.c_str());
            ok = false;
            break;
        }
        const std::optional<QJsonObject> suite =
            RunSuite(QString::fromStdString(folder), scenarios, runs);
        if (!suite) {
            ok = false;
            break;
        }
        suites.append(*suite);
        if (size == 1'000'000L) {
            const std::string file = folder + "/postcodes.csv";
            const double reader = ReaderAloneMBs(file);
            const double grep = GrepMBs(file);
            const double mb = std::filesystem::file_size(file) / 1e6;
            std::printf("\nreader alone: %.0f MB/s; grep -c: %.0f MB/s (%.0f MB file)\n", reader,
                        grep, mb);
            report["reader_mb_per_s"] = reader;
            report["grep_mb_per_s"] = grep;
            report["large_file_mb"] = mb;
        }
    }
    if (!ok) {
        return std::nullopt;
    }
    const double small = ScenarioFigure(suites[0].toObject(), "all_match", "ms");
    const double large = ScenarioFigure(suites[1].toObject(), "all_match", "ms");
    const double small_cpu = ScenarioFigure(suites[0].toObject(), "all_match", "cpu_ms");
    const double large_cpu = ScenarioFigure(suites[1].toObject(), "all_match", "cpu_ms");
    if (small > 0 && small_cpu > 0) {
        std::printf(
            "time(1,000,000) / time(100,000), all criteria empty: %.1f (processor time: %.1f)\n",
            large / small, large_cpu / small_cpu);
        report["all_match_scaling"] = large / small;
        report["all_match_cpu_scaling"] = large_cpu / small_cpu;
    }
    return suites;
}

}  // namespace korvallestin::bench
