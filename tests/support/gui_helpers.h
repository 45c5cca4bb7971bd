#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QWidget;

namespace korvallestin::testing {

// Answers every modal message box that opens while it lives: records its
// title and text, then presses its OK. Keeps a run that shows a message from
// waiting for a user who is not there.
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    const QStringList& Seen() const { return seen_; }

  private:
    QStringList seen_;
    QTimer timer_;
};

// Runs `action` once, as soon as the event loop turns (inside a modal loop
// or a search's yield as well).
void Soon(std::function<void()> action, int delay_ms = 0);

// The objectName of the widget that has the keyboard focus.
QString FocusName();

}  // namespace korvallestin::testing
