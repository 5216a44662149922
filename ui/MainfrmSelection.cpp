// The selection commands: select all, unselect all, invert selected bits, select pattern.

#include <QLineEdit>

#include "ui/Mainfrm.h"
#include "ui/Selpatfrm.h"
#include "ui/Text.h"

namespace zandrel {

void TMainForm::SelAllButtonClick() {
    doc_.ReadLayoutParams(layoutTexts());
    noteChanged(SelectAllCells(doc_));
    DrawBitsButtonClick();
}

void TMainForm::ClearSelButtonClick() {
    doc_.ReadLayoutParams(layoutTexts());
    noteChanged(UnselectAllCells(doc_));
    DrawBitsButtonClick();
}

void TMainForm::InvertSelButtonClick() {
    doc_.ReadLayoutParams(layoutTexts());
    noteChanged(InvertSelectedCells(doc_));
    DrawBitsButtonClick();
}

void TMainForm::Selectpattern1Click() {
    if (!selPatForm_) return;
    if (dialogs_.showModal(*selPatForm_) != TSelPatForm::kModalResultOK) return;
    const std::string pattern = ToStdString(selPatForm_->PatEdit->text());
    if (pattern.empty()) return;
    const std::vector<uint8_t> bits = PatternBits(pattern);
    doc_.ReadLayoutParams(layoutTexts());
    noteChanged(SelectPatternColumns(doc_, bits));
    DrawBitsButtonClick();
}

}  // namespace zandrel
