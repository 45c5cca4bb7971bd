#pragma once

#include <array>
#include <cstddef>

#include "form_resize.h"
#include "search_window.h"

class QWidget;

namespace korvallestin {

// The main window's size and the places of its controls, in twips, as the
// search run and the resize rules see them. The outer size is the client area
// plus the frame the layout was drawn for, whatever frame the window system
// draws (layout_frame.h), so it is right from the first frame shown.
class WindowGeometryAdapter final : public TopLevelWindow, public ResizableWindow {
  public:
    // `window` is the top-level window, `status_bar` the bar whose visibility
    // selects the window's shape.
    WindowGeometryAdapter(QWidget& window, const QWidget& status_bar, double dpi);

    // The widget that the rules move or stretch as `control`.
    void Attach(ResizedControl control, QWidget* widget);
    // Puts the window into the shape its status bar selects: tells the window
    // system the shape's limits, so that a border dragged by the user stops
    // at them instead of snapping back (on Wayland the compact height is not
    // announced as a maximum: see screen_sizes_dictated_), and keeps the list
    // out of the Tab order while it lies below the compact window. A
    // maximised, minimised or full-screen window is not shrunk to the compact
    // height until it is back in its normal state: call this again when its
    // state changes. Meanwhile its controls are fitted to the size it has.
    void ApplyShape();

    float OuterWidth() const override;
    float OuterHeight() const override;
    void SetOuterWidth(float twips) override;
    void SetOuterHeight(float twips) override;
    bool StatusBarVisible() const override;
    void SetControlLeft(ResizedControl control, float twips) override;
    void SetControlWidth(ResizedControl control, float twips) override;
    void SetControlHeight(ResizedControl control, float twips) override;

  private:
    void ApplySizeLimits();
    // Some window systems hold a maximised or full-screen window to the
    // maximum height in force when it entered that state (Windows does): the
    // compact window becomes a strip as wide as the screen, too low for the
    // list and the status bar. Once the expanded shape has lifted that limit,
    // such a window enters its state again and is given the whole screen.
    void RetakeScreen();
    bool RefusesSize() const;
    int Px(double twips) const;
    QWidget& Control(ResizedControl control) const;

    QWidget& window_;
    const QWidget& status_bar_;
    double dpi_;
    // The last size set in twips, so that reading it back gives exactly
    // that value while the window still has the pixel size it produced.
    float width_twips_ = -1;
    float height_twips_ = -1;
    bool retaking_screen_ = false;
    // A Wayland compositor tells a maximised window the size it must take
    // (a full-screen one the size it must not pass), and ends the program
    // whose window takes another. The window takes that size before it hears
    // of its new state (from its title bar, it asks the compositor itself),
    // so no maximum may shorten it: Qt keeps every size within the limits.
    bool screen_sizes_dictated_;
    std::array<QWidget*, static_cast<std::size_t>(ResizedControl::lvwResults) + 1> controls_{};
};

}  // namespace korvallestin
