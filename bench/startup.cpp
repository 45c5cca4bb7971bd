#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

#include "bench.h"
#include "frm_main.h"
#include "platform.h"

namespace korvallestin::bench {

int StartupProbe(const QString& data) {
    frmMain window(data);
    window.show();
    QApplication::processEvents();
    std::printf("shown\n");
    std::fflush(stdout);
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 500) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    std::printf("rss %ld\n", ResidentKb());
    return 0;
}

std::optional<QJsonObject> MeasureStartup(const QString& data, int runs) {
    std::vector<double> ms, rss;
    for (int r = 0; r < runs; ++r) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(QApplication::applicationFilePath(), {"--startup-probe", data});
        while (child.waitForReadyRead(5000) && !child.canReadLine()) {
        }
        if (child.readLine().trimmed() != "shown") {
            std::fprintf(stderr, "start-up probe failed\n");
            return std::nullopt;
        }
        ms.push_back(clock.nsecsElapsed() / 1e6);
        child.waitForFinished(5000);
        const QByteArray rest = child.readAll();
        rss.push_back(rest.mid(rest.indexOf("rss ") + 4).trimmed().toDouble() / 1024.0);
    }
    std::printf("\nstart to first shown window: %.0f ms (median of %d), idle memory %.0f MB\n",
                Median(ms), runs, Median(rss));
    return QJsonObject{{"ms", Median(ms)},
                       {"ms_runs", ToJson(ms)},
                       {"idle_mb", Median(rss)},
                       {"idle_mb_runs", ToJson(rss)}};
}

}  // namespace korvallestin::bench
