#pragma once

namespace korvallestin {

// For the programs that drive the window without a screen (the widget tests,
// the benchmark): chooses Qt's offscreen platform unless QT_QPA_PLATFORM
// names one, and drops that platform's warning that it cannot pass size
// limits on to a window system, which it repeats each time a window's limits
// change and which says nothing about the program. Call before the
// application object is made.
void UseHeadlessPlatform();

}  // namespace korvallestin
