#pragma once

class QKeyEvent;
class QLineEdit;

namespace korvallestin {

// Passes a key pressed in `box` through a keystroke filter, which takes a
// character code and returns it, another one to type instead, or 0 to drop
// it. True when the key was replaced or dropped, so the box must not see it.
bool FilterTypedKey(QLineEdit& box, int (*filter)(int), const QKeyEvent& event);

}  // namespace korvallestin
