#pragma once

#include <QFont>

#include <functional>

#include "window_system.h"

class QWidget;

namespace korvallestin {

// The controls of both windows share one font, of the family WindowFontFamily()
// names for the system. The layout's boxes were sized for a small Arial-like
// face: Arial on Windows, and Liberation Sans, with Arial's metrics, elsewhere,
// so that captions take the same room on every machine.
inline constexpr double kWindowFontPoints = 8;
inline constexpr double kSmallestWindowFontPoints = 6;

// The largest size of `font`, from its own size down in half points to
// `smallest_points`, at which `fits` holds; the smallest when none does.
QFont LargestFittingSize(QFont font, double smallest_points,
                         const std::function<bool(const QFont&)>& fits);

// The font for the controls of a window on the screen of `window`:
// that family (the system's sans-serif where it is missing) at 8 points,
// or smaller where the widest caption of the layout, "begins with" in the
// 1215-twip search-type box beside its drop-down arrow, would not fit.
QFont WindowFont(const QWidget& window);

}  // namespace korvallestin
