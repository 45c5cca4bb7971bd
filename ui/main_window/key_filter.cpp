#include "key_filter.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

namespace korvallestin {

bool FilterTypedKey(QLineEdit& box, int (*filter)(int), const QKeyEvent& event) {
    // Only typed characters pass the filter: printable ones, backspace, and
    // the paste keys, which type code 22. Editing keys that type nothing, or
    // a control code (Delete, arrows, Ctrl+A, Ctrl+C), work as usual.
    int code = 0;
    if (event.matches(QKeySequence::Paste)) {
        code = 22;
    } else if (event.key() == Qt::Key_Backspace) {
        code = 8;
    } else {
        const QString text = event.text();
        if (text.size() != 1 || (event.modifiers() & Qt::ControlModifier)) {
            return false;
        }
        code = text.at(0).unicode();
        if (code < 32 || code == 127) {
            return false;
        }
    }
    const int result = filter(code);
    if (result == code) {
        return false;  // the box takes the key as it is
    }
    if (result != 0) {
        box.insert(QString(QChar(static_cast<char16_t>(result))));
    }
    return true;  // replaced or discarded
}

}  // namespace korvallestin
