// The pointer over the bit view: the read-out, presses and drags that act on cells.

#include <QLabel>

#include "render/HitTest.h"
#include "render/PointerReadout.h"
#include "ui/BitView.h"
#include "ui/Mainfrm.h"

namespace zandrel {

bool TMainForm::actOnPointer(int x, int y, int32_t dragMode) {
    const PointerAction action = PointerActionFromItemIndex(ActionRadioGroup->ItemIndex());
    const int32_t px = PointerOffset(x, BitImageEnView->ViewX(), BitImageEnView->ImageOriginX());
    const int32_t py = PointerOffset(y, BitImageEnView->ViewY(), BitImageEnView->ImageOriginY());
    const std::optional<int32_t> hit =
        HitTest(doc_, action, px, py, BitImageEnView->ZoomX(), BitImageEnView->ZoomY());
    if (!hit) return false;
    noteChanged(ApplyPointerAction(doc_, action, *hit, dragMode));
    DrawBitsButtonClick();
    return true;
}

void TMainForm::BitImageEnViewMouseDown(int button, int x, int y) {
    const int32_t dragMode = button + 1;
    if (actOnPointer(x, y, dragMode)) {
        doc_.DragMode = dragMode;
    } else {
        doc_.DragMode = 0;
    }
}

void TMainForm::BitImageEnViewMouseMove(int x, int y) {
    const int32_t bx =
        XScr2Bmp(x, BitImageEnView->ImageOriginX(), BitImageEnView->ViewX(), BitImageEnView->ZoomX());
    const int32_t by =
        YScr2Bmp(y, BitImageEnView->ImageOriginY(), BitImageEnView->ViewY(), BitImageEnView->ZoomY());
    // No read-out and no dragging while a size or the output width is 0.
    const std::optional<PointerReadout> readout = ReadOut(doc_, bx, by);
    if (!readout) return;
    showReadout(*readout);
    if (doc_.DragMode != 0) actOnPointer(x, y, doc_.DragMode);
}

void TMainForm::BitImageEnViewMouseUp(int, int, int) { doc_.DragMode = 0; }

void TMainForm::showReadout(const PointerReadout& readout) {
    BitNumberLabel->setText(QString::number(readout.BitNumber));
    RowLabel->setText(QString::number(readout.Row));
    GroupLabel->setText(QString::number(readout.Group));
    ColLabel->setText(QString::number(readout.Col));
    FullColLabel->setText(QString::number(readout.FullCol));
    for (QLabel* label : {BitNumberLabel, RowLabel, GroupLabel, ColLabel, FullColLabel}) label->adjustSize();
}

}  // namespace zandrel
