#include "window_geometry.h"

#include <QGuiApplication>
#include <QRect>
#include <QWidget>

#include <algorithm>

#include "layout_frame.h"
#include "twips.h"

namespace korvallestin {

namespace {

std::size_t Slot(ResizedControl control) {
    return static_cast<std::size_t>(control);
}

// Whether the window system, not the window, decides the size of a
// maximised or full-screen window (Wayland: see screen_sizes_dictated_).
bool ScreenSizesDictated() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace

WindowGeometryAdapter::WindowGeometryAdapter(QWidget& window, const QWidget& status_bar, double dpi)
    : window_(window),
      status_bar_(status_bar),
      dpi_(dpi),
      screen_sizes_dictated_(ScreenSizesDictated()) {}

void WindowGeometryAdapter::Attach(ResizedControl control, QWidget* widget) {
    controls_.at(Slot(control)) = widget;
}

QWidget& WindowGeometryAdapter::Control(ResizedControl control) const {
    return *controls_.at(Slot(control));
}

int WindowGeometryAdapter::Px(double twips) const {
    return TwipsToPixels(twips, dpi_);
}

bool WindowGeometryAdapter::RefusesSize() const {
    return (window_.windowState() &
            (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

float WindowGeometryAdapter::OuterWidth() const {
    const int px = window_.width();
    return px == ClientWidthPixels(width_twips_, dpi_) ? width_twips_ : OuterWidthTwips(px, dpi_);
}

float WindowGeometryAdapter::OuterHeight() const {
    const int px = window_.height();
    return px == ClientHeightPixels(height_twips_, dpi_) ? height_twips_
                                                         : OuterHeightTwips(px, dpi_);
}

void WindowGeometryAdapter::SetOuterWidth(float twips) {
    if (RefusesSize()) {
        return;
    }
    width_twips_ = twips;
    window_.resize(std::max(1, ClientWidthPixels(twips, dpi_)), window_.height());
}

void WindowGeometryAdapter::SetOuterHeight(float twips) {
    if (RefusesSize()) {
        return;
    }
    height_twips_ = twips;
    window_.resize(window_.width(), std::max(1, ClientHeightPixels(twips, dpi_)));
}

bool WindowGeometryAdapter::StatusBarVisible() const {
    return !status_bar_.isHidden();
}

void WindowGeometryAdapter::ApplyShape() {
    ApplySizeLimits();
    // A window that keeps the size the window system gave it hears of no
    // resize when its shape changes: the rules fit the controls to that size
    // (the list fills a maximised window once a search shows the status bar).
    if (RefusesSize()) {
        Form_Resize(*this);
    }
    QWidget& list = Control(ResizedControl::lvwResults);
    const bool expanded = StatusBarVisible();
    list.setFocusPolicy(expanded ? Qt::StrongFocus : Qt::NoFocus);
    if (!expanded && list.hasFocus()) {
        Control(ResizedControl::txtLocality).setFocus();
    }
}

void WindowGeometryAdapter::ApplySizeLimits() {
    window_.setMinimumWidth(MinimumClientWidthPixels(kMinimumWidth, dpi_));
    if (StatusBarVisible()) {
        window_.setMaximumHeight(QWIDGETSIZE_MAX);
        RetakeScreen();
        window_.setMinimumHeight(MinimumClientHeightPixels(kMinimumExpandedHeight, dpi_));
    } else {
        const int compact = ClientHeightPixels(kCompactHeight, dpi_);
        window_.setMinimumHeight(compact);
        // A maximum below the window's height shrinks it, and a maximised or
        // full-screen window shrunk that way is no longer maximised or full
        // screen. Such a window keeps the size the window system gave it; the
        // compact maximum waits until the window is back in its normal state
        // (the window applies its shape again on every change of state).
        // Where the window system dictates those sizes, there is no compact
        // maximum at all, and the rules alone hold the compact height.
        if (!RefusesSize() && !screen_sizes_dictated_) {
            window_.setMaximumHeight(compact);
        }
    }
}

void WindowGeometryAdapter::RetakeScreen() {
    const Qt::WindowStates state = window_.windowState();
    const Qt::WindowStates screen_states = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (retaking_screen_ || (state & screen_states) == 0 || (state & Qt::WindowMinimized) != 0 ||
        window_.height() >= MinimumClientHeightPixels(kMinimumExpandedHeight, dpi_)) {
        return;
    }
    // Out of the state and into it again: the window system gives the window
    // the screen anew, under the limits of the moment. The size of the
    // normal state is given back in between, so that the window returns to
    // it later and not to the strip.
    const QRect normal = window_.normalGeometry();
    retaking_screen_ = true;
    window_.setWindowState(state & ~screen_states);
    if (normal.isValid()) {
        window_.setGeometry(normal);
    }
    window_.setWindowState(state);
    retaking_screen_ = false;
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
