#include "core/ExportMap.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/Errors.h"
#include "core/ExportKernels.h"
#include "core/Int32.h"

namespace zandrel {

namespace {

/// Rows longer than this get no cells-to-bytes lookup table (it takes 8 bytes per column).
constexpr int32_t kMaxFeedTableRow = 1 << 22;

uint64_t load64(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

int32_t wrap(int64_t value) { return i32::wrap(value); }

}  // namespace

void CheckExportDomain(int32_t bitsPerRow, int32_t bitsPerOutput, int32_t outputsPerRow) {
    if (bitsPerRow == 0 || bitsPerOutput == 0 || outputsPerRow == 0) throw DivisionByZero();
    if (bitsPerRow < 0 || bitsPerOutput < 0 || outputsPerRow < 0 || outputsPerRow > kMaxExportOutputs)
        throw Error(
            "Cannot export with this layout: Bits per Row and Cols per Output must be 1 or more, "
            "with at most 1024 outputs per row.");
}

ExportMap::ExportMap(ExportLayout layout) : layout_(std::move(layout)) {
    const int32_t rowBits = layout_.BitsPerRow;
    const int32_t outputs = layout_.OutputsPerRow;
    CheckExportDomain(rowBits, layout_.BitsPerOutput, outputs);
    if (static_cast<int32_t>(layout_.OutputBitOrder.size()) != outputs)
        throw Error("The output bit order does not match the number of outputs per row.");

    groupOffset_.resize(static_cast<size_t>(outputs));
    for (int32_t b = 0; b < outputs; ++b) {
        int32_t group = layout_.OutputBitOrder[static_cast<size_t>(b)];
        if (layout_.ReverseOutputs) group = i32::sub(i32::sub(outputs, 1), group);
        groupOffset_[static_cast<size_t>(b)] = i32::mul(group, layout_.BitsPerOutput);
    }
    fullWords_ = rowBits / outputs;
    tailBits_ = rowBits % outputs;

    // Row-relative source offsets lie within these bounds (the words' k run 0 .. lastWord).
    const int64_t lastWord = tailBits_ > 0 ? fullWords_ : fullWords_ - 1;
    const int64_t lowestK = layout_.ReverseWithinOutCol ? int64_t{layout_.BitsPerOutput} - 1 - lastWord : 0;
    const int64_t highestK = layout_.ReverseWithinOutCol ? int64_t{layout_.BitsPerOutput} - 1 : lastWord;
    const auto [lowestGroup, highestGroup] = std::minmax_element(groupOffset_.begin(), groupOffset_.end());
    lowestOffset_ = *lowestGroup + lowestK;
    highestOffset_ = *highestGroup + highestK;

    groupBytes_ = (outputs + 7) / 8;
    byteTiles_ = std::endian::native == std::endian::little && outputs % 8 == 0 && rowBits % 8 == 0;
}

int64_t ExportMap::offsetInRow(int32_t col) const {
    const int32_t k = col / layout_.OutputsPerRow;
    const int32_t b = col % layout_.OutputsPerRow;
    const int64_t kOffset = layout_.ReverseWithinOutCol ? int64_t{layout_.BitsPerOutput} - 1 - k : k;
    return groupOffset_[static_cast<size_t>(b)] + kOffset;
}

int32_t ExportMap::sourceCell(int64_t bit, int32_t cellCount) const {
    if (bit < 0) return -1;
    const int64_t row = bit / layout_.BitsPerRow;
    const int32_t col = static_cast<int32_t>(bit % layout_.BitsPerRow);
    const int32_t source = wrap(row * layout_.BitsPerRow + offsetInRow(col));
    return source >= 0 && source < cellCount ? source : -1;
}

bool ExportMap::rowIsClean(int64_t row, int32_t cellCount) const {
    const int64_t rowBase = row * layout_.BitsPerRow;
    return rowBase + lowestOffset_ >= 0 && rowBase + highestOffset_ < cellCount;
}

template <bool Checked>
void ExportMap::exportBitsOfRow(const uint8_t* cells, int32_t cellCount, int64_t row, int32_t colBegin,
                                int32_t colEnd, uint8_t* out) const {
    const int64_t rowBase = row * layout_.BitsPerRow;
    const int32_t outputs = layout_.OutputsPerRow;
    const bool reverseK = layout_.ReverseWithinOutCol;
    const int64_t lastK = int64_t{layout_.BitsPerOutput} - 1;
    int32_t k = colBegin / outputs;
    int32_t b = colBegin % outputs;
    int64_t bit = rowBase + colBegin;
    for (int32_t col = colBegin; col < colEnd; ++col, ++bit) {
        const int64_t offset = groupOffset_[static_cast<size_t>(b)] + (reverseK ? lastK - k : k);
        uint8_t value;
        if constexpr (Checked) {
            const int32_t source = wrap(rowBase + offset);
            value = source >= 0 && source < cellCount ? (cells[source] & 1) : 0;
        } else {
            value = cells[rowBase + offset] & 1;
        }
        out[bit >> 3] |= static_cast<uint8_t>(value << (bit & 7));
        if (++b == outputs) {
            b = 0;
            ++k;
        }
    }
}

void ExportMap::exportWholeBytesOfCleanRow(const uint8_t* cells, int64_t row, uint8_t* out) const {
    const int64_t rowBase = row * layout_.BitsPerRow;
    uint8_t* rowOut = out + rowBase / 8;
    const exportkernels::WordShape shape{groupOffset_.data(), layout_.OutputsPerRow / 8,
                                         int64_t{layout_.BitsPerOutput} - 1, layout_.ReverseWithinOutCol};
    exportkernels::exportWords(cells, rowBase, shape, 0, fullWords_, rowOut);
    if (tailBits_ > 0)
        exportkernels::exportWordStart(cells, rowBase, shape, fullWords_, tailBits_ / 8, rowOut);
}

void ExportMap::exportAll(const uint8_t* cells, int32_t cellCount, int32_t byteCount, uint8_t* out) const {
    if (byteCount <= 0) return;
    const int64_t outputBits = int64_t{byteCount} * 8;
    const int32_t rowBits = layout_.BitsPerRow;
    const int64_t rows = (outputBits + rowBits - 1) / rowBits;
    if (!byteTiles_) std::memset(out, 0, static_cast<size_t>(byteCount));
    for (int64_t row = 0; row < rows; ++row) {
        const int32_t colEnd = static_cast<int32_t>(std::min<int64_t>(rowBits, outputBits - row * rowBits));
        const bool clean = rowIsClean(row, cellCount);
        if (byteTiles_ && clean && colEnd == rowBits) {
            exportWholeBytesOfCleanRow(cells, row, out);
            continue;
        }
        if (byteTiles_) std::memset(out + row * rowBits / 8, 0, static_cast<size_t>(colEnd / 8));
        if (clean)
            exportBitsOfRow<false>(cells, cellCount, row, 0, colEnd, out);
        else
            exportBitsOfRow<true>(cells, cellCount, row, 0, colEnd, out);
    }
    reverseGroups(out, byteCount);
}

void ExportMap::reverseGroups(uint8_t* out, int32_t byteCount) const {
    const int32_t size = groupBytes_;
    if (!layout_.BigEndian || size <= 1) return;
    const int32_t groups = byteCount / size;
    uint8_t* group = out;
    switch (size) {
        case 2:
            for (int32_t i = 0; i < groups; ++i, group += 2) std::swap(group[0], group[1]);
            break;
        case 4:
            for (int32_t i = 0; i < groups; ++i, group += 4) {
                uint32_t word;
                std::memcpy(&word, group, 4);
                word = __builtin_bswap32(word);
                std::memcpy(group, &word, 4);
            }
            break;
        case 8:
            for (int32_t i = 0; i < groups; ++i, group += 8) {
                uint64_t word = __builtin_bswap64(load64(group));
                std::memcpy(group, &word, 8);
            }
            break;
        default:
            for (int32_t i = 0; i < groups; ++i, group += size) std::reverse(group, group + size);
    }
}

int32_t ExportMap::bytePosition(int32_t p, int32_t byteCount) const {
    const int32_t size = groupBytes_;
    if (!layout_.BigEndian || size <= 1 || p < 0) return p;
    const int32_t groupStart = p - p % size;
    if (int64_t{groupStart} + size > byteCount) return p;
    return groupStart + (size - 1 - p % size);
}

uint8_t ExportMap::exportByte(const uint8_t* cells, int32_t cellCount, int32_t byteCount,
                              int32_t index) const {
    if (index < 0 || index >= byteCount) return 0;
    const int32_t p = bytePosition(index, byteCount);
    uint32_t value = 0;
    for (int j = 0; j < 8; ++j) {
        const int32_t source = sourceCell(int64_t{p} * 8 + j, cellCount);
        if (source >= 0) value |= static_cast<uint32_t>(cells[source] & 1) << j;
    }
    return static_cast<uint8_t>(value);
}

void ExportMap::buildFeedTable() const {
    const int32_t rowBits = layout_.BitsPerRow;
    std::vector<int32_t> residues(static_cast<size_t>(rowBits));
    feedStart_.assign(static_cast<size_t>(rowBits) + 1, 0);
    for (int32_t col = 0; col < rowBits; ++col) {
        const int64_t offset = wrap(offsetInRow(col));
        const int32_t residue = static_cast<int32_t>(((offset % rowBits) + rowBits) % rowBits);
        residues[static_cast<size_t>(col)] = residue;
        ++feedStart_[static_cast<size_t>(residue) + 1];
    }
    for (int32_t r = 0; r < rowBits; ++r) feedStart_[r + 1] += feedStart_[r];
    feedColumn_.resize(static_cast<size_t>(rowBits));
    std::vector<int32_t> next(feedStart_.begin(), feedStart_.end() - 1);
    for (int32_t col = 0; col < rowBits; ++col)
        feedColumn_[static_cast<size_t>(next[residues[static_cast<size_t>(col)]]++)] = col;
    feedTableBuilt_ = true;
}

bool ExportMap::bytesFedBy(int32_t cell, int32_t cellCount, int32_t byteCount,
                           std::vector<int32_t>& bytes) const {
    const int32_t rowBits = layout_.BitsPerRow;
    if (rowBits > kMaxFeedTableRow) return false;
    if (cell < 0 || cell >= cellCount) return true;
    if (!feedTableBuilt_) buildFeedTable();
    const int64_t outputBits = int64_t{byteCount} * 8;
    const int32_t residue = cell % rowBits;
    for (int32_t e = feedStart_[residue]; e < feedStart_[residue + 1]; ++e) {
        const int32_t col = feedColumn_[static_cast<size_t>(e)];
        // Output bit (row, col) reads row * BitsPerRow + offset, which is `cell` for this row.
        const int64_t rowBase = int64_t{cell} - wrap(offsetInRow(col));
        if (rowBase < 0) continue;
        const int64_t bit = rowBase + col;
        if (bit >= outputBits) continue;
        bytes.push_back(bytePosition(static_cast<int32_t>(bit / 8), byteCount));
    }
    return true;
}

}  // namespace zandrel
