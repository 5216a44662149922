#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <vector>

#include "core/HexDump.h"

using namespace zandrel;

namespace {

std::vector<uint8_t> counting(size_t count, uint8_t first = 0) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::vector<std::string> allLines(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> lines;
    const int32_t length = static_cast<int32_t>(bytes.size());
    for (int32_t line = 0; line < DumpLineCount(length); ++line)
        lines.push_back(DumpLine(bytes.data(), length, line));
    return lines;
}

}  // namespace

TEST(HexDumpTest, AddressWidthFollowsTheByteCount) {
    struct Case {
        int32_t length;
        int width;
    };
    for (const Case& c : {Case{0, 4}, Case{16, 4}, Case{0xFFFF, 4}, Case{0x10000, 5}, Case{0xFFFFF, 5},
                          Case{0x100000, 6}, Case{INT32_MAX, 8}}) {
        EXPECT_EQ(DumpAddressWidth(c.length), c.width) << c.length;
    }
}

TEST(HexDumpTest, LineCountRoundsUpWithOneLineForNothing) {
    EXPECT_EQ(DumpLineCount(0), 1);
    EXPECT_EQ(DumpLineCount(1), 1);
    EXPECT_EQ(DumpLineCount(16), 1);
    EXPECT_EQ(DumpLineCount(17), 2);
    EXPECT_EQ(DumpLineCount(0x10000), 0x1000);
    EXPECT_EQ(DumpLineCount(-5), 1);
}

TEST(HexDumpTest, NoBytesGiveTheSeparatorAlone) {
    EXPECT_EQ(DumpLine(nullptr, 0, 0), "  ");
    EXPECT_EQ(DumpText(nullptr, 0), "  \n");
}

TEST(HexDumpTest, EighteenBytesGiveAFullAndAPaddedLine) {
    std::vector<uint8_t> bytes = counting(16, 0x41);
    bytes.push_back(0x7E);
    bytes.push_back(0x7F);
    const std::vector<std::string> lines = allLines(bytes);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "0000: 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP");
    EXPECT_EQ(lines[1], "0010: 7E 7F" + std::string(42, ' ') + "  ~.");
    EXPECT_EQ(lines[0].size(), 71u);
    EXPECT_EQ(lines[1].size(), 57u);
    EXPECT_EQ(lines[0].find("ABC"), 55u);
    EXPECT_EQ(lines[1].find("~."), 55u);
}

TEST(HexDumpTest, SixteenBytesMakeOneUnpaddedLine) {
    const std::vector<std::string> lines = allLines(counting(16));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "0000: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  ................");
}

TEST(HexDumpTest, SeventeenBytesPadTheSecondLine) {
    const std::vector<std::string> lines = allLines(counting(17, 0x30));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "0010: 40" + std::string(45, ' ') + "  @");
}

TEST(HexDumpTest, CharacterColumnShowsOnlyPrintableBytes) {
    const std::vector<uint8_t> bytes = {31, 32, 126, 127, 255, 0x80, 'a', 0};
    EXPECT_EQ(DumpLine(bytes.data(), 8, 0),
              "0000: 1F 20 7E 7F FF 80 61 00" + std::string(24, ' ') + "  . ~...a.");
}

TEST(HexDumpTest, OffsetsTakeTheWidthOfTheCountNotOfTheLastOffset) {
    const std::vector<uint8_t> wide(0x10000, 0xAB);
    EXPECT_EQ(DumpLine(wide.data(), 0x10000, 0).substr(0, 6), "00000:");
    EXPECT_EQ(DumpLine(wide.data(), 0x10000, 0xFFF).substr(0, 6), "0FFF0:");
    const std::vector<uint8_t> narrow(0xFFFF, 0xAB);
    EXPECT_EQ(DumpLine(narrow.data(), 0xFFFF, 0xFFF).substr(0, 5), "FFF0:");
    EXPECT_EQ(DumpLine(narrow.data(), 0xFFFF, 0xFFF).size(), 4u + 1 + 48 + 2 + 15);
}

TEST(HexDumpTest, LinesOutsideTheDumpAppendNothing) {
    const std::vector<uint8_t> bytes = counting(20);
    std::string out = "x";
    AppendDumpLine(out, bytes.data(), 20, 2, 4);
    AppendDumpLine(out, bytes.data(), 20, -1, 4);
    EXPECT_EQ(out, "x");
}

TEST(HexDumpTest, TooNarrowWidthIsWidened) {
    const std::vector<uint8_t> bytes(0x20000, 1);
    std::string out;
    AppendDumpLine(out, bytes.data(), 0x20000, 0x1FFF, 1);
    EXPECT_EQ(out.substr(0, 6), "1FFF0:");
}

TEST(HexDumpTest, BulkLinesEqualSingleLines) {
    for (int32_t length : {0, 1, 15, 16, 17, 33, 1000}) {
        const std::vector<uint8_t> bytes = counting(static_cast<size_t>(length), 7);
        std::string expected;
        for (const std::string& line : allLines(bytes)) expected += line + "\n";
        EXPECT_EQ(DumpText(bytes.data(), length), expected) << length;

        // A window of lines in the middle and one running past the end.
        std::string window;
        AppendDumpLines(window, bytes.data(), length, 1, 2, DumpAddressWidth(length), '|');
        std::string expectedWindow;
        for (int32_t line = 1; line < std::min(3, DumpLineCount(length)); ++line)
            expectedWindow += DumpLine(bytes.data(), length, line) + "|";
        EXPECT_EQ(window, expectedWindow) << length;
    }
    std::string none;
    AppendDumpLines(none, nullptr, 0, 0, INT32_MAX, 4);
    EXPECT_EQ(none, "  \n");
    AppendDumpLines(none, nullptr, 0, INT32_MIN, INT32_MIN, 4);
    EXPECT_EQ(none, "  \n");
}

TEST(HexDumpTest, EveryByteValueInFullLinesOfEveryWidth) {
    for (int32_t length : {256, 0x10000 + 256, 0x100000 + 256}) {
        std::vector<uint8_t> bytes(static_cast<size_t>(length));
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
        const int width = DumpAddressWidth(length);
        const std::string text = DumpText(bytes.data(), length);
        size_t at = 0;
        for (int32_t line = 0; line < DumpLineCount(length); ++line) {
            char expected[128];
            int size =
                std::snprintf(expected, sizeof expected, "%0*X:", width, static_cast<unsigned>(line * 16));
            std::string chars;
            for (int i = 0; i < 16; ++i) {
                const uint8_t b = bytes[static_cast<size_t>(line * 16 + i)];
                size +=
                    std::snprintf(expected + size, sizeof expected - static_cast<size_t>(size), " %02X", b);
                chars.push_back(b >= 32 && b <= 126 ? static_cast<char>(b) : '.');
            }
            const std::string wanted = std::string(expected) + "  " + chars + "\n";
            ASSERT_EQ(text.substr(at, wanted.size()), wanted) << "line " << line;
            at += wanted.size();
        }
        EXPECT_EQ(at, text.size());
    }
}
