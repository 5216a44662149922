#include "ui/CheckBox.h"

#include "ui/ErrorReport.h"

namespace zandrel {

CheckBox::CheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    // Every change not made through our setChecked (a click, the space key, a mnemonic, a
    // caller of the base class's slot) comes in here.
    connect(this, &QCheckBox::toggled, this, [this] {
        if (!updating_ && OnClick) RunCommand(OnClick);
    });
}

void CheckBox::setChecked(bool checked) {
    if (checked == isChecked()) return;
    updating_ = true;
    QCheckBox::setChecked(checked);
    updating_ = false;
    if (OnClick) OnClick();
}

}  // namespace zandrel
