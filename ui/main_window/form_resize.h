#pragma once

namespace korvallestin {

// The controls that the resize rules move or stretch.
enum class ResizedControl {
    cmdFind,
    cmdStop,
    cmdNew,
    aniSearch,
    imgHelp,
    tbsTabStrip,
    pcbTab1,
    txtLocality,
    lvwResults,
};

// The main window as its resize rules see it. Lengths are twips; the width
// and height are the outer size, frame included. Every write takes effect at
// once, so a later read sees it (a window system that refuses a size simply
// leaves it unchanged).
class ResizableWindow {
  public:
    virtual ~ResizableWindow() = default;
    virtual float OuterWidth() const = 0;
    virtual float OuterHeight() const = 0;
    virtual void SetOuterWidth(float twips) = 0;
    virtual void SetOuterHeight(float twips) = 0;
    virtual bool StatusBarVisible() const = 0;
    virtual void SetControlLeft(ResizedControl control, float twips) = 0;
    virtual void SetControlWidth(ResizedControl control, float twips) = 0;
    virtual void SetControlHeight(ResizedControl control, float twips) = 0;
};

// Window shapes and the distances the rules keep, in twips.
inline constexpr float kMinimumWidth = 5500;
inline constexpr float kCompactHeight = 3135;
inline constexpr float kMinimumExpandedHeight = 5580;
// The results list fills the window less these allowances.
inline constexpr float kListWidthAllowance = 105;
inline constexpr float kListHeightAllowance = 3525;
// The buttons and the animation stand this far left of the right edge.
inline constexpr float kButtonColumnOffset = 1440;
inline constexpr float kHelpIconOffset = 500;
// The criteria area is narrower than the window by these allowances.
inline constexpr float kTabStripAllowance = 1665;
inline constexpr float kCriteriaPanelAllowance = 1905;
inline constexpr float kLocalityBoxAllowance = 4335;

// Runs the resize rules once: holds the window to its limits for the shape
// the status bar's visibility selects, then places the controls that follow
// the right edge and stretches those that follow the width (and the list,
// in the expanded shape, the height). Every step reads the window's size
// again, so a correction made by one step is seen by the next. Nothing is
// kept between calls, so a nested call raised by one of its own size writes
// is harmless. When the window refuses a size (maximised or minimised), the
// controls are placed for the size it keeps; a computed width or height that
// would come out below zero is written as zero.
void Form_Resize(ResizableWindow& window);

}  // namespace korvallestin
