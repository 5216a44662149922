#include "ui/Edit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "ui/ErrorReport.h"

namespace zandrel {

namespace {

/// The character a key press types, or '\0' for keys that type none (arrows, shortcuts).
char typedCharacter(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return '\r';
    const QString text = event->text();
    if (text.size() != 1) return '\0';
    const QChar c = text.front();
    if (c.unicode() == 0 || c.unicode() > 0xFF) return '\0';
    return static_cast<char>(c.unicode());
}

}  // namespace

Edit::Edit(QWidget* parent) : QLineEdit(parent) {}

void Edit::keyPressEvent(QKeyEvent* event) {
    char key = typedCharacter(event);
    if (key != '\0' && OnKeyPress) {
        bool failed = true;
        RunCommand([&] {
            OnKeyPress(key);
            failed = false;
        });
        if (failed || key == '\0') {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void Edit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    if (OnExit) RunCommand(OnExit);
}

}  // namespace zandrel
