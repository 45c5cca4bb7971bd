#include "display_adapters.h"

#include <QLabel>
#include <QStatusBar>

#include <algorithm>

#include "results_item_model.h"
#include "results_table_view.h"
#include "window_geometry.h"

namespace korvallestin {

namespace {

constexpr qint64 kFrameMs = 16;
constexpr qint64 kLongestFrameMs = 64;

}  // namespace

ScreenUpdates::ScreenUpdates(ResultsItemModel& model, ResultsTableView& view, QLabel& status_label)
    : model_(model), view_(view), status_label_(status_label), interval_ms_(kFrameMs) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { FlushNow(); });
}

void ScreenUpdates::Schedule() {
    // One reading of the clock both decides and sizes the wait; a second
    // reading could pass the interval and start the timer at zero or below.
    const qint64 since_ms = since_flush_.isValid() ? since_flush_.elapsed() : interval_ms_;
    if (since_ms >= interval_ms_) {
        FlushNow();
    } else if (!timer_.isActive()) {
        timer_.start(static_cast<int>(interval_ms_ - since_ms));
    }
}

void ScreenUpdates::FlushNow() {
    timer_.stop();
    QElapsedTimer cost;
    cost.start();
    if (model_.HasPendingRows()) {
        model_.ShowPendingRows();
        view_.LayoutNow();
    }
    if (status_label_.text() != status_text_) {
        status_label_.setText(status_text_);
    }
    // A long list costs more per frame (the rows already shown move to make
    // room): frames are spaced so that showing rows takes at most about a
    // ninth of the run, but never so far apart that a batch grows large.
    interval_ms_ = std::clamp<qint64>(8 * cost.elapsed(), kFrameMs, kLongestFrameMs);
    since_flush_.restart();
}

void ScreenUpdates::Restart() {
    timer_.stop();
    interval_ms_ = kFrameMs;
}

StatusBarAdapter::StatusBarAdapter(QStatusBar& bar, ScreenUpdates& updates,
                                   WindowGeometryAdapter& geometry)
    : bar_(bar), updates_(updates), geometry_(geometry) {}

void StatusBarAdapter::SetVisible(bool visible) {
    bar_.setVisible(visible);
    geometry_.ApplyShape();
}

void StatusBarAdapter::SetSimpleText(const std::string& text) {
    updates_.SetStatusText(QString::fromStdString(text));
    updates_.Schedule();
}

ResultSinkAdapter::ResultSinkAdapter(ResultsItemModel& model, ScreenUpdates& updates)
    : model_(model), updates_(updates) {}

void ResultSinkAdapter::ClearRows() {
    updates_.Restart();
    model_.ClearRows();
}

void ResultSinkAdapter::AddRow(const PostcodeRecord& record) {
    model_.AddRow(record);
}

void ResultSinkAdapter::Refresh() {
    updates_.Schedule();
}

}  // namespace korvallestin
