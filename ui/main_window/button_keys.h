#pragma once

class QPushButton;

namespace korvallestin {

// Enter, or the keypad's Enter, clicks `button` while it has the focus. The
// button does not become a default button for it: a window has one default
// button, and screen readers name it.
void EnterClicksButton(QPushButton* button);

}  // namespace korvallestin
