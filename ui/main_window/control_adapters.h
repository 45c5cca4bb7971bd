#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <string>
#include <utility>

#include "event_turns.h"
#include "matching.h"
#include "search_window.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace korvallestin {

class AnimationControl;
class ScreenUpdates;

// "F&ind Now" and "Sto&p" as a run sees them.
class CommandButtonAdapter final : public CommandButton {
  public:
    explicit CommandButtonAdapter(QPushButton& button) : button_(button) {}
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;

  private:
    QPushButton& button_;
};

// The animation `aniSearch`; it plays only while enabled, and a clip that
// could not be opened disables it.
class AnimationAdapter final : public Animation {
  public:
    explicit AnimationAdapter(AnimationControl& control) : control_(control) {}
    bool IsEnabled() const override;
    void Play() override;
    void Stop() override;

  private:
    AnimationControl& control_;
};

// The four criteria boxes, read as UTF-8.
class CriteriaAdapter final : public CriteriaControls {
  public:
    CriteriaAdapter(const QComboBox& search_type, const QLineEdit& locality, const QComboBox& state,
                    const QLineEdit& postcode);
    std::string PostCodeText() const override;
    std::string StateText() const override;
    std::string LocalityText() const override;
    int SearchTypeIndex() const override;

  private:
    const QComboBox& search_type_;
    const QLineEdit& locality_;
    const QComboBox& state_;
    const QLineEdit& postcode_;
};

// Modal message boxes over the window. What was found so far is on the
// screen before the box opens.
class MessageBoxAdapter final : public MessageBox {
  public:
    MessageBoxAdapter(QWidget& parent, ScreenUpdates& updates)
        : parent_(parent), updates_(updates) {}
    void ShowExclamation(const std::string& text, const std::string& title) override;

  private:
    QWidget& parent_;
    ScreenUpdates& updates_;
};

// The application's event queue. Every yield gives the queue a turn where
// the system makes looking at it cheap, and at most one per the system's
// spacing where it does not. An observer, when set, hears of every yield.
class EventQueueAdapter final : public EventQueue {
  public:
    EventQueueAdapter();
    EventQueueAdapter(std::chrono::microseconds spacing, EventTurns::Clock clock);
    void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    void Yield() override;

  private:
    EventTurns turns_;
    std::function<void()> observer_;
};

// Where the program's data file and clip are: the folder given, or else the
// folder of the program's own executable file (the real file, links
// followed, whatever the working directory).
class ProgramLocationAdapter final : public ProgramLocation {
  public:
    explicit ProgramLocationAdapter(const QString& folder);
    const QString& Folder() const { return folder_; }
    std::string ProgramFolder() const override;

  private:
    QString folder_;
};

// The window's start-up routine, as New Search runs it again.
class StartupAdapter final : public StartupRoutine {
  public:
    explicit StartupAdapter(std::function<void()> form_load) : form_load_(std::move(form_load)) {}
    void Form_Load() override { form_load_(); }

  private:
    std::function<void()> form_load_;
};

}  // namespace korvallestin
