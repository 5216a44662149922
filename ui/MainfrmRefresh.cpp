// The main window's full refresh and the record of what changed since the last one.

#include "render/CellGeometry.h"
#include "ui/BitView.h"
#include "ui/Hexfrm.h"
#include "ui/Mainfrm.h"

namespace zandrel {

TMainForm::DrawnLayout TMainForm::drawnLayout() const {
    return {doc_.BitSizeX,   doc_.BitSizeY,      doc_.BitGap,        doc_.ColGap,
            doc_.BitsPerRow, doc_.BitsPerOutput, doc_.ShownBitCount, doc_.Cells.data()};
}

void TMainForm::noteChanged(const CellChange& change) {
    if (change.empty()) return;
    if (!pictureInvalid_) pictureChanges_.push_back(change);
    if (!exportInvalid_) exportChanges_.push_back(change);
}

void TMainForm::noteEverythingChanged() {
    pictureInvalid_ = true;
    pictureChanges_.clear();
    exportInvalid_ = true;
    exportChanges_.clear();
    BitImageEnView->cellsReplaced();
}

void TMainForm::everythingExported() {
    if (doc_.BinDataLen < 8) return;
    exportInvalid_ = false;
    exportChanges_.clear();
}

int32_t TMainForm::exportChangedCells(ExportChange& bytesChanged) {
    // Beyond this many changed cells a whole export costs less than finding their bytes.
    constexpr int64_t kMostCellsReexported = 1 << 16;
    int64_t changed = 0;
    for (const CellChange& change : exportChanges_) changed += change.count;
    int32_t result = 0;
    if (exportInvalid_ || changed > kMostCellsReexported) {
        bytesChanged.whole = true;
        result = doc_.ExportBin(layoutTexts());
    } else {
        std::vector<int32_t> cells;
        cells.reserve(static_cast<size_t>(changed));
        for (const CellChange& change : exportChanges_)
            for (int32_t k = 0; k < change.count; ++k) cells.push_back(change.cell(k));
        result = doc_.ExportBinChanged(layoutTexts(), cells, bytesChanged);
    }
    everythingExported();
    return result;
}

void TMainForm::DrawBitsButtonClick() {
    doc_.ReadLayoutParams(layoutTexts());
    // The picture's size divides by the layout: an error here leaves the picture as it was.
    const BitmapSize size = ImageSize(doc_);
    doc_.ImageWidth = size.width;
    doc_.ImageHeight = size.height;

    const DrawnLayout layout = drawnLayout();
    if (!pictureShown_ || pictureInvalid_ || layout != shownLayout_) {
        BitImageEnView->showPicture(doc_);
        shownLayout_ = layout;
        pictureShown_ = true;
    } else {
        BitImageEnView->cellsChanged(pictureChanges_);
    }
    pictureInvalid_ = false;
    pictureChanges_.clear();

    ExportChange bytesChanged;
    if (exportChangedCells(bytesChanged) > 0) showExport(&bytesChanged);
}

void TMainForm::showExport(const ExportChange* change) {
    if (!hexForm_) return;
    if (change && !change->whole && byteViewInSync_) {
        hexForm_->ShowChangedBytes(doc_.ExportData.data(), doc_.ExportLen, change->bytes);
    } else {
        hexForm_->ShowBytes(doc_.ExportData.data(), doc_.ExportLen);
    }
    byteViewInSync_ = true;
}

}  // namespace zandrel
