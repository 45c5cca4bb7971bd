#pragma once

#include "twips.h"

namespace korvallestin {

// The window's rules speak of its outer size, frame and caption included,
// but the layout was drawn for one particular frame: thin sizing borders and
// a caption bar, 90 twips across and 405 down. The real frame differs from
// one window manager to the next (and Wayland compositors do not report it
// at all), so the outer size is always taken as the client area plus that
// nominal frame. The client area is then the layout's own under any frame.
inline constexpr double kLayoutFrameWidth = 90;
inline constexpr double kLayoutFrameHeight = 405;

// Client pixels for an outer width or height in twips, and back.
inline int ClientWidthPixels(double outer_twips, double logical_dpi) {
    return TwipsToPixels(outer_twips - kLayoutFrameWidth, logical_dpi);
}
inline int ClientHeightPixels(double outer_twips, double logical_dpi) {
    return TwipsToPixels(outer_twips - kLayoutFrameHeight, logical_dpi);
}
inline float OuterWidthTwips(int client_pixels, double logical_dpi) {
    return static_cast<float>(PixelsToTwips(client_pixels, logical_dpi) + kLayoutFrameWidth);
}
inline float OuterHeightTwips(int client_pixels, double logical_dpi) {
    return static_cast<float>(PixelsToTwips(client_pixels, logical_dpi) + kLayoutFrameHeight);
}

// The least client size that holds an outer minimum: rounded up, so that a
// window at its limit reads back at least the minimum.
inline int MinimumClientWidthPixels(double outer_twips, double logical_dpi) {
    return TwipsToPixelsAtLeast(outer_twips - kLayoutFrameWidth, logical_dpi);
}
inline int MinimumClientHeightPixels(double outer_twips, double logical_dpi) {
    return TwipsToPixelsAtLeast(outer_twips - kLayoutFrameHeight, logical_dpi);
}

}  // namespace korvallestin
