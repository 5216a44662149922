#pragma once

#include <QCheckBox>
#include <functional>

namespace zandrel {

/// A check box whose OnClick runs exactly when its state changes: by the user, or by
/// setChecked. A change through setChecked calls OnClick directly, so its errors reach the
/// caller; a change by the user runs it as a command (errors go to the general error report).
class CheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit CheckBox(const QString& text, QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }

    /// Sets the tick; runs OnClick when the state changes. Hides QAbstractButton::setChecked.
    void setChecked(bool checked);

    std::function<void()> OnClick;

private:
    bool updating_ = false;
};

}  // namespace zandrel
