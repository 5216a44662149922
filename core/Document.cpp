#include "core/Document.h"

#include "core/Int32.h"
#include "core/StrToInt.h"

namespace zandrel {

Document::Document() {
    for (int32_t i = 0; i < kOutputBitOrderSize; ++i) OutputBitOrder[static_cast<size_t>(i)] = i;
}

void Document::ReadLayoutParams(const LayoutTexts& edits) {
    BitSizeX = StrToIntDef(edits.BitSizeXEdit, 0);
    BitSizeY = StrToIntDef(edits.BitSizeYEdit, 0);
    BitGap = StrToIntDef(edits.BitGapEdit, 0);
    ColGap = StrToIntDef(edits.ColGapEdit, 0);
    BitsPerRow = StrToIntDef(edits.BitsPerRowEdit, 0);
    BitsPerOutput = StrToIntDef(edits.BitsPerOutputEdit, 0);
    OutputsPerRow = i32::div(BitsPerRow, BitsPerOutput);
    ShownBitCount = BinDataLen;
}

void Document::replaceCells(int32_t count) {
    if (count < 0) count = 0;
    replaceCellsWith(std::vector<uint8_t>(static_cast<size_t>(count), 0), count);
}

void Document::replaceCellsWith(std::vector<uint8_t>&& cells, int32_t count) {
    Cells.swap(cells);
    BinDataLen = count;
    cellsReplaced();
}

void Document::cellsReplaced() { exportInSync_ = false; }

}  // namespace zandrel
