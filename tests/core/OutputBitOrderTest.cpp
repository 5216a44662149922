#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Document.h"
#include "core/Errors.h"
#include "core/OutputBitOrder.h"

using namespace zandrel;

namespace {

/// A document whose order entries all hold `fill`, so untouched entries show.
Document filledWith(int32_t fill) {
    Document doc;
    doc.OutputBitOrder.fill(fill);
    return doc;
}

LayoutTexts layoutWithOutputs(int32_t outputs) {
    LayoutTexts edits;
    edits.BitsPerRowEdit = std::to_string(outputs);
    edits.BitsPerOutputEdit = "1";
    return edits;
}

}  // namespace

TEST(OutputBitOrderTest, ReadsTheTextNumberByNumber) {
    struct Case {
        std::string text;
        int32_t count;
        std::vector<int32_t> entries;  // entries 0 .. size - 1 afterwards; the rest must still hold 77
    };
    const std::vector<Case> cases = {
        {"0 1 2 3 4 5 6 7", 8, {0, 1, 2, 3, 4, 5, 6, 7, 77}},
        {"3 2 1 0 ", 4, {3, 2, 1, 0, 0, 77}},
        {"0 1 2 3\n", 4, {0, 1, 2, 3, 0, 77}},
        {"0x1F 010 7", 3, {31, 8, 7, 77}},
        {"  -1 +2", 2, {-1, 2, 77}},
        {"0,1,2", 1, {0, 0, 77}},
        {"abc", 0, {0, 77}},
        {"", 0, {77}},
        {"08", 2, {0, 8, 77}},
        {"12ab", 1, {12, 0, 77}},
        {"0x", 1, {0, 0, 77}},
        {"0xg", 1, {0, 0, 77}},
        {"-0X1a\t\r\v\f9", 2, {-26, 9, 77}},
        {"- 5", 0, {0, 77}},
        {"5\0"
         "6",
         1,
         {5, 77}},
        {"4294967295 2147483648", 2, {-1, INT32_MIN, 77}},
    };
    for (const Case& c : cases) {
        Document doc = filledWith(77);
        EXPECT_EQ(doc.OutputBitOrderStrToArray(c.text), c.count) << c.text;
        for (size_t i = 0; i < c.entries.size(); ++i)
            EXPECT_EQ(doc.OutputBitOrder[i], c.entries[i]) << c.text << " #" << i;
        EXPECT_EQ(doc.OutputBitOrder[1023], 77) << c.text;
    }
}

TEST(OutputBitOrderTest, ReadsAtMost1024Numbers) {
    std::string text;
    for (int i = 0; i < 1100; ++i) text += std::to_string(i + 1) + " ";
    Document doc = filledWith(-5);
    EXPECT_EQ(doc.OutputBitOrderStrToArray(text), 1024);
    EXPECT_EQ(doc.OutputBitOrder[0], 1);
    EXPECT_EQ(doc.OutputBitOrder[1023], 1024);
}

TEST(OutputBitOrderTest, FormatsTheFirstOutputsPerRowEntries) {
    Document doc;
    EXPECT_EQ(doc.OutputBitOrderArrayToStr(layoutWithOutputs(8)), "0 1 2 3 4 5 6 7");
    EXPECT_EQ(doc.OutputsPerRow, 8);
    EXPECT_EQ(doc.OutputBitOrderArrayToStr(layoutWithOutputs(0)), "");
    EXPECT_EQ(doc.OutputBitOrderArrayToStr(layoutWithOutputs(-3)), "");
    doc.OutputBitOrder[1] = INT32_MIN;
    EXPECT_EQ(doc.OutputBitOrderArrayToStr(layoutWithOutputs(3)), "0 -2147483648 2");
}

TEST(OutputBitOrderTest, FormattingRunsReadLayoutParamsAndItsError) {
    Document doc;
    LayoutTexts edits;
    edits.BitsPerOutputEdit = "0";
    EXPECT_THROW(doc.OutputBitOrderArrayToStr(edits), DivisionByZero);
    EXPECT_EQ(doc.BitsPerOutput, 0);
}

TEST(OutputBitOrderTest, FormattingKeepsWithinTheSizeAndCutsNoNumber) {
    Document doc;
    // 283 outputs need 1021 characters, 284 need 1025: the last number is left out whole.
    EXPECT_EQ(doc.OutputBitOrderArrayToStr(layoutWithOutputs(283)).size(), 1021u);
    const std::string cut = doc.OutputBitOrderArrayToStr(layoutWithOutputs(284));
    EXPECT_EQ(cut.size(), 1021u);
    EXPECT_EQ(cut.substr(cut.size() - 4), " 282");
    for (int32_t size : {-1, 0, 1, 2, 3, 4, 5}) {
        const std::string text = doc.OutputBitOrderArrayToStr(layoutWithOutputs(8), size);
        EXPECT_LE(static_cast<int32_t>(text.size()), std::max(0, size - 1)) << size;
    }
    EXPECT_EQ(doc.OutputBitOrderArrayToStr(layoutWithOutputs(8), 4), "0 1");
}

TEST(OutputBitOrderTest, FormattingNeverGoesPastTheArray) {
    Document doc;
    const std::string whole =
        doc.OutputBitOrderArrayToStr(layoutWithOutputs(5000), kOutputBitOrderWholeTextSize);
    EXPECT_EQ(whole.substr(whole.size() - 5), " 1023");
    Document readBack;
    readBack.OutputBitOrder.fill(-1);
    EXPECT_EQ(readBack.OutputBitOrderStrToArray(whole), 1024);
    EXPECT_EQ(readBack.OutputBitOrder, doc.OutputBitOrder);
}

TEST(OutputBitOrderTest, PermutationTest) {
    struct Case {
        std::vector<int32_t> entries;
        int32_t outputs;
        bool valid;
    };
    const std::vector<Case> cases = {
        {{3, 2, 1, 0}, 4, true},
        {{0, 1, 1, 3}, 4, false},
        {{0, 1, 2, 4}, 4, false},
        {{0, 1, 2, -1}, 4, false},
        {{3, 2, 1, 0, 9, 9}, 4, true},
        {{}, 0, true},
        {{5}, -2, true},
        {{0}, 1, true},
        {{1}, 1, false},
    };
    for (const Case& c : cases) {
        Document doc;
        for (size_t i = 0; i < c.entries.size(); ++i) doc.OutputBitOrder[i] = c.entries[i];
        doc.OutputsPerRow = c.outputs;
        EXPECT_EQ(doc.OutputBitOrderIsPermutation(), c.valid) << c.outputs;
    }
    Document identity;
    identity.OutputsPerRow = 1024;
    EXPECT_TRUE(identity.OutputBitOrderIsPermutation());
    identity.OutputsPerRow = 1025;
    EXPECT_FALSE(identity.OutputBitOrderIsPermutation());
}

TEST(OutputBitOrderTest, WarningNamesTheRange) {
    EXPECT_EQ(OutputBitOrderWarning(4),
              "The Output bit order is not correct!\n\nThe Output bits include the range 0 .. 3\n\n"
              "Do you want to continue even though the exported data will be invalid?");
    EXPECT_NE(OutputBitOrderWarning(32).find("0 .. 31\n"), std::string::npos);
    EXPECT_NE(OutputBitOrderWarning(INT32_MIN).find("0 .. 2147483647\n"), std::string::npos);
}
