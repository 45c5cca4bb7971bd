#pragma once

#include <cmath>

namespace korvallestin {

// Windows and controls are laid out in twips, 1440 to the inch. One
// conversion serves the whole program: pixels = twips × logical DPI / 1440.
constexpr double kTwipsPerInch = 1440.0;

inline int TwipsToPixels(double twips, double logical_dpi) {
    return static_cast<int>(std::lround(twips * logical_dpi / kTwipsPerInch));
}

// Rounds up, for limits: a window held to at least N twips must not be
// allowed one pixel less than N twips.
inline int TwipsToPixelsAtLeast(double twips, double logical_dpi) {
    return static_cast<int>(std::ceil(twips * logical_dpi / kTwipsPerInch - 1e-9));
}

inline float PixelsToTwips(int pixels, double logical_dpi) {
    return static_cast<float>(pixels * kTwipsPerInch / logical_dpi);
}

}  // namespace korvallestin
