#include "control_adapters.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "animation_control.h"
#include "display_adapters.h"
#include "display_text.h"
#include "platform.h"
#include "window_system.h"

namespace korvallestin {

namespace {

std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// The folder of the program's real file, found by the system layer as the
// console program finds it, with Qt's forward slashes.
QString SystemProgramFolder() {
    return QDir::fromNativeSeparators(QString::fromStdString(ProgramFolder()));
}

}  // namespace

void CommandButtonAdapter::SetEnabled(bool enabled) {
    button_.setEnabled(enabled);
}

bool CommandButtonAdapter::IsEnabled() const {
    return button_.isEnabled();
}

bool AnimationAdapter::IsEnabled() const {
    return control_.isEnabled();
}

void AnimationAdapter::Play() {
    control_.Play();
}

void AnimationAdapter::Stop() {
    control_.Stop();
}

CriteriaAdapter::CriteriaAdapter(const QComboBox& search_type, const QLineEdit& locality,
                                 const QComboBox& state, const QLineEdit& postcode)
    : search_type_(search_type), locality_(locality), state_(state), postcode_(postcode) {}

std::string CriteriaAdapter::PostCodeText() const {
    return ToUtf8(postcode_.text());
}

std::string CriteriaAdapter::StateText() const {
    return ToUtf8(state_.currentText());
}

std::string CriteriaAdapter::LocalityText() const {
    return ToUtf8(locality_.text());
}

int CriteriaAdapter::SearchTypeIndex() const {
    return search_type_.currentIndex();
}

void MessageBoxAdapter::ShowExclamation(const std::string& text, const std::string& title) {
    updates_.FlushNow();
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), ForDisplay(text),
                    QMessageBox::Ok, &parent_);
    box.exec();
}

EventQueueAdapter::EventQueueAdapter()
    : EventQueueAdapter(EventLookSpacing(), [] { return std::chrono::steady_clock::now(); }) {}

EventQueueAdapter::EventQueueAdapter(std::chrono::microseconds spacing, EventTurns::Clock clock)
    : turns_(spacing, std::move(clock)) {}

void EventQueueAdapter::Yield() {
    if (observer_) {
        observer_();
    }
    if (turns_.Due()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

ProgramLocationAdapter::ProgramLocationAdapter(const QString& folder)
    : folder_(folder.isEmpty() ? SystemProgramFolder() : folder) {}

std::string ProgramLocationAdapter::ProgramFolder() const {
    // With the system's own separators: the folder is shown to the user when
    // the data file is missing, and Windows writes it with backslashes.
    return ToUtf8(QDir::toNativeSeparators(folder_));
}

}  // namespace korvallestin
