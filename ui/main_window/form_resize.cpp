#include "form_resize.h"

#include <algorithm>

namespace korvallestin {

namespace {

// Sizes only go below zero when the window system has refused one of the
// size corrections (a minimised window reporting a tiny size).
float NotNegative(float twips) {
    return std::max(twips, 0.0f);
}

}  // namespace

void Form_Resize(ResizableWindow& window) {
    if (window.OuterWidth() < kMinimumWidth) {
        window.SetOuterWidth(kMinimumWidth);
    }
    if (!window.StatusBarVisible() && window.OuterHeight() != kCompactHeight) {
        window.SetOuterHeight(kCompactHeight);
    }
    if (window.StatusBarVisible() && window.OuterHeight() < kMinimumExpandedHeight) {
        window.SetOuterHeight(kMinimumExpandedHeight);
    }
    // The list lies below the visible area while the window is compact.
    if (window.StatusBarVisible()) {
        window.SetControlWidth(ResizedControl::lvwResults,
                               NotNegative(window.OuterWidth() - kListWidthAllowance));
        window.SetControlHeight(ResizedControl::lvwResults,
                                NotNegative(window.OuterHeight() - kListHeightAllowance));
    }
    for (const auto control :
         {ResizedControl::cmdFind, ResizedControl::cmdStop, ResizedControl::cmdNew}) {
        window.SetControlLeft(control, window.OuterWidth() - kButtonColumnOffset);
    }
    window.SetControlLeft(ResizedControl::aniSearch, window.OuterWidth() - kButtonColumnOffset);
    window.SetControlLeft(ResizedControl::imgHelp, window.OuterWidth() - kHelpIconOffset);
    window.SetControlWidth(ResizedControl::tbsTabStrip,
                           NotNegative(window.OuterWidth() - kTabStripAllowance));
    window.SetControlWidth(ResizedControl::pcbTab1,
                           NotNegative(window.OuterWidth() - kCriteriaPanelAllowance));
    window.SetControlWidth(ResizedControl::txtLocality,
                           NotNegative(window.OuterWidth() - kLocalityBoxAllowance));
}

}  // namespace korvallestin
