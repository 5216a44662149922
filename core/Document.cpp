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
    std::vector<uint8_t> fresh(static_cast<size_t>(count < 0 ? 0 : count), 0);
    Cells.swap(fresh);
    BinDataLen = count < 0 ? 0 : count;
}

}  // namespace zandrel
