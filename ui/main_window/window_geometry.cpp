#include "window_geometry.h"

#include <QWidget>
#include <QWindow>

#include <algorithm>

#include "twips.h"

namespace korvallestin {

namespace {

// Until the window system tells the real frame (once the window is shown),
// a nominal one: a caption bar and thin borders.
const QMargins kNominalFrame(4, 22, 4, 4);

std::size_t Slot(ResizedControl control) {
    return static_cast<std::size_t>(control);
}

}  // namespace

WindowGeometryAdapter::WindowGeometryAdapter(QWidget& window, const QWidget& status_bar, double dpi)
    : window_(window), status_bar_(status_bar), dpi_(dpi) {}

void WindowGeometryAdapter::Attach(ResizedControl control, QWidget* widget) {
    controls_.at(Slot(control)) = widget;
}

QWidget& WindowGeometryAdapter::Control(ResizedControl control) const {
    return *controls_.at(Slot(control));
}

int WindowGeometryAdapter::Px(double twips) const {
    return TwipsToPixels(twips, dpi_);
}

QMargins WindowGeometryAdapter::FrameMargins() const {
    if (frame_known_ && window_.windowHandle() != nullptr) {
        return window_.windowHandle()->frameMargins();
    }
    return kNominalFrame;
}

bool WindowGeometryAdapter::RefusesSize() const {
    return (window_.windowState() &
            (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

bool WindowGeometryAdapter::LearnFrame() {
    if (frame_known_) {
        return false;
    }
    frame_known_ = true;
    ApplySizeLimits();
    if (!StatusBarVisible()) {
        SetOuterHeight(kCompactHeight);
    }
    return true;
}

float WindowGeometryAdapter::OuterWidth() const {
    const QMargins m = FrameMargins();
    const int px = window_.width() + m.left() + m.right();
    return px == Px(width_twips_) ? width_twips_ : PixelsToTwips(px, dpi_);
}

float WindowGeometryAdapter::OuterHeight() const {
    const QMargins m = FrameMargins();
    const int px = window_.height() + m.top() + m.bottom();
    return px == Px(height_twips_) ? height_twips_ : PixelsToTwips(px, dpi_);
}

void WindowGeometryAdapter::SetOuterWidth(float twips) {
    if (RefusesSize()) {
        return;
    }
    const QMargins m = FrameMargins();
    width_twips_ = twips;
    window_.resize(std::max(1, Px(twips) - m.left() - m.right()), window_.height());
}

void WindowGeometryAdapter::SetOuterHeight(float twips) {
    if (RefusesSize()) {
        return;
    }
    const QMargins m = FrameMargins();
    height_twips_ = twips;
    window_.resize(window_.width(), std::max(1, Px(twips) - m.top() - m.bottom()));
}

bool WindowGeometryAdapter::StatusBarVisible() const {
    return !status_bar_.isHidden();
}

void WindowGeometryAdapter::ApplySizeLimits() {
    const QMargins m = FrameMargins();
    const int frame_w = m.left() + m.right();
    const int frame_h = m.top() + m.bottom();
    window_.setMinimumWidth(std::max(1, TwipsToPixelsAtLeast(kMinimumWidth, dpi_) - frame_w));
    if (StatusBarVisible()) {
        window_.setMaximumHeight(QWIDGETSIZE_MAX);
        window_.setMinimumHeight(
            std::max(1, TwipsToPixelsAtLeast(kMinimumExpandedHeight, dpi_) - frame_h));
    } else {
        const int compact = std::max(1, Px(kCompactHeight) - frame_h);
        window_.setMinimumHeight(compact);
        window_.setMaximumHeight(compact);
    }
}

void WindowGeometryAdapter::SetControlLeft(ResizedControl control, float twips) {
    QWidget& w = Control(control);
    w.move(Px(twips), w.y());
}

void WindowGeometryAdapter::SetControlWidth(ResizedControl control, float twips) {
    QWidget& w = Control(control);
    w.resize(std::max(0, Px(twips)), w.height());
}

void WindowGeometryAdapter::SetControlHeight(ResizedControl control, float twips) {
    QWidget& w = Control(control);
    w.resize(w.width(), std::max(0, Px(twips)));
}

}  // namespace korvallestin
