#include "ui/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

#include "ui/ErrorReport.h"

namespace zandrel {

namespace {

/// A radio button that takes a click anywhere in its column, not only on its text.
class GroupButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)), columns_(std::max(1, columns)) {
    group_->setExclusive(true);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new GroupButton(items[i], this);
        group_->addButton(button, i);
        buttons_.push_back(button);
        connect(button, &QRadioButton::toggled, this, [this, i](bool checked) { userChose(i, checked); });
    }
    placeButtons();
}

void RadioGroup::setItemIndex(int index) {
    index = std::clamp(index, -1, count() - 1);
    if (index == itemIndex_) return;
    showIndex(index);
    if (index >= 0) click();
}

void RadioGroup::showIndex(int index) {
    itemIndex_ = index;
    updating_ = true;
    if (index >= 0) {
        buttons_[static_cast<size_t>(index)]->setChecked(true);
    } else {
        // An exclusive group keeps one button checked; lift that for the moment of clearing.
        group_->setExclusive(false);
        for (QRadioButton* button : buttons_) button->setChecked(false);
        group_->setExclusive(true);
    }
    updating_ = false;
}

void RadioGroup::userChose(int index, bool checked) {
    if (updating_ || !checked || index == itemIndex_) return;
    itemIndex_ = index;
    RunCommand([this] { click(); });
}

void RadioGroup::click() {
    if (OnClick) OnClick();
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    placeButtons();
}

QRect RadioGroup::itemArea() const {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this)
        .adjusted(8, 0, -4, 0);
}

QSize RadioGroup::sizeHint() const {
    if (buttons_.empty()) return QGroupBox::sizeHint();
    QSize item;
    for (const QRadioButton* button : buttons_) item = item.expandedTo(button->sizeHint());
    const int perColumn = (count() + columns_ - 1) / columns_;
    const QSize border = size() - itemArea().size();
    return QSize(item.width() * columns_, item.height() * perColumn) + border;
}

void RadioGroup::placeButtons() {
    if (buttons_.empty()) return;
    // The items share the frame's inner area evenly, column by column.
    const QRect inner = itemArea();
    const int perColumn = (count() + columns_ - 1) / columns_;
    const int columnWidth = std::max(1, inner.width() / columns_);
    const int rowHeight = std::max(1, inner.height() / perColumn);
    for (int i = 0; i < count(); ++i) {
        QRadioButton* button = buttons_[static_cast<size_t>(i)];
        const int height = std::min(rowHeight, button->sizeHint().height());
        const int x = inner.left() + (i / perColumn) * columnWidth;
        const int y = inner.top() + (i % perColumn) * rowHeight + (rowHeight - height) / 2;
        button->setGeometry(x, y, columnWidth, height);
    }
}

}  // namespace zandrel
