#include <gtest/gtest.h>

#include <limits>

#include "ReferenceBitmap.h"
#include "core/Errors.h"
#include "render/PointerReadout.h"

using namespace zandrel;
using zandrel::testing::Layout;
using zandrel::testing::MakeDocument;

TEST(PointerReadoutTest, DefaultGeometryPositions) {
    const Document doc = MakeDocument(Layout{}, 0);  // the read-out does not look at the cells
    struct Case {
        const char* what;
        int32_t bx, by;
        PointerReadout expected;  // bit number, group, row, full column, column
    } cases[] = {
        {"top left pixel of cell 0", 5, 5, {0, 1, 0, 0, 32}},
        {"middle of cell 0", 7, 7, {1025, 1, 1, 1, 1}},
        {"middle of cell 31", 193, 7, {1056, 2, 1, 32, 32}},
        {"middle of cell 32", 203, 7, {1057, 2, 1, 33, 1}},
        {"left of the picture, x -7", -7, 7, {1023, 1, 1, -1, -1}},
        {"left of the picture, x -3", -3, 7, {1024, 1, 1, 0, 32}},
        {"far below the picture", 5, 6000, {1000 * 1024, 1, 1000, 0, 32}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadOut(doc, c.bx, c.by), c.expected) << c.what;
    }
}

TEST(PointerReadoutTest, ZeroSizesOrGroupWidthGiveNoReadOut) {
    for (int field = 0; field < 3; ++field) {
        Layout layout;
        (field == 0 ? layout.BitsPerOutput : field == 1 ? layout.BitSizeX : layout.BitSizeY) = 0;
        EXPECT_EQ(ReadOut(MakeDocument(layout, 8), 7, 7), std::nullopt) << field;
    }
}

TEST(PointerReadoutTest, ZeroPitchesRaiseDivisionByZero) {
    Layout noColumnPitch;  // BitSizeX + BitGap = 0
    noColumnPitch.BitGap = -4;
    Layout noGroupPitch;  // 6 * 32 - 192 = 0
    noGroupPitch.ColGap = -192;
    Layout noRowPitch;  // BitSizeY + BitGap = 0, BitSizeX + BitGap = 1
    noRowPitch.BitSizeX = 5;
    noRowPitch.BitGap = -4;
    for (const Layout& layout : {noColumnPitch, noGroupPitch, noRowPitch}) {
        EXPECT_THROW(ReadOut(MakeDocument(layout, 8), 7, 7), DivisionByZero);
    }
}

TEST(PointerReadoutTest, ExtremeLayoutValuesWrap) {
    Layout layout;
    layout.BitsPerRow = INT32_MAX;
    layout.BitsPerOutput = -1;
    layout.ColGap = INT32_MIN;
    const auto out = ReadOut(MakeDocument(layout, 8), INT32_MAX, INT32_MIN);
    ASSERT_TRUE(out.has_value());  // no overflow trap, whatever the numbers
}

TEST(PointerReadoutTest, ScreenToBitmapFollowsScrollOriginAndZoom) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        int32_t client, origin, view;
        double zoom;
        int32_t expected;
    } cases[] = {
        {10, 3, 5, 100, 12}, {10, 3, 5, 200, 6}, {10, 3, 5, 133.3, 9},
        {0, 7, 0, 200, -3},  {0, 7, 0, 100, -7}, {10, 3, 5, 0, INT32_MAX},
        {3, 3, 0, 0, 0},     {10, 3, 5, nan, 0}, {INT32_MIN, 0, 0, 1, INT32_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XScr2Bmp(c.client, c.origin, c.view, c.zoom), c.expected) << c.client << " " << c.zoom;
        EXPECT_EQ(YScr2Bmp(c.client, c.origin, c.view, c.zoom), c.expected) << c.client << " " << c.zoom;
    }
}
