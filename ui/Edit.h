#pragma once

#include <QLineEdit>
#include <functional>

namespace zandrel {

/// A one-line edit with the two events the windows bind: a typed character, which the
/// handler may swallow by setting it to '\0', and leaving the edit for another control.
/// Both run as commands: an error goes to the general error report (and a key whose handler
/// failed does not reach the edit).
class Edit : public QLineEdit {
    Q_OBJECT

public:
    explicit Edit(QWidget* parent = nullptr);

    /// Called with each typed character (Enter as '\r'); set Key to '\0' to swallow it.
    std::function<void(char& Key)> OnKeyPress;

    /// Called when the focus moves from the edit to another control of its window. Switching
    /// to another window or opening a menu is no leaving.
    std::function<void()> OnExit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace zandrel
