// Randomised comparison of the drawing against the cell-by-cell reference: any rectangle of the
// bit map, the whole bit map, and redrawing changed cells into an existing picture.

#include <gtest/gtest.h>

#include <random>

#include "ReferenceBitmap.h"
#include "core/CellOps.h"
#include "core/Errors.h"
#include "render/BitmapDrawing.h"

using namespace zandrel;
using namespace zandrel::testing;

namespace {

constexpr int64_t kSmallPicturePixels = 300000;

bool IsSmall(const Document& doc) {
    const int64_t w = ReferenceWidth(doc), h = ReferenceHeight(doc);
    return w >= 1 && h >= 1 && w * h <= kSmallPicturePixels;
}

// A rectangle near the picture: around its edges, inside it, or far outside.
std::array<int32_t, 4> RandomRect(std::mt19937& rng, int32_t width, int32_t height) {
    auto coordinate = [&](int32_t side) -> int32_t {
        const int64_t span = std::clamp<int64_t>(side, 0, 20000);
        const int32_t small = static_cast<int32_t>(rng() % 30);
        switch (rng() % 6) {
            case 0:
                return -small;
            case 1:
                return static_cast<int32_t>(std::max<int64_t>(int64_t{side} - 1 - small, INT32_MIN));
            case 2:
                return rng() % 2 ? INT32_MIN + small : INT32_MAX - small;
            default:
                return static_cast<int32_t>(rng() % static_cast<uint32_t>(span + 20)) - 10;
        }
    };
    return {coordinate(width), coordinate(height), 1 + static_cast<int32_t>(rng() % 90),
            1 + static_cast<int32_t>(rng() % 90)};
}

// One random cell operation, as the pointer or a selection command would apply it.
CellChange RandomEdit(std::mt19937& rng, Document& doc) {
    const int32_t shown = ShownCellCount(doc);
    const int32_t hit = shown > 0 ? static_cast<int32_t>(rng() % static_cast<uint32_t>(shown)) : 0;
    const int32_t dragMode = 1 + static_cast<int32_t>(rng() % 2);
    switch (rng() % 8) {
        case 0:
            return SelectAllCells(doc);
        case 1:
            return UnselectAllCells(doc);
        case 2:
            return InvertSelectedCells(doc);
        case 3:
            return SelectPatternColumns(doc, PatternBits(rng() % 2 ? "A5" : "1"));
        default:
            return ApplyPointerAction(doc, static_cast<PointerAction>(rng() % 4), hit, dragMode);
    }
}

}  // namespace

TEST(BitmapDrawingRandomTest, RectanglesAndWholePicturesEqualTheReference) {
    std::mt19937 rng(20240611);
    int compared = 0, whole = 0;
    for (int round = 0; round < 600; ++round) {
        const Layout layout = RandomLayout(rng);
        const int32_t count = rng() % 10 == 0 ? 0 : static_cast<int32_t>(rng() % 2500);
        Document doc = MakeDocument(layout, count, RandomCells(rng, count));
        if (rng() % 10 == 0)
            doc.Cells.resize(doc.Cells.size() + 37, CELL_VALUE);  // more cells held than shown

        int32_t width = 0, height = 0;
        try {
            width = ReferenceWidth(doc);
            height = ReferenceHeight(doc);
        } catch (const DivisionByZero&) {
            Raster out;
            EXPECT_THROW(DrawBitmapRect(doc, out, 0, 0, 10, 10), DivisionByZero);
            EXPECT_THROW(DrawWholeBitmap(doc, out), DivisionByZero);
            continue;
        }
        for (int k = 0; k < 6; ++k) {
            const auto [x0, y0, w, h] = RandomRect(rng, width, height);
            Raster out;
            ASSERT_TRUE(DrawBitmapRect(doc, out, x0, y0, w, h));
            ASSERT_TRUE(SamePixels(out, ReferenceRect(doc, x0, y0, w, h)))
                << "round " << round << " rect " << x0 << "," << y0 << " " << w << "x" << h;
            ++compared;
        }
        if (IsSmall(doc)) {
            Raster out;
            ASSERT_TRUE(DrawWholeBitmap(doc, out));
            ASSERT_TRUE(SamePixels(out, ReferenceWhole(doc))) << "round " << round;
            ++whole;
        }
    }
    EXPECT_GT(whole, 100);  // the generator must keep producing drawable pictures
}

TEST(BitmapDrawingRandomTest, RedrawingChangedCellsEqualsAFullRedraw) {
    std::mt19937 rng(7177);
    int rounds = 0;
    while (rounds < 250) {
        const Layout layout = RandomLayout(rng);
        const int32_t count = 1 + static_cast<int32_t>(rng() % 1500);
        Document doc = MakeDocument(layout, count, RandomCells(rng, count));
        try {
            if (!IsSmall(doc)) continue;
        } catch (const DivisionByZero&) {
            continue;
        }
        ++rounds;
        Raster raster;
        ASSERT_TRUE(DrawWholeBitmap(doc, raster));
        for (int step = 0; step < 6; ++step) {
            CellChangeList changes;
            const int edits = 1 + static_cast<int>(rng() % 3);
            for (int e = 0; e < edits; ++e) changes.push_back(RandomEdit(rng, doc));
            RedrawCells(doc, raster, changes);
            ASSERT_TRUE(SamePixels(raster, ReferenceWhole(doc))) << "round " << rounds << " step " << step;
        }
    }
}

TEST(BitmapDrawingRandomTest, RectanglesOfAMegabitPictureEqualTheReference) {
    std::mt19937 rng(99);
    for (const int32_t bitGap : {2, 0, -1}) {
        Layout layout;
        layout.BitGap = bitGap;
        const int32_t count = (1 << 20) - 333;  // a partial last row
        const Document doc = MakeDocument(layout, count, RandomCells(rng, count));
        const BitmapSize size = ImageSize(doc);
        for (const auto& [x0, y0] : {std::pair{3000, 3000}, std::pair{size.width - 700, size.height - 100},
                                     std::pair{-20, size.height / 2}}) {
            Raster out;
            ASSERT_TRUE(DrawBitmapRect(doc, out, x0, y0, 1240, 255));
            EXPECT_TRUE(SamePixels(out, ReferenceRect(doc, x0, y0, 1240, 255)))
                << bitGap << " at " << x0 << "," << y0;
        }
    }
}

TEST(BitmapDrawingRandomTest, ShownBitCountBeyondTheCellsHeldDrawsOnlyTheCellsHeld) {
    Document doc = MakeDocument(Layout{}, 10, std::vector<uint8_t>(10, CELL_VALUE));
    doc.ShownBitCount = 5000;  // a broken invariant must still not read past the cells
    Raster raster;
    ASSERT_TRUE(DrawWholeBitmap(doc, raster));
    EXPECT_EQ(raster.height(), 5 * 6 - 2 + 11);
    EXPECT_EQ(raster.pixel(5 + 9 * 6, 5), (Rgb{0, 0, 0}));
    EXPECT_EQ(raster.pixel(5 + 10 * 6, 5), (Rgb{192, 192, 192}));
}
