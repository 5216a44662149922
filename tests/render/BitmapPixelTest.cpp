// The pixels of the bit map at the default geometry (4, 4, 2, 4, 1024, 32) and its variations.

#include <gtest/gtest.h>

#include <vector>

#include "ReferenceBitmap.h"
#include "core/Errors.h"
#include "render/BitmapDrawing.h"

using namespace zandrel;
using zandrel::testing::Layout;
using zandrel::testing::MakeDocument;

namespace {

constexpr Rgb kBlue{0, 0, 255}, kYellow{255, 255, 0}, kBlack{0, 0, 0}, kWhite{255, 255, 255};
constexpr Rgb kSilver{192, 192, 192};

Layout WithBitsPerRow(int32_t bitsPerRow) {
    Layout l;
    l.BitsPerRow = bitsPerRow;
    return l;
}

Layout WithBitGap(int32_t bitGap) {
    Layout l;
    l.BitGap = bitGap;
    return l;
}

// Cells in a checkerboard of columns: odd columns black, even ones white; odd rows selected.
std::vector<uint8_t> Checkerboard(int32_t count, int32_t perRow) {
    std::vector<uint8_t> cells(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        cells[static_cast<size_t>(i)] =
            static_cast<uint8_t>(((i % perRow) % 2) | ((i / perRow) % 2 ? CELL_SELECTED : 0));
    }
    return cells;
}

}  // namespace

TEST(BitmapPixelTest, ImageSizeFollowsTheLayout) {
    struct Case {
        const char* what;
        Layout layout;
        int32_t count;
        int32_t width, height;
    } cases[] = {
        {"8192 cells, 8 rows", Layout{}, 8192, 6277, 57},
        {"no cells", Layout{}, 0, 6277, 9},
        {"8200 cells, a partial ninth row", Layout{}, 8200, 6277, 63},
        {"100 per row: a partial fourth group", WithBitsPerRow(100), 100, 621, 15},
        {"1 Mbit", Layout{}, 1 << 20, 6277, 6153},
        {"no cells and a BitGap of 11", WithBitGap(11), 0, 6277 + 1024 * 9 - 9, 0},
    };
    for (const auto& c : cases) {
        const Document doc = MakeDocument(c.layout, c.count);
        EXPECT_EQ(ImageSize(doc), (BitmapSize{c.width, c.height})) << c.what;
    }
}

TEST(BitmapPixelTest, CellsCoverTheirRectanglesEdgesIncluded) {
    struct Fact {
        const char* what;
        int32_t x, y;
        Rgb expected;
    };
    // Row 0 white and black by column, row 1 yellow and blue, and so on.
    Document doc = MakeDocument(Layout{}, 8192, Checkerboard(8192, 1024));
    Raster raster;
    ASSERT_TRUE(RenderBitmap(doc, raster));
    EXPECT_EQ(doc.ImageWidth, 6277);
    EXPECT_EQ(doc.ImageHeight, 57);
    const Fact facts[] = {
        {"margin left of cell 0", 4, 5, kSilver},
        {"margin above cell 0", 5, 4, kSilver},
        {"cell 0 top left", 5, 5, kWhite},
        {"cell 0 bottom right", 9, 9, kWhite},
        {"gap after cell 0", 10, 5, kSilver},
        {"cell 1 starts at 11", 11, 5, kBlack},
        {"gap below row 0", 5, 10, kSilver},
        {"cell 1024 starts at y 11", 5, 11, kYellow},
        {"cell 1025", 11, 11, kBlue},
        {"cell 31 right edge", 195, 5, kBlack},
        {"group gap starts", 196, 5, kSilver},
        {"group gap ends", 200, 5, kSilver},
        {"cell 32 starts at 201", 201, 5, kWhite},
        {"cell 1023 right edge", 6271, 5, kBlack},
        {"right margin", 6272, 5, kSilver},
        {"last pixel column", 6276, 5, kSilver},
        {"last row's bottom edge", 5, 51, kYellow},
        {"bottom margin", 5, 52, kSilver},
        {"last pixel row", 5, 56, kSilver},
    };
    for (const Fact& f : facts) EXPECT_EQ(raster.pixel(f.x, f.y), f.expected) << f.what;
}

TEST(BitmapPixelTest, PartialLastRowIsDrawnWholeWithItsMargin) {
    Document doc = MakeDocument(Layout{}, 8200, std::vector<uint8_t>(8200, CELL_VALUE));
    Raster raster;
    ASSERT_TRUE(RenderBitmap(doc, raster));
    ASSERT_EQ(raster.height(), 63);
    EXPECT_EQ(raster.pixel(5 + 7 * 6 + 4, 53 + 4), kBlack);  // cell 8199, the last one
    EXPECT_EQ(raster.pixel(5 + 8 * 6, 53), kSilver);         // no cell 8200
    EXPECT_EQ(raster.pixel(5 + 8 * 6, 47), kBlack);          // cell 8192 - 1024 + 8 above it
    for (int32_t y = 58; y < 63; ++y) EXPECT_EQ(raster.pixel(5, y), kSilver);
}

TEST(BitmapPixelTest, PartialLastGroupEndsWithTheMargin) {
    Document doc = MakeDocument(WithBitsPerRow(100), 100, std::vector<uint8_t>(100, CELL_VALUE));
    Raster raster;
    ASSERT_TRUE(RenderBitmap(doc, raster));
    ASSERT_EQ(raster.width(), 621);
    EXPECT_EQ(raster.pixel(587, 5), kBlack);   // column 95 ends the third group
    EXPECT_EQ(raster.pixel(588, 5), kSilver);  // the third column gap
    EXPECT_EQ(raster.pixel(592, 5), kSilver);
    EXPECT_EQ(raster.pixel(3 * 4 + 96 * 6 + 5, 5), kBlack);  // column 96 opens the partial group
    EXPECT_EQ(raster.pixel(611, 5), kBlack);
    EXPECT_EQ(raster.pixel(615, 5), kBlack);
    for (int32_t x = 616; x < 621; ++x) EXPECT_EQ(raster.pixel(x, 5), kSilver);
}

TEST(BitmapPixelTest, NeighboursTouchAtBitGapOneAndShareAPixelAtBitGapZero) {
    // BitGap 1: cell 0 at 5..9, cell 1 at 10..14, no silver between them.
    Document touching = MakeDocument(WithBitGap(1), 2048, Checkerboard(2048, 1024));
    Raster raster;
    ASSERT_TRUE(RenderBitmap(touching, raster));
    EXPECT_EQ(raster.pixel(9, 5), kWhite);
    EXPECT_EQ(raster.pixel(10, 5), kBlack);
    EXPECT_EQ(raster.pixel(5, 9), kWhite);
    EXPECT_EQ(raster.pixel(5, 10), kYellow);

    // BitGap 0: cell 1 starts on cell 0's right edge and covers it, row 1 covers row 0's bottom.
    Document sharing = MakeDocument(WithBitGap(0), 2048, Checkerboard(2048, 1024));
    ASSERT_TRUE(RenderBitmap(sharing, raster));
    EXPECT_EQ(raster.pixel(8, 5), kWhite);
    EXPECT_EQ(raster.pixel(9, 5), kBlack);
    EXPECT_EQ(raster.pixel(5, 8), kWhite);
    EXPECT_EQ(raster.pixel(5, 9), kYellow);
    EXPECT_EQ(raster.pixel(9, 9), kBlue);
}

TEST(BitmapPixelTest, OnlyTheValueAndSelectionFlagsChooseTheColour) {
    const struct {
        uint8_t cell;
        Rgb expected;
    } cases[] = {{0x00, kWhite}, {0x01, kBlack}, {0x04, kYellow}, {0x05, kBlue},
                 {0x85, kBlue},  {0xFA, kWhite}, {0x0E, kYellow}, {0xF3, kBlack}};
    for (const auto& c : cases) {
        Document doc = MakeDocument(Layout{}, 1, {c.cell});
        Raster raster;
        ASSERT_TRUE(RenderBitmap(doc, raster));
        EXPECT_EQ(raster.pixel(7, 7), c.expected) << int(c.cell);
    }
}

TEST(BitmapPixelTest, ZeroDivisorsStopTheRefreshBeforeAnythingChanges) {
    for (const auto& [perRow, perOutput] : {std::pair{0, 32}, std::pair{1024, 0}}) {
        Layout layout;
        layout.BitsPerRow = perRow;
        layout.BitsPerOutput = perOutput;
        Document doc = MakeDocument(layout, 16);
        doc.ImageWidth = 77;
        Raster raster;
        ASSERT_TRUE(raster.Allocate(3, 3));
        EXPECT_THROW(RenderBitmap(doc, raster), DivisionByZero);
        EXPECT_EQ(doc.ImageWidth, 77);
        EXPECT_EQ(raster.width(), 3);
    }
}

TEST(BitmapPixelTest, APictureWithoutPixelsLeavesTheRasterEmpty) {
    Document doc = MakeDocument(WithBitGap(11), 0);
    Raster raster;
    ASSERT_TRUE(raster.Allocate(3, 3));
    EXPECT_FALSE(RenderBitmap(doc, raster));
    EXPECT_TRUE(raster.empty());
    EXPECT_EQ(doc.ImageHeight, 0);
}

TEST(BitmapPixelTest, APictureBeyondTheMemoryCapLeavesTheRasterEmpty) {
    // 16 Mbit at the defaults: 6277 x 98313 pixels, 1.85 GB.
    Document doc = MakeDocument(Layout{}, 1 << 24);
    Raster raster;
    EXPECT_FALSE(RenderBitmap(doc, raster));
    EXPECT_TRUE(raster.empty());
    EXPECT_EQ(doc.ImageWidth, 6277);
    EXPECT_EQ(doc.ImageHeight, 98313);
}
