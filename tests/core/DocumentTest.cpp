#include <gtest/gtest.h>

#include "core/Document.h"
#include "core/Errors.h"

using namespace zandrel;

namespace {

LayoutTexts layout(std::string bitsPerRow, std::string bitsPerOutput) {
    LayoutTexts edits;
    edits.BitsPerRowEdit = std::move(bitsPerRow);
    edits.BitsPerOutputEdit = std::move(bitsPerOutput);
    return edits;
}

}  // namespace

TEST(DocumentTest, StartsEmptyWithBigEndianAndTheIdentityOrder) {
    Document doc;
    EXPECT_TRUE(doc.Cells.empty());
    EXPECT_EQ(doc.BinDataLen, 0);
    EXPECT_EQ(doc.BitsPerRow, 0);
    EXPECT_EQ(doc.OutputsPerRow, 0);
    EXPECT_EQ(doc.EndianMode, 1);
    EXPECT_EQ(doc.ROMLayout, 0);
    EXPECT_EQ(doc.OutputBitOrder[0], 0);
    EXPECT_EQ(doc.OutputBitOrder[1023], 1023);
    EXPECT_TRUE(doc.WorkingDir.empty());
    EXPECT_EQ(doc.DragMode, 0);
}

TEST(DocumentTest, ReadLayoutParamsTakesTheSixTexts) {
    Document doc;
    doc.replaceCells(16);
    doc.ReadLayoutParams(LayoutTexts{});
    EXPECT_EQ(doc.BitSizeX, 4);
    EXPECT_EQ(doc.BitSizeY, 4);
    EXPECT_EQ(doc.BitGap, 2);
    EXPECT_EQ(doc.ColGap, 4);
    EXPECT_EQ(doc.BitsPerRow, 1024);
    EXPECT_EQ(doc.BitsPerOutput, 32);
    EXPECT_EQ(doc.OutputsPerRow, 32);
    EXPECT_EQ(doc.ShownBitCount, 16);
}

TEST(DocumentTest, OutputsPerRowTruncatesTowardZero) {
    Document doc;
    doc.ReadLayoutParams(layout("1000", "32"));
    EXPECT_EQ(doc.OutputsPerRow, 31);
    doc.ReadLayoutParams(layout("-7", "3"));
    EXPECT_EQ(doc.OutputsPerRow, -2);
    doc.ReadLayoutParams(layout("-2147483648", "-1"));
    EXPECT_EQ(doc.OutputsPerRow, INT32_MIN);
}

TEST(DocumentTest, ZeroBitsPerOutputRaisesAfterTheSixFieldsAreSet) {
    Document doc;
    doc.replaceCells(8);
    doc.ReadLayoutParams(LayoutTexts{});
    doc.replaceCells(24);
    LayoutTexts edits = layout("512", "0");
    edits.BitSizeXEdit = "7";
    try {
        doc.ReadLayoutParams(edits);
        FAIL() << "expected a division by zero";
    } catch (const DivisionByZero& error) {
        EXPECT_STREQ(error.what(), "Division by zero");
    }
    EXPECT_EQ(doc.BitSizeX, 7);
    EXPECT_EQ(doc.BitsPerRow, 512);
    EXPECT_EQ(doc.BitsPerOutput, 0);
    EXPECT_EQ(doc.OutputsPerRow, 32);
    EXPECT_EQ(doc.ShownBitCount, 8);
}
