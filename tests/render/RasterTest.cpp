#include <gtest/gtest.h>

#include "render/Colours.h"
#include "render/Raster.h"

using namespace zandrel;

namespace {

constexpr Rgb kBlue{0, 0, 255}, kYellow{255, 255, 0}, kBlack{0, 0, 0}, kWhite{255, 255, 255};
constexpr Rgb kSilver{192, 192, 192};

}  // namespace

TEST(RasterTest, AllocateLeavesTheRasterEmptyForSidesBelowOneAndBeyondTheCap) {
    struct Case {
        int32_t width, height;
        uint64_t cap;
        bool made;
    } cases[] = {
        {3, 2, kRasterMemoryCap, true},
        {0, 5, kRasterMemoryCap, false},
        {5, 0, kRasterMemoryCap, false},
        {-1, 5, kRasterMemoryCap, false},
        {5, INT32_MIN, kRasterMemoryCap, false},
        {20000, 20000, kRasterMemoryCap, false},  // 1.2 GB
        {INT32_MAX, INT32_MAX, kRasterMemoryCap, false},
        {100, 100, 29999, false},
        {100, 100, 30000, true},
    };
    for (const Case& c : cases) {
        Raster raster;
        ASSERT_TRUE(raster.Allocate(4, 4));
        EXPECT_EQ(raster.Allocate(c.width, c.height, c.cap), c.made) << c.width << " x " << c.height;
        EXPECT_EQ(raster.width(), c.made ? c.width : 0);
        EXPECT_EQ(raster.height(), c.made ? c.height : 0);
        EXPECT_EQ(raster.empty(), !c.made);
    }
}

TEST(RasterTest, FillRectIncludesBothEdgesAndClipsToTheRaster) {
    Raster raster;
    ASSERT_TRUE(raster.Allocate(10, 8));
    raster.FillRect(0, 0, 10, 8, kColourSilver);  // the refresh's background fill, one past each side
    raster.FillRect(-5, -5, 2, 3, kColourBlue);
    raster.FillRect(8, 6, 100, 100, kColourYellow);
    raster.FillRect(5, 5, 4, 6, kColourBlack);  // x2 < x1: nothing
    raster.FillRect(INT32_MIN, 7, INT32_MAX, 7, kColourWhite);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            Rgb expected = kSilver;
            if (x <= 2 && y <= 3) expected = kBlue;
            if (x >= 8 && y >= 6) expected = kYellow;
            if (y == 7) expected = kWhite;
            EXPECT_EQ(raster.pixel(x, y), expected) << x << ", " << y;
        }
    }
}

TEST(RasterTest, FillRectTruncatesTheColourNumber) {
    struct Case {
        double value;
        Rgb expected;
    } cases[] = {
        {16711680.9, kBlue},
        {65535.0, kYellow},
        {12632256.0, kSilver},
        {-0.9, kBlack},
        {0x1000000 + 65535.0, kYellow},  // bits above 23 do not count
        {1e30, kBlack},
        {std::numeric_limits<double>::quiet_NaN(), kBlack},
    };
    for (const Case& c : cases) {
        Raster raster;
        ASSERT_TRUE(raster.Allocate(1, 1));
        raster.FillRect(0, 0, 0, 0, kColourWhite);
        raster.FillRect(0, 0, 0, 0, c.value);
        EXPECT_EQ(raster.pixel(0, 0), c.expected) << c.value;
    }
}

TEST(RasterTest, FillRectOnAnEmptyRasterWritesNothing) {
    Raster raster;
    raster.FillRect(0, 0, 100, 100, kColourBlue);
    EXPECT_TRUE(raster.empty());
}
