#include "cli/OptionApplication.h"

#include <string>

namespace zandrel::cli {

namespace {

void overrideText(const std::optional<int32_t>& value, std::string& editText) {
    if (value) editText = std::to_string(*value);
}

}  // namespace

void applyLayoutOverrides(const LayoutOverrides& layout, LayoutTexts& edits) {
    overrideText(layout.BitSizeX, edits.BitSizeXEdit);
    overrideText(layout.BitSizeY, edits.BitSizeYEdit);
    overrideText(layout.BitGap, edits.BitGapEdit);
    overrideText(layout.ColGap, edits.ColGapEdit);
    overrideText(layout.BitsPerRow, edits.BitsPerRowEdit);
    overrideText(layout.BitsPerOutput, edits.BitsPerOutputEdit);
}

void applyExportOverrides(const ExportOverrides& options, Document& doc) {
    if (options.reverseOutputs) doc.ReverseOutputs = 1;
    if (options.reverseWithinOutCol) doc.ReverseWithinOutCol = 1;
    if (options.endianMode) doc.EndianMode = *options.endianMode;
    if (options.bitOrder) doc.OutputBitOrderStrToArray(*options.bitOrder);
}

void invertCells(Document& doc) {
    size_t count = static_cast<size_t>(doc.BinDataLen);
    if (count > doc.Cells.size()) count = doc.Cells.size();
    for (size_t i = 0; i < count; ++i) doc.Cells[i] ^= CELL_VALUE;
}

}  // namespace zandrel::cli
