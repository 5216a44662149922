#include <gtest/gtest.h>

#include <random>

#include "ReferenceBitmap.h"
#include "core/Errors.h"
#include "render/HitTest.h"

using namespace zandrel;
using namespace zandrel::testing;

namespace {

constexpr auto kBit = PointerAction::SelectBit;
constexpr auto kRow = PointerAction::SelectRow;
constexpr auto kColumn = PointerAction::SelectColumn;
constexpr auto kSet = PointerAction::SetBit;

}  // namespace

TEST(HitTestTest, DefaultGeometryCases) {
    Layout gapless;
    gapless.BitGap = 0;
    struct Case {
        const char* what;
        Layout layout;
        int32_t count;
        PointerAction action;
        int32_t px, py;
        double zoom;
        std::optional<int32_t> cell;
    } cases[] = {
        {"middle of cell 0", Layout{}, 8192, kBit, 7, 7, 100, 0},
        {"top left pixel of cell 0", Layout{}, 8192, kSet, 5, 5, 100, 0},
        {"between cells 0 and 1", Layout{}, 8192, kBit, 10, 7, 100, std::nullopt},
        {"between cells 0 and 1, row action", Layout{}, 8192, kRow, 10, 7, 100, 0},
        {"row 3 from far right", Layout{}, 8192, kRow, 90000, 3 * 6 + 5, 100, 3 * 1024},
        {"below the picture, column action", Layout{}, 8192, kColumn, 300, 80, 100, 48},
        {"below the picture, bit action", Layout{}, 8192, kBit, 300, 80, 100, std::nullopt},
        {"left of cell 0", Layout{}, 8192, kColumn, 4, 7, 100, std::nullopt},
        {"zoom 200, px 10", Layout{}, 8192, kBit, 10, 14, 200, 0},
        {"zoom 200, px 18", Layout{}, 8192, kBit, 18, 14, 200, 0},
        {"zoom 200, px 19", Layout{}, 8192, kBit, 19, 14, 200, std::nullopt},
        {"zoom 50, px 2 (2.5 <= px fails)", Layout{}, 8192, kBit, 2, 3, 50, std::nullopt},
        {"zoom 50, px 3", Layout{}, 8192, kBit, 3, 3, 50, 0},
        {"zoom 133.3, cell 1", Layout{}, 8192, kBit, 15, 8, 133.3, 1},
        {"shared pixel column at BitGap 0", gapless, 8192, kBit, 9, 7, 100, 0},
        {"shared pixel row at BitGap 0", gapless, 8192, kBit, 7, 9, 100, 0},
        {"partial last row: cell exists", Layout{}, 8200, kBit, 5 + 7 * 6, 5 + 8 * 6, 100, 8192 + 7},
        {"partial last row: no cell", Layout{}, 8200, kBit, 5 + 8 * 6, 5 + 8 * 6, 100, std::nullopt},
        {"partial last row: row action", Layout{}, 8200, kRow, 1, 5 + 8 * 6, 100, 8192},
        {"no action", Layout{}, 8192, PointerAction::None, 7, 7, 100, std::nullopt},
        {"no cells", Layout{}, 0, kBit, 7, 7, 100, std::nullopt},
    };
    for (const Case& c : cases) {
        const Document doc = MakeDocument(c.layout, c.count);
        EXPECT_EQ(HitTest(doc, c.action, c.px, c.py, c.zoom, c.zoom), c.cell) << c.what;
        EXPECT_EQ(ReferenceHit(doc, c.action, c.px, c.py, c.zoom, c.zoom), c.cell)
            << c.what << " (reference)";
    }
}

TEST(HitTestTest, ZeroDivisorsRaiseWithCellsShown) {
    Layout noRow;
    noRow.BitsPerRow = 0;
    Layout noOutput;
    noOutput.BitsPerOutput = 0;
    for (const Layout& layout : {noRow, noOutput}) {
        EXPECT_THROW(HitTest(MakeDocument(layout, 1), kBit, 7, 7, 100, 100), DivisionByZero);
        EXPECT_EQ(HitTest(MakeDocument(layout, 0), kBit, 7, 7, 100, 100), std::nullopt);
    }
}

TEST(HitTestTest, PointerOffsetWraps) {
    EXPECT_EQ(PointerOffset(7, 20, 3), 24);
    EXPECT_EQ(PointerOffset(INT32_MAX, 1, 0), INT32_MIN);
}

// The direct hit test against trying every cell, for random layouts (zero, negative and extreme
// values included), pointers on and around cell edges, every action and several zoom factors.
TEST(HitTestTest, DirectSearchEqualsTheIndexOrderScan) {
    std::mt19937 rng(31337);
    const double zooms[] = {100, 200, 50, 133.3};
    const PointerAction actions[] = {kBit, kRow, kColumn, kSet};
    int hits = 0, total = 0;
    for (int round = 0; round < 700; ++round) {
        const Layout layout = RandomLayout(rng);
        const int32_t count = rng() % 12 == 0 ? 0 : static_cast<int32_t>(rng() % 3000);
        const Document doc = MakeDocument(layout, count);
        for (int k = 0; k < 12; ++k) {
            const double zoomX = zooms[rng() % 4];
            const double zoomY = rng() % 3 == 0 ? zooms[rng() % 4] : zoomX;
            // Mostly right on a random cell's edges in zoomed pixels, give or take one.
            int64_t px = static_cast<int64_t>(rng() % 20000) - 100,
                    py = static_cast<int64_t>(rng() % 20000) - 100;
            if (count > 0 && layout.BitsPerRow != 0 && layout.BitsPerOutput != 0 && rng() % 4 != 0) {
                const RefRect r =
                    ReferenceCellRect(doc, static_cast<int32_t>(rng() % static_cast<uint32_t>(count)));
                const int32_t edgeX = rng() % 2 ? r.x1 : r.x2, edgeY = rng() % 2 ? r.y1 : r.y2;
                px = static_cast<int64_t>(std::floor(edgeX * zoomX * 0.01)) + static_cast<int>(rng() % 3) - 1;
                py = static_cast<int64_t>(std::floor(edgeY * zoomY * 0.01)) + static_cast<int>(rng() % 3) - 1;
            }
            const int32_t x = static_cast<int32_t>(std::clamp<int64_t>(px, INT32_MIN, INT32_MAX));
            const int32_t y = static_cast<int32_t>(std::clamp<int64_t>(py, INT32_MIN, INT32_MAX));
            for (const PointerAction action : actions) {
                std::optional<int32_t> expected;
                bool expectedThrow = false;
                try {
                    expected = ReferenceHit(doc, action, x, y, zoomX, zoomY);
                } catch (const DivisionByZero&) {
                    expectedThrow = true;
                }
                if (expectedThrow) {
                    EXPECT_THROW(HitTest(doc, action, x, y, zoomX, zoomY), DivisionByZero);
                    continue;
                }
                ASSERT_EQ(HitTest(doc, action, x, y, zoomX, zoomY), expected)
                    << "round " << round << " action " << int(action) << " at " << x << "," << y << " zoom "
                    << zoomX << "/" << zoomY;
                hits += expected.has_value();
                ++total;
            }
        }
    }
    EXPECT_GT(hits, total / 5);  // the pointers must mostly land on cells to test the ties
}

TEST(HitTestTest, PointerEditActsOnTheHitCellRowOrColumn) {
    Document doc = MakeDocument(Layout{}, 8192);
    EXPECT_EQ(PointerEdit(doc, kBit, 1, 7, 7, 100, 100), CellChange::range(0, 1));
    EXPECT_EQ(doc.Cells[0], CELL_SELECTED);
    EXPECT_EQ(PointerEdit(doc, kBit, 1, 10, 7, 100, 100), std::nullopt);  // between cells 0 and 1
    EXPECT_EQ(PointerEdit(doc, kRow, 1, 10, 7, 100, 100), CellChange::range(0, 1024));
    EXPECT_EQ(PointerEdit(doc, kColumn, 1, 300, 80, 100, 100),
              (CellChange{48, 8, 1024}));  // below the picture
    EXPECT_EQ(doc.Cells[7 * 1024 + 48], CELL_SELECTED);
    EXPECT_EQ(PointerEdit(doc, kSet, 3, 7, 7, 100, 100), CellChange{});  // middle: a hit, no change
    EXPECT_EQ(PointerEdit(doc, kSet, 2, 11, 7, 100, 100), CellChange::range(1, 1));
    EXPECT_EQ(doc.Cells[1], CELL_SELECTED);  // value cleared, selection kept
}
