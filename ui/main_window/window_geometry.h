#pragma once

#include <QMargins>

#include <array>
#include <cstddef>

#include "form_resize.h"
#include "search_window.h"

class QWidget;

namespace korvallestin {

// The main window's size and the places of its controls, in twips, as the
// search run and the resize rules see them. Until the window is first shown
// the frame is a nominal one; from then on it is the one the window system
// reports.
class WindowGeometryAdapter final : public TopLevelWindow, public ResizableWindow {
  public:
    // `window` is the top-level window, `status_bar` the bar whose visibility
    // selects the window's shape.
    WindowGeometryAdapter(QWidget& window, const QWidget& status_bar, double dpi);

    // The widget that the rules move or stretch as `control`.
    void Attach(ResizedControl control, QWidget* widget);
    // Called when the window is shown. The first time, the real frame is
    // known: the limits are applied again with it and the result is true.
    bool LearnFrame();
    // Tells the window system the limits of the current shape, so that a
    // border dragged by the user stops at them instead of snapping back.
    void ApplySizeLimits();

    float OuterWidth() const override;
    float OuterHeight() const override;
    void SetOuterWidth(float twips) override;
    void SetOuterHeight(float twips) override;
    bool StatusBarVisible() const override;
    void SetControlLeft(ResizedControl control, float twips) override;
    void SetControlWidth(ResizedControl control, float twips) override;
    void SetControlHeight(ResizedControl control, float twips) override;

  private:
    QMargins FrameMargins() const;
    bool RefusesSize() const;
    int Px(double twips) const;
    QWidget& Control(ResizedControl control) const;

    QWidget& window_;
    const QWidget& status_bar_;
    double dpi_;
    bool frame_known_ = false;
    // The last size set in twips, so that reading it back gives exactly
    // that value while the window still has the pixel size it produced.
    float width_twips_ = -1;
    float height_twips_ = -1;
    std::array<QWidget*, static_cast<std::size_t>(ResizedControl::lvwResults) + 1> controls_{};
};

}  // namespace korvallestin
