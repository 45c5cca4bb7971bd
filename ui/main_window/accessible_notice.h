#pragma once

#include <QString>
#include <QWidget>

#include <string>

#include "search_announcements.h"

namespace korvallestin {

// An invisible notification for screen readers. Each announcement becomes
// its accessible name and is shown anew, which screen readers speak without
// the focus moving. It takes no space and no focus.
class AccessibleNotice final : public QWidget, public Announcer {
    Q_OBJECT

  public:
    explicit AccessibleNotice(QWidget* parent = nullptr);

    void Announce(const std::string& text) override;
    const QString& Text() const { return text_; }

  signals:
    // Every announcement, whether or not a screen reader listens.
    void Announced(const QString& text);

  private:
    QString text_;
};

}  // namespace korvallestin
