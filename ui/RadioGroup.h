#pragma once

#include <QGroupBox>
#include <QStringList>
#include <functional>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace zandrel {

/// A titled frame of radio buttons, one of which (or none) is chosen.
///
/// OnClick runs whenever a different item becomes the chosen one: when the user picks it, and
/// when setItemIndex selects it. Choosing no item (-1) runs nothing. A programmatic change calls
/// OnClick directly, so its errors reach the caller of setItemIndex; a change by the user runs
/// it as a command (errors go to the general error report).
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    /// Items are laid out in `columns` columns, filling each column from the top first.
    RadioGroup(const QString& title, const QStringList& items, int columns = 1, QWidget* parent = nullptr);

    /// The chosen item, -1 when none.
    int ItemIndex() const { return itemIndex_; }

    /// Chooses an item; the value is limited to -1 .. count - 1.
    void setItemIndex(int index);

    int count() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }

    std::function<void()> OnClick;

    /// Room for every item's text in its column and every row at its height.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeButtons();
    QRect itemArea() const;
    void userChose(int index, bool checked);
    void showIndex(int index);
    void click();

    std::vector<QRadioButton*> buttons_;
    QButtonGroup* group_;
    int columns_;
    int itemIndex_ = -1;
    bool updating_ = false;
};

}  // namespace zandrel
