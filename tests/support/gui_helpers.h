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

// Runs `action` once, on the first modal window that opens while it lives,
// from inside that window's own event loop. Destroyed first, it never runs,
// so `action` may refer to the test's local variables.
class OnModal {
  public:
    explicit OnModal(std::function<void(QWidget&)> action);
    bool Ran() const { return ran_; }

  private:
    std::function<void(QWidget&)> action_;
    bool ran_ = false;
    QTimer timer_;
};

// The objectName of the widget that has the keyboard focus.
QString FocusName();

}  // namespace korvallestin::testing
