#include <gtest/gtest.h>

#include "CliRunner.h"

using namespace zandrel::clitest;

namespace {

struct Pixel {
    int r, g, b;
    bool operator==(const Pixel&) const = default;
};

uint32_t littleEndian32(const std::string& data, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(data.at(at + static_cast<size_t>(i)));
    return value;
}

uint32_t bigEndian32(const std::string& data, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(data.at(at + i));
    return value;
}

/// A 24-bit BMP file read back: its size and any pixel.
struct Bmp {
    explicit Bmp(std::string file) : data(std::move(file)) {
        pixels = littleEndian32(data, 10);
        width = static_cast<int32_t>(littleEndian32(data, 18));
        height = static_cast<int32_t>(littleEndian32(data, 22));
    }
    Pixel at(int x, int y) const {
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        const int row = height > 0 ? height - 1 - y : y;  // positive heights store the bottom row first
        const size_t offset = pixels + static_cast<size_t>(row) * stride + static_cast<size_t>(x) * 3;
        return {static_cast<uint8_t>(data.at(offset + 2)), static_cast<uint8_t>(data.at(offset + 1)),
                static_cast<uint8_t>(data.at(offset))};
    }
    std::string data;
    uint32_t pixels = 0;
    int32_t width = 0;
    int32_t height = 0;
};

class CliRenderTest : public ::testing::Test {
protected:
    TempDir dir;
    // Four cells in one row: selected 1, selected 0, 1, 0 (the selection comes from the project).
    std::string project = dir.write("cells.bit", "BitsPerRow = 4\nBitsPerOutput = 4\nBinDataLen = 4\n\n" +
                                                     bytes({0x05, 0x04, 0x01, 0x00}));
};

TEST_F(CliRenderTest, DrawsEachCellInTheColourOfItsFlags) {
    RunResult run = runCli({"render", project, "-o", dir.path("cells.bmp")}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    Bmp image(readFile(dir.path("cells.bmp")));
    // Width: 0 x ColGap + (4 + 2) x 4 - 2 + 11; height: 1 x (4 + 2) - 2 + 11.
    EXPECT_EQ(image.width, 33);
    EXPECT_EQ(std::abs(image.height), 15);
    EXPECT_EQ(image.at(0, 0), (Pixel{192, 192, 192}));   // margin
    EXPECT_EQ(image.at(7, 7), (Pixel{0, 0, 255}));       // selected 1: blue
    EXPECT_EQ(image.at(13, 7), (Pixel{255, 255, 0}));    // selected 0: yellow
    EXPECT_EQ(image.at(19, 7), (Pixel{0, 0, 0}));        // 1: black
    EXPECT_EQ(image.at(25, 7), (Pixel{255, 255, 255}));  // 0: white
}

TEST_F(CliRenderTest, LayoutOptionsShapeThePicture) {
    RunResult run =
        runCli({"render", project, "--bit-size-x", "2", "--bit-size-y", "3", "--bit-gap", "1", "--col-gap",
                "10", "--bits-per-output", "2", "--invert", "-o", dir.path("cells.png")},
               dir);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string png = readFile(dir.path("cells.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    // Width: 1 x 10 + (2 + 1) x 4 - 1 + 11 = 32; height: 1 x (3 + 1) - 1 + 11 = 14.
    EXPECT_EQ(bigEndian32(png, 16), 32u);
    EXPECT_EQ(bigEndian32(png, 20), 14u);
}

TEST_F(CliRenderTest, TheExtensionChoosesTheFormat) {
    for (const char* name : {"cells.tif", "cells.JPG"}) {
        RunResult run = runCli({"render", project, "-o", dir.path(name)}, dir);
        EXPECT_EQ(run.status, 0) << name << run.err;
        EXPECT_GT(readFile(dir.path(name)).size(), 0u) << name;
    }
    const std::string tiffOrder = readFile(dir.path("cells.tif")).substr(0, 2);
    EXPECT_TRUE(tiffOrder == "II" || tiffOrder == "MM") << tiffOrder;
    EXPECT_EQ(readFile(dir.path("cells.JPG")).substr(0, 2), "\xFF\xD8");
}

TEST_F(CliRenderTest, FailuresExitWithTwoAndAClearMessage) {
    struct Case {
        std::vector<std::string> args;
        std::string messageStart;
    };
    const std::vector<Case> cases = {
        {{"render", project, "-o", dir.path("cells.gif")}, "Error: Unsupported image format"},
        {{"render", project, "-o", dir.path("no/such/dir/cells.png")}, "Error: Cannot create file"},
        {{"render", project, "--bits-per-row", "0", "-o", dir.path("zero.png")}, "Error: Division by zero."},
        {{"render", dir.path("missing.bin"), "-o", dir.path("missing.png")},
         "Error: Unable to open input binary file. Aborting."},
    };
    for (const Case& c : cases) {
        RunResult run = runCli(c.args, dir);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(c.args);
        EXPECT_EQ(run.err.rfind(c.messageStart, 0), 0u) << run.err;
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"cells.bit"});
}

}  // namespace
