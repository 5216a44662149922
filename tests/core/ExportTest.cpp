#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ExportTestSupport.h"
#include "core/Document.h"
#include "core/Errors.h"

using namespace zandrel;
using namespace zandrel::testing;

namespace {

std::vector<uint8_t> exportOf(Document& doc, const LayoutTexts& edits) {
    doc.ExportBin(edits);
    return doc.ExportData;
}

}  // namespace

// Output bits 0 .. 7 of one 8-cell row with 2 columns per output: which column each comes from.
TEST(ExportTest, MappingOfOneRow) {
    struct Case {
        const char* name;
        std::vector<int32_t> order;
        int32_t reverseOutputs, reverseWithin;
        std::vector<int> columns;
    };
    const std::vector<Case> cases = {
        {"identity", {0, 1, 2, 3}, 0, 0, {0, 2, 4, 6, 1, 3, 5, 7}},
        {"reverse outputs", {0, 1, 2, 3}, 1, 0, {6, 4, 2, 0, 7, 5, 3, 1}},
        {"reverse within", {0, 1, 2, 3}, 0, 1, {1, 3, 5, 7, 0, 2, 4, 6}},
        {"both reversals", {0, 1, 2, 3}, 1, 1, {7, 5, 3, 1, 6, 4, 2, 0}},
        {"order 1 0 3 2", {1, 0, 3, 2}, 0, 0, {2, 0, 6, 4, 3, 1, 7, 5}},
    };
    for (const Case& c : cases) {
        for (int column = 0; column < 8; ++column) {
            Document doc = DocumentWithCells(8);
            std::copy(c.order.begin(), c.order.end(), doc.OutputBitOrder.begin());
            doc.ReverseOutputs = c.reverseOutputs;
            doc.ReverseWithinOutCol = c.reverseWithin;
            doc.Cells[static_cast<size_t>(column)] = CELL_VALUE;
            ASSERT_EQ(doc.ExportBin(RowLayout(8, 2)), 1);
            const int bit =
                static_cast<int>(std::find(c.columns.begin(), c.columns.end(), column) - c.columns.begin());
            EXPECT_EQ(doc.ExportData[0], 1u << bit) << c.name << ", column " << column;
        }
    }
}

TEST(ExportTest, WorkedBytesInBothByteOrders) {
    Document doc = DocumentWithCells(64);
    for (int cell : {0, 2, 31, 32 + 1}) doc.Cells[static_cast<size_t>(cell)] = CELL_VALUE;
    doc.EndianMode = 0;
    EXPECT_EQ(exportOf(doc, RowLayout(32, 2)), (std::vector<uint8_t>{0x03, 0, 0, 0x80, 0, 0, 0x01, 0}));
    doc.EndianMode = 1;
    EXPECT_EQ(exportOf(doc, RowLayout(32, 2)), (std::vector<uint8_t>{0, 0x03, 0x80, 0, 0, 0, 0, 0x01}));
    EXPECT_EQ(doc.ExportLen, 8);
}

TEST(ExportTest, OnlyWholeBytesAreExported) {
    Document doc = DocumentWithCells(12);
    std::fill(doc.Cells.begin(), doc.Cells.end(), CELL_VALUE);
    EXPECT_EQ(doc.ExportBin(RowLayout(4, 1)), 1);
    EXPECT_EQ(doc.ExportData, std::vector<uint8_t>{0xFF});
}

TEST(ExportTest, FewerThanEightBitsChangeNothing) {
    Document doc = DocumentWithCells(7);
    EXPECT_EQ(doc.ExportBin(RowLayout(0, 0)), 0);  // not even the layout is read
    EXPECT_EQ(doc.BitsPerRow, 0);
    EXPECT_TRUE(doc.ExportData.empty());
    EXPECT_EQ(doc.ExportLen, 0);
}

TEST(ExportTest, BigEndianReversesWholeGroupsOnly) {
    // 32-bit words: bytes 0 1 2 3 4 5 6 7 of little endian come out as 3 2 1 0 7 6 5 4.
    std::mt19937 random(7);
    Document doc = DocumentWithCells(8 * 10);
    for (uint8_t& cell : doc.Cells) cell = random() & 1;
    doc.EndianMode = 0;
    const std::vector<uint8_t> little = exportOf(doc, RowLayout(32, 1));
    doc.EndianMode = 1;
    const std::vector<uint8_t> big = exportOf(doc, RowLayout(32, 1));
    const std::vector<int> from = {3, 2, 1, 0, 7, 6, 5, 4, 8, 9};  // the last 2 bytes are a partial group
    for (size_t i = 0; i < from.size(); ++i) EXPECT_EQ(big[i], little[static_cast<size_t>(from[i])]) << i;

    // 20-bit words: groups of three bytes; the last two bytes of 8 keep their order.
    doc.EndianMode = 0;
    const std::vector<uint8_t> little20 = exportOf(doc, RowLayout(20, 1));
    doc.EndianMode = 1;
    const std::vector<uint8_t> big20 = exportOf(doc, RowLayout(20, 1));
    const std::vector<int> from20 = {2, 1, 0, 5, 4, 3, 8, 7, 6, 9};
    for (size_t i = 0; i < from20.size(); ++i)
        EXPECT_EQ(big20[i], little20[static_cast<size_t>(from20[i])]) << i;

    // Words of 8 bits or fewer: nothing changes; an EndianMode other than 1 is little endian.
    doc.EndianMode = 1;
    const std::vector<uint8_t> big8 = exportOf(doc, RowLayout(8, 1));
    doc.EndianMode = 2;
    EXPECT_EQ(exportOf(doc, RowLayout(8, 1)), big8);
    EXPECT_EQ(exportOf(doc, RowLayout(32, 1)), little);
}

TEST(ExportTest, SourceCellsOutsideTheCellsGiveZero) {
    // 24 cells in rows of 16: the second row's bits come from cells 16, 18, ... 30, of which
    // only 16 .. 22 exist.
    Document doc = DocumentWithCells(24);
    std::fill(doc.Cells.begin(), doc.Cells.end(), CELL_VALUE);
    doc.EndianMode = 0;
    EXPECT_EQ(exportOf(doc, RowLayout(16, 2)), (std::vector<uint8_t>{0xFF, 0xFF, 0x0F}));

    // Reversed within the group with a row of 10 and 3 columns per output: k runs to 3, so
    // the reversed k of the last word is -1, which reads the cell before the row (or none).
    Document reversed = DocumentWithCells(24);
    std::fill(reversed.Cells.begin(), reversed.Cells.end(), CELL_VALUE);
    reversed.ReverseWithinOutCol = 1;
    reversed.EndianMode = 0;
    const std::vector<uint8_t> reversedBytes = exportOf(reversed, RowLayout(10, 3));
    EXPECT_EQ(reversedBytes, ReferenceExport(reversed));
    EXPECT_EQ(reversed.ExportData[0], 0xFF);
    EXPECT_EQ(reversed.ExportData[1] & 0x02, 0);  // bit 9: row 0, k = 3 -> k = -1

    // An order that is no permutation points past the row and past the cells.
    Document wild = DocumentWithCells(64);
    std::fill(wild.Cells.begin(), wild.Cells.end(), CELL_VALUE);
    wild.OutputBitOrder[0] = 1000;
    wild.OutputBitOrder[1] = -1000;
    wild.OutputBitOrder[2] = INT32_MAX;
    wild.OutputBitOrder[3] = INT32_MIN;
    const std::vector<uint8_t> wildBytes = exportOf(wild, RowLayout(32, 4));
    EXPECT_EQ(wildBytes, ReferenceExport(wild));
}

TEST(ExportTest, SourceIndexWrapsAsSigned32Bits) {
    // c * BitsPerOutput wraps: group 2^30 of width 4 gives offset 0 again.
    Document doc = DocumentWithCells(16);
    doc.Cells[0] = CELL_VALUE;
    doc.OutputBitOrder[1] = 1 << 30;
    doc.EndianMode = 0;
    const std::vector<uint8_t> bytes = exportOf(doc, RowLayout(8, 4));
    EXPECT_EQ(bytes, ReferenceExport(doc));
    EXPECT_EQ(bytes[0], 0x03);
}

TEST(ExportTest, SecondExportOfTheSameBytesReturnsZeroAndKeepsTheCache) {
    Document doc = DocumentWithCells(64);
    doc.Cells[3] = CELL_VALUE;
    EXPECT_EQ(doc.ExportBin(RowLayout(32, 4)), 8);
    const std::vector<uint8_t> first = doc.ExportData;
    EXPECT_EQ(doc.ExportBin(RowLayout(32, 4)), 0);
    EXPECT_EQ(doc.ExportData, first);

    // Selection and other flags play no part.
    doc.Cells[5] |= CELL_SELECTED;
    doc.Cells[3] |= 0x80;
    EXPECT_EQ(doc.ExportBin(RowLayout(32, 4)), 0);

    // A value change exports anew; new cells of the same count and the same values do not.
    doc.Cells[4] = CELL_VALUE;
    EXPECT_EQ(doc.ExportBin(RowLayout(32, 4)), 8);
    const std::vector<uint8_t> second = doc.ExportData;
    std::vector<uint8_t> loaded = doc.Cells;
    doc.replaceCells(64);
    doc.Cells = loaded;
    EXPECT_EQ(doc.ExportBin(RowLayout(32, 4)), 0);
    EXPECT_EQ(doc.ExportData, second);

    // Another length always replaces the cache, even when it holds only zeros.
    doc.replaceCells(72);
    EXPECT_EQ(doc.ExportBin(RowLayout(32, 4)), 9);
    EXPECT_EQ(doc.ExportLen, 9);
    EXPECT_EQ(doc.ExportData.size(), 9u);
}

TEST(ExportTest, ZeroDivisorsRaiseDivisionByZeroAndKeepTheCache) {
    struct Case {
        int32_t bitsPerRow, bitsPerOutput;
    };
    for (const Case& c : {Case{32, 0}, Case{0, 4}, Case{4, 8}, Case{-5, 10}, Case{0, -3}}) {
        Document doc = DocumentWithCells(64);
        doc.Cells[0] = CELL_VALUE;
        ASSERT_EQ(doc.ExportBin(RowLayout(32, 4)), 8);
        const std::vector<uint8_t> cache = doc.ExportData;
        EXPECT_THROW(doc.ExportBin(RowLayout(c.bitsPerRow, c.bitsPerOutput)), DivisionByZero)
            << c.bitsPerRow << "/" << c.bitsPerOutput;
        EXPECT_EQ(doc.ExportData, cache);
        EXPECT_EQ(doc.ExportLen, 8);
        EXPECT_EQ(doc.BitsPerRow, c.bitsPerRow);
    }
}

TEST(ExportTest, LayoutsOutsideTheDomainAreRefused) {
    struct Case {
        int32_t bitsPerRow, bitsPerOutput;
    };
    for (const Case& c : {Case{-7, 3}, Case{7, -3}, Case{-8, -2}, Case{1025, 1}, Case{INT32_MIN, -1}}) {
        Document doc = DocumentWithCells(64);
        doc.Cells[0] = CELL_VALUE;
        ASSERT_EQ(doc.ExportBin(RowLayout(32, 4)), 8);
        const std::vector<uint8_t> cache = doc.ExportData;
        try {
            doc.ExportBin(RowLayout(c.bitsPerRow, c.bitsPerOutput));
            ADD_FAILURE() << "exported with " << c.bitsPerRow << "/" << c.bitsPerOutput;
        } catch (const DivisionByZero&) {
            ADD_FAILURE() << "division by zero for " << c.bitsPerRow << "/" << c.bitsPerOutput;
        } catch (const Error& error) {
            EXPECT_STREQ(
                error.what(),
                "Cannot export with this layout: Bits per Row and Cols per Output must be 1 or more, "
                "with at most 1024 outputs per row.");
        }
        EXPECT_EQ(doc.ExportData, cache);
    }
    Document widest = DocumentWithCells(2048);
    EXPECT_EQ(widest.ExportBin(RowLayout(1024, 1)), 256);
}

// Random layouts, orders, options and cell counts against the bit-by-bit export.
TEST(ExportTest, EqualsTheBitByBitExportForRandomLayouts) {
    std::mt19937 random(20240611);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 400; ++round) {
        const int32_t bitsPerOutput = pick(1, 12);
        const int32_t outputs = round % 3 == 0 ? 8 * pick(1, 6) : pick(1, 40);
        const int32_t bitsPerRow =
            outputs * bitsPerOutput + (round % 4 == 0 ? pick(0, bitsPerOutput - 1) : 0);
        Document doc = DocumentWithCells(pick(8, 3000));
        for (uint8_t& cell : doc.Cells) cell = static_cast<uint8_t>(random() & 0x85);
        doc.ReverseOutputs = pick(0, 2);
        doc.ReverseWithinOutCol = pick(0, 1) * 5;
        doc.EndianMode = pick(0, 1);
        for (int32_t b = 0; b < outputs; ++b) doc.OutputBitOrder[static_cast<size_t>(b)] = b;
        std::shuffle(doc.OutputBitOrder.begin(), doc.OutputBitOrder.begin() + outputs, random);
        if (round % 5 == 0) doc.OutputBitOrder[static_cast<size_t>(pick(0, outputs - 1))] = pick(-50, 80);
        doc.ExportBin(RowLayout(bitsPerRow, bitsPerOutput));
        ASSERT_EQ(doc.OutputsPerRow, bitsPerRow / bitsPerOutput);
        ASSERT_EQ(doc.ExportData, ReferenceExport(doc))
            << "round " << round << ": " << bitsPerRow << "/" << bitsPerOutput << ", " << doc.BinDataLen
            << " cells";
    }
}

TEST(ExportTest, CellsBeyondTheBitCountAreNeverRead) {
    // A loader may leave more cells than BinDataLen; those past it count as absent.
    Document doc = DocumentWithCells(32);
    std::fill(doc.Cells.begin(), doc.Cells.end(), CELL_VALUE);
    doc.BinDataLen = 24;
    doc.EndianMode = 0;
    EXPECT_EQ(exportOf(doc, RowLayout(16, 2)), (std::vector<uint8_t>{0xFF, 0xFF, 0x0F}));
}

// Re-exporting only the bytes of changed cells gives what a whole export gives.
TEST(ExportTest, ExportOfChangedCellsEqualsAWholeExport) {
    std::mt19937 random(99);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 60; ++round) {
        const int32_t bitsPerOutput = pick(1, 9);
        const int32_t outputs = pick(1, 24);
        const LayoutTexts edits = RowLayout(outputs * bitsPerOutput + pick(0, 3), bitsPerOutput);
        Document doc = DocumentWithCells(pick(100, 2000));
        doc.ReverseOutputs = pick(0, 1);
        doc.ReverseWithinOutCol = pick(0, 1);
        doc.EndianMode = pick(0, 1);
        if (round % 4 == 0) doc.OutputBitOrder[0] = pick(-3, 30);
        Document whole = doc;
        doc.ExportBin(edits);
        whole.ExportBin(edits);
        for (int step = 0; step < 20; ++step) {
            std::vector<int32_t> changed;
            for (int i = pick(0, 4); i > 0; --i) {
                const int32_t cell = pick(-2, doc.BinDataLen + 1);
                changed.push_back(cell);
                if (cell >= 0 && cell < doc.BinDataLen)
                    doc.Cells[static_cast<size_t>(cell)] ^= pick(0, 1) ? CELL_VALUE : CELL_SELECTED;
            }
            whole.Cells = doc.Cells;
            const std::vector<uint8_t> before = doc.ExportData;
            ExportChange change;
            const int32_t result = doc.ExportBinChanged(edits, changed, change);
            const int32_t expected = whole.ExportBin(edits);
            ASSERT_EQ(doc.ExportData, whole.ExportData) << "round " << round << " step " << step;
            ASSERT_EQ(result, expected) << "round " << round << " step " << step;
            ASSERT_FALSE(change.whole);
            for (size_t i = 0; i < before.size(); ++i) {
                const bool listed =
                    std::binary_search(change.bytes.begin(), change.bytes.end(), static_cast<int32_t>(i));
                ASSERT_EQ(listed, before[i] != doc.ExportData[i]) << "byte " << i;
            }
        }
    }
}

TEST(ExportTest, ExportOfChangedCellsFallsBackToAWholeExport) {
    Document doc = DocumentWithCells(64);
    ExportChange change;
    // Nothing exported yet: everything is exported.
    EXPECT_EQ(doc.ExportBinChanged(RowLayout(32, 4), {}, change), 8);
    EXPECT_TRUE(change.whole);
    EXPECT_EQ(doc.ExportBinChanged(RowLayout(32, 4), {}, change), 0);
    EXPECT_FALSE(change.whole);
    // A changed option re-exports all.
    doc.Cells[1] = CELL_VALUE;
    doc.ReverseOutputs = 1;
    EXPECT_EQ(doc.ExportBinChanged(RowLayout(32, 4), {}, change), 8);
    EXPECT_TRUE(change.whole);
    Document reference = doc;
    reference.ExportBin(RowLayout(32, 4));
    EXPECT_EQ(doc.ExportData, reference.ExportData);
    // New cells from a loader re-export all, even with no cell named.
    doc.replaceCells(64);
    EXPECT_EQ(doc.ExportBinChanged(RowLayout(32, 4), {}, change), 8);
    EXPECT_EQ(doc.ExportData, std::vector<uint8_t>(8, 0));
    // The same errors as a whole export.
    EXPECT_THROW(doc.ExportBinChanged(RowLayout(32, 0), {}, change), DivisionByZero);
    EXPECT_THROW(doc.ExportBinChanged(RowLayout(-32, 4), {}, change), Error);
}
