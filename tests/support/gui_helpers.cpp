#include "gui_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace korvallestin::testing {

MessageBoxAnswerer::MessageBoxAnswerer() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        seen_.push_back(box->windowTitle() + QStringLiteral(": ") + box->text());
        box->button(QMessageBox::Ok)->click();
    });
    timer_.start();
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    timer_.stop();
}

OnModal::OnModal(std::function<void(QWidget&)> action) : action_(std::move(action)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        timer_.stop();
        ran_ = true;
        action_(*modal);
    });
    timer_.start();
}

QString FocusName() {
    QWidget* w = QApplication::focusWidget();
    return w != nullptr ? w->objectName() : QString();
}

}  // namespace korvallestin::testing
