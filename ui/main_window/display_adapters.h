#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <string>

#include "search_window.h"

class QLabel;
class QStatusBar;

namespace korvallestin {

class ResultsItemModel;
class ResultsTableView;
class WindowGeometryAdapter;

// Rows and the count reach the screen at most once per display frame, and
// always when a run ends; a timer catches the last change of a quiet stretch.
class ScreenUpdates {
  public:
    ScreenUpdates(ResultsItemModel& model, ResultsTableView& view, QLabel& status_label);

    // The status text to show at the next update.
    void SetStatusText(const QString& text) { status_text_ = text; }
    // Shows what changed now if a frame has passed since the last update,
    // otherwise when it has.
    void Schedule();
    // Shows every pending row and the status text now.
    void FlushNow();
    // Forgets the pending update and the pace of a long list.
    void Restart();

  private:
    ResultsItemModel& model_;
    ResultsTableView& view_;
    QLabel& status_label_;
    QString status_text_;
    QTimer timer_;
    QElapsedTimer since_flush_;
    qint64 interval_ms_;
};

// The status bar `sbBar`: hidden until the first search; its text is the
// running count.
class StatusBarAdapter final : public StatusBar {
  public:
    StatusBarAdapter(QStatusBar& bar, ScreenUpdates& updates, WindowGeometryAdapter& geometry);
    void SetVisible(bool visible) override;
    void SetSimpleText(const std::string& text) override;

  private:
    QStatusBar& bar_;
    ScreenUpdates& updates_;
    WindowGeometryAdapter& geometry_;
};

// The results list `lvwResults` as a run fills it: rows go into the item
// model at once and reach the screen with the next update.
class ResultSinkAdapter final : public ResultSink {
  public:
    ResultSinkAdapter(ResultsItemModel& model, ScreenUpdates& updates);
    void ClearRows() override;
    void AddRow(const PostcodeRecord& record) override;
    void Refresh() override;

  private:
    ResultsItemModel& model_;
    ScreenUpdates& updates_;
};

}  // namespace korvallestin
