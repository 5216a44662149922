#pragma once

#include <cstdint>
#include <vector>

namespace zandrel {

/// Everything the mapping from cells to exported bytes depends on, besides the cells.
struct ExportLayout {
    int32_t BitsPerRow = 0;
    int32_t BitsPerOutput = 0;
    int32_t OutputsPerRow = 0;
    bool ReverseOutputs = false;
    bool ReverseWithinOutCol = false;
    bool BigEndian = false;
    /// The first OutputsPerRow entries of the output bit order.
    std::vector<int32_t> OutputBitOrder;

    bool operator==(const ExportLayout&) const = default;
};

/// Largest number of outputs per row the export takes: the size of the output bit order.
inline constexpr int32_t kMaxExportOutputs = 1024;

/// Raises DivisionByZero for a BitsPerRow or OutputsPerRow of 0, and zandrel::Error for any
/// other layout outside the export's domain (a negative value, more than 1024 outputs per row).
void CheckExportDomain(int32_t bitsPerRow, int32_t bitsPerOutput, int32_t outputsPerRow);

/// The export's mapping for one layout: output bit i of a row takes the value of the cell
///   row * BitsPerRow + c * BitsPerOutput + k   (signed 32-bit, wrapping),
/// where k = col / OutputsPerRow, b = col % OutputsPerRow, c = OutputBitOrder[b], both
/// reversals applied; a source cell outside 0 .. cellCount - 1 gives 0. The bits are packed
/// least significant first, and big endian reverses each whole group of
/// (OutputsPerRow + 7) / 8 bytes; a shorter last group keeps its order.
class ExportMap {
public:
    /// The layout must lie in the domain of CheckExportDomain, with OutputsPerRow order entries.
    explicit ExportMap(ExportLayout layout);

    const ExportLayout& layout() const { return layout_; }

    /// Writes the `byteCount` exported bytes into `out`, every byte of it. Only cells
    /// 0 .. cellCount - 1 are read; the export of BinDataLen cells has BinDataLen / 8 bytes.
    void exportAll(const uint8_t* cells, int32_t cellCount, int32_t byteCount, uint8_t* out) const;

    /// The source cell of output bit `bit` (before the byte reversal), or -1 when it lies
    /// outside 0 .. cellCount - 1.
    int32_t sourceCell(int64_t bit, int32_t cellCount) const;

    /// The exported byte at `index` (0 .. byteCount - 1) of an export of `byteCount` bytes,
    /// computed by itself.
    uint8_t exportByte(const uint8_t* cells, int32_t cellCount, int32_t byteCount, int32_t index) const;

    /// Where the byte packed from output bits 8 * p .. 8 * p + 7 ends up after the byte
    /// reversal of big endian; the same mapping leads back.
    int32_t bytePosition(int32_t p, int32_t byteCount) const;

    /// Appends the indexes of the exported bytes that `cell` feeds (possibly none, possibly
    /// repeated). False, with nothing appended, when the layout's rows are too long for the
    /// lookup table: the caller then exports everything.
    bool bytesFedBy(int32_t cell, int32_t cellCount, int32_t byteCount, std::vector<int32_t>& bytes) const;

private:
    int64_t offsetInRow(int32_t col) const;
    template <bool Checked>
    void exportBitsOfRow(const uint8_t* cells, int32_t cellCount, int64_t row, int32_t colBegin,
                         int32_t colEnd, uint8_t* out) const;
    void exportWholeBytesOfCleanRow(const uint8_t* cells, int64_t row, uint8_t* out) const;
    void reverseGroups(uint8_t* out, int32_t byteCount) const;
    bool rowIsClean(int64_t row, int32_t cellCount) const;
    void buildFeedTable() const;

    ExportLayout layout_;
    std::vector<int32_t> groupOffset_;  // c * BitsPerOutput (wrapped) for each bit b of a word
    int32_t fullWords_ = 0;             // whole words in a row
    int32_t tailBits_ = 0;              // bits of the row's partial last word
    int64_t lowestOffset_ = 0;          // bounds of row-relative source offsets, unwrapped
    int64_t highestOffset_ = 0;
    int32_t groupBytes_ = 1;
    bool byteTiles_ = false;  // words and rows start on byte boundaries

    // Cells to output bits: for each residue of a row-relative offset modulo BitsPerRow,
    // the columns whose offset has it. Built on first use.
    mutable bool feedTableBuilt_ = false;
    mutable std::vector<int32_t> feedStart_;
    mutable std::vector<int32_t> feedColumn_;
};

}  // namespace zandrel
