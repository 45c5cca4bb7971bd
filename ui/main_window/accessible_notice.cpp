#include "accessible_notice.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "accessible_factory.h"

namespace korvallestin {

namespace {

// The notice as assistive technology sees it: a notification named by its
// latest text.
class NoticeInterface final : public QAccessibleWidget {
  public:
    explicit NoticeInterface(AccessibleNotice* notice)
        : QAccessibleWidget(notice, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            return static_cast<const AccessibleNotice*>(widget())->Text();
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* NoticeFactory(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String(AccessibleNotice::staticMetaObject.className())) {
        if (auto* notice = qobject_cast<AccessibleNotice*>(object)) {
            return new NoticeInterface(notice);
        }
    }
    return nullptr;
}

}  // namespace

AccessibleNotice::AccessibleNotice(QWidget* parent) : QWidget(parent) {
    InstallAccessibleFactoryOnce(&NoticeFactory);
    setObjectName(QStringLiteral("accNotice"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(0, 0);
}

void AccessibleNotice::Announce(const std::string& text) {
    text_ = QString::fromStdString(text);
    emit Announced(text_);
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    // Screen readers speak a notification when it appears.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

}  // namespace korvallestin
