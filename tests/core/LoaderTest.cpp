#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "FakeFeedback.h"
#include "TempDir.h"
#include "core/Document.h"

using namespace zandrel;
using namespace zandrel::testing;
using namespace std::string_literals;

namespace {

const FakeFeedback::Call kUnknownBitsWarning = FakeFeedback::Message(
    "The input file contains '?' characters.\nLoaded data may be corrupt because of unknown bits.",
    "WARNING");

/// A document holding 5 cells 1 0 1 0 1, to see that a failed load leaves them.
Document documentWithOldCells() {
    Document doc;
    doc.replaceCells(5);
    for (size_t i = 0; i < 5; i += 2) doc.Cells[i] = CELL_VALUE;
    return doc;
}

std::vector<uint8_t> usedCells(const Document& doc) {
    return std::vector<uint8_t>(doc.Cells.begin(), doc.Cells.begin() + doc.BinDataLen);
}

/// The text loader's rules, one character at a time.
struct ReferenceText {
    std::vector<uint8_t> bits;
    int32_t bitsPerRow = 0, bitsPerOutput = 0, warnings = 0;
    explicit ReferenceText(const std::string& text) {
        for (char c : text) {
            if (c == '0' || c == '1') bits.push_back(c == '1');
            if (c == '?') ++warnings;
            if (c == '\n' && bitsPerRow == 0 && !bits.empty()) bitsPerRow = static_cast<int32_t>(bits.size());
            if (c == ' ' && bitsPerOutput == 0 && !bits.empty())
                bitsPerOutput = static_cast<int32_t>(bits.size());
        }
    }
};

class LoaderTest : public ::testing::Test {
protected:
    TempDir dir;
    FakeFeedback feedback;
    LayoutTexts edits;
};

}  // namespace

TEST_F(LoaderTest, BinaryBytesGiveEightCellsEachLeastSignificantFirst) {
    const std::string path = dir.file("rom.bin");
    WriteFile(path, "\x01\x80");
    Document doc = documentWithOldCells();
    EXPECT_EQ(doc.LoadBinFile(path, feedback), 16);
    EXPECT_EQ(doc.BinDataLen, 16);
    std::vector<uint8_t> expected(16, 0);
    expected[0] = expected[15] = 1;
    EXPECT_EQ(usedCells(doc), expected);
    EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{FakeFeedback::Caption("Zandrel: " + path)});
}

TEST_F(LoaderTest, BinaryLoadOfEveryByteValue) {
    std::string bytes;
    for (int v = 0; v < 256; ++v) bytes.push_back(static_cast<char>(v));
    const std::string path = dir.file("all.bin");
    WriteFile(path, bytes);
    Document doc;
    ASSERT_EQ(doc.LoadBinFile(path, feedback), 2048);
    for (int v = 0; v < 256; ++v)
        for (int j = 0; j < 8; ++j) ASSERT_EQ(doc.Cells[static_cast<size_t>(8 * v + j)], (v >> j) & 1) << v;
}

TEST_F(LoaderTest, BinaryLoadOverLargerCellsLeavesNoOldCell) {
    Document doc;
    doc.replaceCells(1000);
    std::fill(doc.Cells.begin(), doc.Cells.end(), uint8_t{0x05});
    const std::string path = dir.file("zeros.bin");
    WriteFile(path, std::string(100, '\0'));
    ASSERT_EQ(doc.LoadBinFile(path, feedback), 800);
    EXPECT_EQ(doc.Cells, std::vector<uint8_t>(800, 0));
}

TEST_F(LoaderTest, EmptyFilesLoadNoBits) {
    const std::string binary = dir.file("empty.bin");
    WriteFile(binary, "");
    Document doc = documentWithOldCells();
    EXPECT_EQ(doc.LoadBinFile(binary, feedback), 0);
    EXPECT_EQ(doc.BinDataLen, 0);
    EXPECT_TRUE(doc.Cells.empty());

    const std::string text = dir.file("empty.txt");
    WriteFile(text, "");
    Document textDoc = documentWithOldCells();
    edits.BitsPerRowEdit = "77";
    EXPECT_EQ(textDoc.LoadTextFile(text, edits, feedback), 0);
    EXPECT_EQ(textDoc.BinDataLen, 0);
    EXPECT_EQ(edits.BitsPerRowEdit, "0");
    EXPECT_EQ(edits.BitsPerOutputEdit, "32");
    EXPECT_TRUE(feedback.messages().empty());
    EXPECT_EQ(feedback.lastCaption(), "Zandrel: " + text);
}

TEST_F(LoaderTest, FilesThatCannotBeOpenedChangeNothing) {
    struct Case {
        std::string path;
        bool text;
        std::string message;
    };
    std::filesystem::create_directory(dir.file("folder.txt"));
    std::filesystem::create_directory(dir.file("folder.bin"));
    const std::vector<Case> cases = {
        {dir.file("missing.bin"), false, "Unable to open input binary file. Aborting."},
        {dir.file("folder.bin"), false, "Unable to open input binary file. Aborting."},
        {dir.file("missing.txt"), true, "Unable to open input text file. Aborting."},
        {dir.file("folder.txt"), true, "Unable to open input text file. Aborting."},
    };
    for (const Case& c : cases) {
        FakeFeedback fresh;
        Document doc = documentWithOldCells();
        doc.BitsPerRow = 9;
        LayoutTexts texts;
        texts.BitsPerRowEdit = "9";
        EXPECT_EQ(c.text ? doc.LoadTextFile(c.path, texts, fresh) : doc.LoadBinFile(c.path, fresh), 0)
            << c.path;
        EXPECT_EQ(fresh.calls, std::vector<FakeFeedback::Call>{FakeFeedback::Message(c.message, "Error")})
            << c.path;
        EXPECT_EQ(doc.BinDataLen, 5);
        EXPECT_EQ(doc.Cells, documentWithOldCells().Cells);
        EXPECT_EQ(doc.BitsPerRow, 9);
        EXPECT_EQ(texts.BitsPerRowEdit, "9");
    }
}

TEST_F(LoaderTest, BinaryFileOfTwoTo28BytesIsRefused) {
    const std::string path = dir.file("huge.bin");
    WriteFile(path, "");
    ASSERT_EQ(::truncate(path.c_str(), int64_t{1} << 28), 0);  // sparse: takes no space
    Document doc = documentWithOldCells();
    EXPECT_EQ(doc.LoadBinFile(path, feedback), 0);
    EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{FakeFeedback::Message(
                                  "The file is too large: at most 268435455 bytes can be loaded.", "Error")});
    EXPECT_EQ(doc.BinDataLen, 5);
    EXPECT_EQ(doc.Cells.size(), 5u);
}

TEST_F(LoaderTest, TextShapesAndBits) {
    struct Case {
        std::string text;
        std::string bits;        // the cells as 0 and 1
        std::string bitsPerRow;  // the edits afterwards, starting from "1024" and "32"
        std::string bitsPerOutput;
        int warnings;
    };
    const std::vector<Case> cases = {
        {"0101 1100\n1111 0000\n", "0101110011110000", "8", "4", 0},
        {"0101 1100\r\n1111 0000\r\n", "0101110011110000", "8", "4", 0},
        {"01010101\n0101 0101\n", "0101010101010101", "8", "12", 0},
        {"0101\n1100\n", "01011100", "4", "32", 0},
        {"0101 1100", "01011100", "0", "4", 0},
        {"1?0?1", "101", "0", "32", 2},
        {"\n \n  01 1\n0", "0110", "3", "2", 0},
        {"0\t1x1\0"
         "0\n"s,
         "0110", "4", "32", 0},
        {"???", "", "0", "32", 3},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file("bits.txt");
        WriteFile(path, c.text);
        Document doc = documentWithOldCells();
        LayoutTexts texts;
        FakeFeedback fresh;
        EXPECT_EQ(doc.LoadTextFile(path, texts, fresh), static_cast<int32_t>(c.bits.size())) << c.text;
        std::string bits;
        for (uint8_t cell : usedCells(doc)) bits += static_cast<char>('0' + cell);
        EXPECT_EQ(bits, c.bits) << c.text;
        EXPECT_EQ(texts.BitsPerRowEdit, c.bitsPerRow) << c.text;
        EXPECT_EQ(texts.BitsPerOutputEdit, c.bitsPerOutput) << c.text;
        std::vector<FakeFeedback::Call> expected = {FakeFeedback::Caption("Zandrel: " + path)};
        for (int i = 0; i < c.warnings; ++i) expected.push_back(kUnknownBitsWarning);
        EXPECT_EQ(fresh.calls, expected) << c.text;
        EXPECT_EQ(doc.Cells.size(), c.text.size()) << c.text;
        EXPECT_EQ(doc.BitsPerRow, std::stoi(c.bitsPerRow)) << c.text;
    }
}

TEST_F(LoaderTest, LongTextAcrossReadBlocksEqualsTheCharacterRules) {
    std::mt19937 random(3);
    const char alphabet[] = "0000111111  \n\r?x";
    std::string text;
    for (int i = 0; i < 700000; ++i) text.push_back(alphabet[random() % (sizeof alphabet - 1)]);
    text[0] = '1';
    const std::string path = dir.file("long.txt");
    WriteFile(path, text);
    Document doc;
    ASSERT_GT(doc.LoadTextFile(path, edits, feedback), 0);
    const ReferenceText reference(text);
    EXPECT_EQ(usedCells(doc), reference.bits);
    EXPECT_EQ(edits.BitsPerRowEdit, std::to_string(reference.bitsPerRow));
    EXPECT_EQ(edits.BitsPerOutputEdit, std::to_string(reference.bitsPerOutput));
    EXPECT_EQ(static_cast<int>(feedback.messages().size()), reference.warnings);
    EXPECT_TRUE(
        std::all_of(doc.Cells.begin() + doc.BinDataLen, doc.Cells.end(), [](uint8_t c) { return c == 0; }));
}

TEST_F(LoaderTest, TextLoadOverOldCellsLeavesOnlyZerosPastTheBits) {
    Document doc;
    doc.replaceCells(30);
    std::fill(doc.Cells.begin(), doc.Cells.end(), uint8_t{0x05});
    const std::string path = dir.file("few.txt");
    WriteFile(path, "1 1 1 1 1 1 1 1 1 1 1 1\n");  // 24 characters, 12 bits
    ASSERT_EQ(doc.LoadTextFile(path, edits, feedback), 12);
    std::vector<uint8_t> expected(24, 0);
    std::fill(expected.begin(), expected.begin() + 12, uint8_t{1});
    EXPECT_EQ(doc.Cells, expected);
}

TEST_F(LoaderTest, LoadsLeaveTheExportToBeDoneAnew) {
    const std::string path = dir.file("rom.bin");
    WriteFile(path, std::string(8, '\xFF'));
    Document doc;
    doc.replaceCells(64);
    edits.BitsPerRowEdit = "64";
    edits.BitsPerOutputEdit = "8";
    doc.ExportBin(edits);
    ASSERT_EQ(doc.LoadBinFile(path, feedback), 64);
    ExportChange change;
    EXPECT_EQ(doc.ExportBinChanged(edits, {}, change), 8);
    EXPECT_TRUE(change.whole);
    EXPECT_EQ(doc.ExportData, std::vector<uint8_t>(8, 0xFF));
}
