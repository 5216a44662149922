#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "core/CellOps.h"
#include "core/Errors.h"

using namespace zandrel;

namespace {

// Cells as the loaders leave them, with bits beyond the two flags in some, and the layout fields
// as ReadLayoutParams sets them.
Document MakeDocument(int32_t count, int32_t bitsPerRow = 1024, uint8_t fill = 0) {
    Document doc;
    doc.replaceCells(count);
    for (int32_t i = 0; i < count; ++i)
        doc.Cells[static_cast<size_t>(i)] = static_cast<uint8_t>(fill | (i % 3 == 0 ? 0xF0 : 0));
    doc.BitsPerRow = bitsPerRow;
    doc.BitsPerOutput = 32;
    doc.ShownBitCount = count;
    return doc;
}

std::set<int32_t> ChangedCells(const Document& before, const Document& after) {
    std::set<int32_t> changed;
    for (size_t i = 0; i < after.Cells.size(); ++i) {
        if (before.Cells[i] != after.Cells[i]) changed.insert(static_cast<int32_t>(i));
    }
    return changed;
}

std::set<int32_t> CellsOf(const CellChange& change) {
    std::set<int32_t> cells;
    for (int32_t k = 0; k < change.count; ++k) cells.insert(change.cell(k));
    return cells;
}

std::set<int32_t> Sequence(int32_t first, int32_t end, int32_t step) {
    std::set<int32_t> cells;
    for (int32_t i = first; i < end; i += step) cells.insert(i);
    return cells;
}

}  // namespace

TEST(CellOpsTest, PointerActionsChangeOnlyTheirFlagOnTheirCells) {
    struct Case {
        const char* what;
        int32_t count;
        uint8_t fill;
        PointerAction action;
        int32_t hit, dragMode;
        std::set<int32_t> changed;
        uint8_t flag;  // the flag that toggled on the changed cells
    } cases[] = {
        {"left Select Bit", 8192, 0, PointerAction::SelectBit, 5, 1, {5}, CELL_SELECTED},
        {"right Select Bit", 8192, CELL_SELECTED, PointerAction::SelectBit, 5, 2, {5}, CELL_SELECTED},
        {"left Set Bit", 8192, 0, PointerAction::SetBit, 77, 1, {77}, CELL_VALUE},
        {"right Set Bit", 8192, CELL_VALUE | CELL_SELECTED, PointerAction::SetBit, 77, 2, {77}, CELL_VALUE},
        {"middle button", 8192, 0, PointerAction::SelectRow, 77, 3, {}, 0},
        {"no drag", 8192, 0, PointerAction::SelectBit, 77, 0, {}, 0},
        {"left Select Row", 8192, 0, PointerAction::SelectRow, 2050, 1, Sequence(2048, 3072, 1),
         CELL_SELECTED},
        {"Select Row on a partial last row", 8200, 0, PointerAction::SelectRow, 8195, 1,
         Sequence(8192, 8200, 1), CELL_SELECTED},
        {"Select Column reaching the partial row", 8200, 0, PointerAction::SelectColumn, 1029, 1,
         Sequence(5, 8200, 1024), CELL_SELECTED},
        {"Select Column beyond the partial row", 8200, 0, PointerAction::SelectColumn, 100, 1,
         Sequence(100, 8192, 1024), CELL_SELECTED},
        {"right Select Column", 8192, CELL_SELECTED, PointerAction::SelectColumn, 3, 2,
         Sequence(3, 8192, 1024), CELL_SELECTED},
        {"a hit beyond the shown cells", 8192, 0, PointerAction::SelectBit, 8192, 1, {}, 0},
        {"a negative hit", 8192, 0, PointerAction::SelectRow, -1, 1, {}, 0},
        {"no action", 8192, 0, PointerAction::None, 5, 1, {}, 0},
    };
    for (const Case& c : cases) {
        Document doc = MakeDocument(c.count, 1024, c.fill);
        const Document before = doc;
        const CellChange change = ApplyPointerAction(doc, c.action, c.hit, c.dragMode);
        EXPECT_EQ(ChangedCells(before, doc), c.changed) << c.what;
        EXPECT_EQ(CellsOf(change), c.changed) << c.what << ": reported cells";
        for (int32_t i : c.changed) {
            EXPECT_EQ(doc.Cells[static_cast<size_t>(i)] ^ before.Cells[static_cast<size_t>(i)], c.flag)
                << c.what;
        }
    }
}

TEST(CellOpsTest, RowAndColumnActionsWithOddBitsPerRowStayInsideTheCells) {
    Document doc = MakeDocument(20, -5);
    EXPECT_TRUE(ApplyPointerAction(doc, PointerAction::SelectRow, 7, 1).empty());  // rows 5 .. 0: none
    Document before = doc;
    const CellChange column = ApplyPointerAction(doc, PointerAction::SelectColumn, 7, 1);
    EXPECT_EQ(ChangedCells(before, doc),
              (std::set<int32_t>{2}));  // 7 % -5 = 2; stepping by -5 leaves the cells
    EXPECT_EQ(CellsOf(column), (std::set<int32_t>{2}));

    Document zero = MakeDocument(20, 0);
    EXPECT_THROW(ApplyPointerAction(zero, PointerAction::SelectRow, 3, 1), DivisionByZero);
    EXPECT_THROW(ApplyPointerAction(zero, PointerAction::SelectColumn, 3, 1), DivisionByZero);
    EXPECT_FALSE(ApplyPointerAction(zero, PointerAction::SelectBit, 3, 1).empty());

    Document wide = MakeDocument(20, INT32_MAX);
    before = wide;
    ApplyPointerAction(wide, PointerAction::SelectRow, 19, 1);
    EXPECT_EQ(ChangedCells(before, wide), Sequence(0, 20, 1));
}

TEST(CellOpsTest, SelectionCommandsCoverTheShownCellsOnly) {
    struct Case {
        const char* what;
        std::function<CellChange(Document&)> command;
        uint8_t fill;
        uint8_t flipped;  // the bits that change on every affected cell
    } cases[] = {
        {"Select all", SelectAllCells, 0, CELL_SELECTED},
        {"Unselect all", UnselectAllCells, CELL_SELECTED | CELL_VALUE, CELL_SELECTED},
        {"Invert selected", InvertSelectedCells, CELL_SELECTED, CELL_VALUE},
        {"Invert selected, none selected", InvertSelectedCells, CELL_VALUE, 0},
    };
    for (const Case& c : cases) {
        Document doc = MakeDocument(8200, 1024, c.fill);  // a partial last row of 8 cells
        doc.Cells.resize(8300, c.fill);                   // and cells held beyond the shown ones
        const Document before = doc;
        const CellChange change = c.command(doc);
        EXPECT_EQ(change, CellChange::range(0, 8200)) << c.what;
        for (size_t i = 0; i < doc.Cells.size(); ++i) {
            const uint8_t expected =
                i < 8200 ? static_cast<uint8_t>(before.Cells[i] ^ c.flipped) : before.Cells[i];
            ASSERT_EQ(doc.Cells[i], expected) << c.what << " cell " << i;
        }
    }
}

TEST(CellOpsTest, InvertingTwiceRestoresAndKeepsOtherBits) {
    Document doc = MakeDocument(3);
    doc.Cells = {0x85, 0x04, 0x01};
    InvertSelectedCells(doc);
    EXPECT_EQ(doc.Cells, (std::vector<uint8_t>{0x84, 0x05, 0x01}));
    InvertSelectedCells(doc);
    EXPECT_EQ(doc.Cells, (std::vector<uint8_t>{0x85, 0x04, 0x01}));
}

TEST(CellOpsTest, ShownBitCountBeyondTheCellsHeldTouchesOnlyTheCellsHeld) {
    Document doc = MakeDocument(10);
    doc.ShownBitCount = 1000;
    EXPECT_EQ(ShownCellCount(doc), 10);
    EXPECT_EQ(SelectAllCells(doc), CellChange::range(0, 10));
    EXPECT_TRUE(ApplyPointerAction(doc, PointerAction::SelectBit, 500, 1).empty());
    doc.ShownBitCount = -4;
    EXPECT_TRUE(UnselectAllCells(doc).empty());
}

TEST(CellOpsTest, PatternTextGivesFourBitsPerHexDigitMostSignificantFirst) {
    auto bits = [](const std::string& text) {
        std::string out;
        for (uint8_t bit : PatternBits(text)) out += static_cast<char>('0' + bit);
        return out;
    };
    EXPECT_EQ(bits("8"), "1000");
    EXPECT_EQ(bits("A"), "1010");
    EXPECT_EQ(bits("a"), "1010");
    EXPECT_EQ(bits("0x80"), "000010000000");
    EXPECT_EQ(bits("f0 F0"), bits("F0F0"));
    EXPECT_EQ(bits("1"), "0001");
    EXPECT_EQ(bits("xyz-G "), "");
    EXPECT_EQ(bits(""), "");
}

TEST(CellOpsTest, PatternSelectsColumnsOfCompleteRows) {
    struct Case {
        std::string text;
        std::function<bool(int32_t)> selected;  // by column
    } cases[] = {
        {"8", [](int32_t j) { return j % 4 == 0; }},
        {"80000000", [](int32_t j) { return j % 32 == 0; }},
        {"1", [](int32_t j) { return j % 4 == 3; }},
        {"0x80", [](int32_t j) { return j % 12 == 4; }},
        {"f0 F0", [](int32_t j) { return j % 16 < 4 || (j % 16 >= 8 && j % 16 < 12); }},
        // 2048 bits: only the first 1024 count, here the first 4 of every row.
        {"F" + std::string(511, '0'), [](int32_t j) { return j < 4; }},
    };
    for (const Case& c : cases) {
        Document doc = MakeDocument(8200);  // eight complete rows and eight cells more
        const Document before = doc;
        const CellChange change = SelectPatternColumns(doc, PatternBits(c.text));
        EXPECT_EQ(change, CellChange::range(0, 8192)) << c.text;
        for (int32_t i = 0; i < 8200; ++i) {
            const bool expected = i < 8192 && c.selected(i % 1024);
            const uint8_t cell = doc.Cells[static_cast<size_t>(i)];
            ASSERT_EQ(cell, before.Cells[static_cast<size_t>(i)] | (expected ? CELL_SELECTED : 0))
                << c.text << " cell " << i;
        }
    }
}

TEST(CellOpsTest, PatternOnlyAddsSelections) {
    Document doc = MakeDocument(2048, 1024, CELL_SELECTED);
    const Document before = doc;
    SelectPatternColumns(doc, PatternBits("8"));
    EXPECT_EQ(doc.Cells, before.Cells);
}

TEST(CellOpsTest, PatternWithoutHexDigitsRaisesBeforeAnyChange) {
    Document doc = MakeDocument(8192);
    const Document before = doc;
    EXPECT_THROW(SelectPatternColumns(doc, PatternBits("xyz")), DivisionByZero);
    EXPECT_EQ(doc.Cells, before.Cells);

    Document fewer = MakeDocument(100);  // no complete row: still the first column's division
    EXPECT_THROW(SelectPatternColumns(fewer, {}), DivisionByZero);

    Document noRows = MakeDocument(100, 0);
    EXPECT_TRUE(SelectPatternColumns(noRows, {}).empty());
    Document negative = MakeDocument(100, -4);
    EXPECT_TRUE(SelectPatternColumns(negative, PatternBits("F")).empty());
    EXPECT_EQ(negative.Cells, MakeDocument(100, -4).Cells);
}

TEST(CellOpsTest, ItemIndexNamesTheAction) {
    EXPECT_EQ(PointerActionFromItemIndex(-1), PointerAction::None);
    EXPECT_EQ(PointerActionFromItemIndex(0), PointerAction::SelectBit);
    EXPECT_EQ(PointerActionFromItemIndex(3), PointerAction::SetBit);
    EXPECT_EQ(PointerActionFromItemIndex(4), PointerAction::None);
}
