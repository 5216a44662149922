#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ExportMap.h"
#include "core/LayoutTexts.h"
#include "core/UserFeedback.h"

namespace zandrel {

/// Cell flags: one byte per bit of the ROM.
inline constexpr uint8_t CELL_VALUE = 0x01;
inline constexpr uint8_t CELL_SELECTED = 0x04;

/// Entries of the output bit order.
inline constexpr int32_t kOutputBitOrderSize = 1024;

/// The caption prefix of a window that names its document file.
inline constexpr std::string_view kCaptionPrefix = "Zandrel: ";

/// What an export after a change of some cells changed in the export cache.
struct ExportChange {
    /// The whole cache was exported afresh (every byte may have changed).
    bool whole = false;
    /// Otherwise the indexes of the bytes whose value changed, in rising order.
    std::vector<int32_t> bytes;
};

/// The whole document of the main window: the cells, the layout parameters copied from the
/// layout edits, the export options, the export cache, the drag state and the working directory.
class Document {
public:
    Document();

    // Layout parameters: copies of the layout edits, refreshed by ReadLayoutParams.
    int32_t BitSizeX = 0;
    int32_t BitSizeY = 0;
    int32_t BitGap = 0;
    int32_t ColGap = 0;
    int32_t BitsPerRow = 0;
    int32_t BitsPerOutput = 0;
    int32_t OutputsPerRow = 0;
    int32_t ShownBitCount = 0;

    // Export options.
    int32_t EndianMode = 1;
    int32_t ReverseOutputs = 0;
    int32_t ReverseWithinOutCol = 0;
    int8_t ROMLayout = 0;

    // Size of the bit map drawn by the last full refresh.
    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;

    /// The bit store; holds at least BinDataLen cells. Empty stands for "no cells".
    std::vector<uint8_t> Cells;
    int32_t BinDataLen = 0;

    std::array<int32_t, kOutputBitOrderSize> OutputBitOrder{};

    /// The export cache: exactly ExportLen bytes; empty with ExportLen 0 before the first export.
    std::vector<uint8_t> ExportData;
    int32_t ExportLen = 0;

    int32_t DragMode = 0;
    std::string WorkingDir;

    /// Copies the six layout texts into the layout fields, derives OutputsPerRow and takes
    /// ShownBitCount from BinDataLen. Throws DivisionByZero for a BitsPerOutput of 0, with the
    /// six fields already set and OutputsPerRow and ShownBitCount unchanged.
    void ReadLayoutParams(const LayoutTexts& edits);

    /// Replaces the cells whole (count cells, all 0) and sets BinDataLen to count.
    void replaceCells(int32_t count);

    // Loaders: each returns the number of bits loaded, or 0 when nothing was loaded.
    // They name the file in the caption through `feedback`, and the text and project
    // loaders set the layout edits' texts in `edits`.
    int32_t LoadBinFile(const std::string& path, UserFeedback& feedback);
    int32_t LoadTextFile(const std::string& path, LayoutTexts& edits, UserFeedback& feedback);
    int32_t LoadBitProject(const std::string& path, LayoutTexts& edits, UserFeedback& feedback);

    /// Writes the project file; returns the number of cells written, or 0 when nothing was written.
    int32_t SaveBitProject(const std::string& path, const LayoutTexts& edits, UserFeedback& feedback);

    /// Exports the cells into ExportData; returns the byte count when the bytes are new,
    /// else 0 (fewer than 8 bits, or the same bytes as the cache). Throws DivisionByZero for
    /// a zero divisor and zandrel::Error for a layout outside the export's domain, with the
    /// cache unchanged.
    int32_t ExportBin(const LayoutTexts& edits);

    /// ExportBin, with the same result and cache, for a document in which only `changedCells`
    /// changed since the last export that ran to its end: re-exports only the bytes they feed,
    /// or everything when the layout, options, order or bit count changed meanwhile (or a
    /// loader ran). `change` tells which bytes changed.
    int32_t ExportBinChanged(const LayoutTexts& edits, std::span<const int32_t> changedCells,
                             ExportChange& change);

    /// Reads the numbers of `text` into OutputBitOrder from entry 0 on; returns how many.
    /// The text ends at its end or at its first NUL character.
    int32_t OutputBitOrderStrToArray(std::string_view text);

    /// Runs ReadLayoutParams, then gives the text form of the first OutputsPerRow entries,
    /// at most size - 1 characters long.
    std::string OutputBitOrderArrayToStr(const LayoutTexts& edits, int32_t size = kOutputBitOrderSize);

    /// The text form of the first OutputsPerRow entries as the layout fields stand, at most
    /// size - 1 characters long.
    std::string OutputBitOrderText(int32_t size = kOutputBitOrderSize) const;

    /// Whether the first OutputsPerRow entries are a permutation of 0 .. OutputsPerRow - 1.
    /// More than 1024 outputs per row are never one.
    bool OutputBitOrderIsPermutation() const;

private:
    ExportLayout currentExportLayout() const;
    const ExportMap& exportMapForCurrentLayout();
    int32_t exportWhole();
    int32_t exportCellsHeld() const;
    void cellsReplaced();
    void replaceCellsWith(std::vector<uint8_t>&& cells, int32_t count);
    /// Makes Cells hold `count` cells of any content for a loader to fill; false, with the
    /// cells unchanged, when there is no memory for them.
    bool prepareCellsForLoad(size_t count);
    /// Applies a numeric header line of a project file; false for a key that is no such key.
    bool applyProjectKey(std::string_view key, int32_t number, LayoutTexts& edits);

    // The mapping of the last export, and whether ExportData is the export of the cells of
    // that moment under it (so that later changes of single cells can be re-exported alone).
    std::optional<ExportMap> exportMap_;
    bool exportInSync_ = false;
    int32_t exportSyncedBits_ = 0;
    /// The buffer that the next export is built in; it swaps places with ExportData.
    std::vector<uint8_t> exportScratch_;
};

}  // namespace zandrel
