#include <algorithm>
#include <cstring>

#include "core/Document.h"

namespace zandrel {

namespace {

/// Above this share of changed cells a whole export is cheaper than byte by byte.
constexpr int32_t kCellsPerChangeWorthSingleBytes = 16;

}  // namespace

ExportLayout Document::currentExportLayout() const {
    ExportLayout layout;
    layout.BitsPerRow = BitsPerRow;
    layout.BitsPerOutput = BitsPerOutput;
    layout.OutputsPerRow = OutputsPerRow;
    layout.ReverseOutputs = ReverseOutputs != 0;
    layout.ReverseWithinOutCol = ReverseWithinOutCol != 0;
    layout.BigEndian = EndianMode == 1;
    layout.OutputBitOrder.assign(OutputBitOrder.begin(), OutputBitOrder.begin() + OutputsPerRow);
    return layout;
}

const ExportMap& Document::exportMapForCurrentLayout() {
    ExportLayout layout = currentExportLayout();
    if (!exportMap_ || !(exportMap_->layout() == layout)) {
        exportInSync_ = false;
        exportMap_.reset();
        exportMap_.emplace(std::move(layout));
    }
    return *exportMap_;
}

int32_t Document::exportCellsHeld() const {
    return std::min<int64_t>(BinDataLen, static_cast<int64_t>(Cells.size()));
}

int32_t Document::ExportBin(const LayoutTexts& edits) {
    if (BinDataLen < 8) return 0;
    ReadLayoutParams(edits);
    CheckExportDomain(BitsPerRow, BitsPerOutput, OutputsPerRow);
    return exportWhole();
}

int32_t Document::exportWhole() {
    const ExportMap& map = exportMapForCurrentLayout();
    const int32_t byteCount = BinDataLen / 8;
    exportInSync_ = false;
    exportScratch_.resize(static_cast<size_t>(byteCount));
    map.exportAll(Cells.data(), exportCellsHeld(), byteCount, exportScratch_.data());
    exportInSync_ = true;
    exportSyncedBits_ = BinDataLen;
    const bool same =
        ExportLen == byteCount && ExportData.size() == static_cast<size_t>(byteCount) &&
        std::memcmp(ExportData.data(), exportScratch_.data(), static_cast<size_t>(byteCount)) == 0;
    if (same) return 0;
    ExportData.swap(exportScratch_);
    ExportLen = byteCount;
    return byteCount;
}

int32_t Document::ExportBinChanged(const LayoutTexts& edits, std::span<const int32_t> changedCells,
                                   ExportChange& change) {
    change = ExportChange{};
    if (BinDataLen < 8) return 0;
    ReadLayoutParams(edits);
    CheckExportDomain(BitsPerRow, BitsPerOutput, OutputsPerRow);

    const int32_t byteCount = BinDataLen / 8;
    const bool mapUnchanged = exportMap_ && exportMap_->layout() == currentExportLayout();
    const bool cacheFollows = mapUnchanged && exportInSync_ && exportSyncedBits_ == BinDataLen &&
                              ExportLen == byteCount && ExportData.size() == static_cast<size_t>(byteCount);
    const bool fewChanges =
        static_cast<int64_t>(changedCells.size()) <= BinDataLen / kCellsPerChangeWorthSingleBytes;
    std::vector<int32_t> fedBytes;
    bool tableUsable = cacheFollows && fewChanges;
    for (size_t i = 0; tableUsable && i < changedCells.size(); ++i)
        tableUsable = exportMap_->bytesFedBy(changedCells[i], exportCellsHeld(), byteCount, fedBytes);
    if (!tableUsable) {
        const int32_t result = exportWhole();
        change.whole = result > 0;
        return result;
    }

    std::sort(fedBytes.begin(), fedBytes.end());
    fedBytes.erase(std::unique(fedBytes.begin(), fedBytes.end()), fedBytes.end());
    for (int32_t index : fedBytes) {
        const uint8_t value = exportMap_->exportByte(Cells.data(), exportCellsHeld(), byteCount, index);
        uint8_t& cached = ExportData[static_cast<size_t>(index)];
        if (cached == value) continue;
        cached = value;
        change.bytes.push_back(index);
    }
    return change.bytes.empty() ? 0 : byteCount;
}

}  // namespace zandrel
