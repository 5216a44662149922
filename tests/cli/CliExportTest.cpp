#include <gtest/gtest.h>

#include <algorithm>

#include "CliRunner.h"

using namespace zandrel::clitest;

namespace {

// Two rows of 32 bits: row 0 has columns 0, 2 and 31 set, row 1 column 1. With 2 bits per output
// (16-bit words) the export is 03 00 00 80 00 00 01 00 little endian, 00 03 80 00 00 00 00 01 big.
const std::string kTwoRows =
    "10100000000000000000000000000001\n"
    "01000000000000000000000000000000\n";
const std::string kLittleEndian = bytes({0x03, 0x00, 0x00, 0x80, 0x00, 0x00, 0x01, 0x00});
const std::string kBigEndian = bytes({0x00, 0x03, 0x80, 0x00, 0x00, 0x00, 0x00, 0x01});

class CliExportTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string rom = dir.write("rom.txt", kTwoRows);
};

TEST_F(CliExportTest, WritesTheExportedBytesBigEndianByDefault) {
    RunResult run = runCli({"export", rom, "--bits-per-output", "2", "-o", dir.path("rom.bin")}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(dir.path("rom.bin")), kBigEndian);
}

TEST_F(CliExportTest, DashWritesTheBytesToStdout) {
    RunResult run = runCli({"export", rom, "--bits-per-output", "2", "--endian", "little", "-o", "-"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kLittleEndian);  // binary, zero bytes included
    EXPECT_FALSE(fileExists(dir.path("-")));
}

TEST_F(CliExportTest, ExportOptionsChangeTheMapping) {
    // One row of 8 bits, 2 per output, the columns 0, 3 and 5 set. The bits of the word come from
    // the columns 0 2 4 6 1 3 5 7; with reversed outputs 6 4 2 0 7 5 3 1; reversed within the
    // groups 1 3 5 7 0 2 4 6; both 7 5 3 1 6 4 2 0; with the order 1 0 3 2 from 2 0 6 4 3 1 7 5.
    std::string row = dir.write("row.txt", "10010100\n");
    struct Case {
        std::vector<std::string> options;
        uint8_t expected;
    };
    const std::vector<Case> cases = {
        {{}, 0x61},
        {{"--reverse-outputs"}, 0x68},
        {{"--reverse-within-col"}, 0x16},
        {{"--reverse-outputs", "--reverse-within-col"}, 0x86},
        {{"--bit-order", "1 0 3 2"}, 0x92},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"export", row, "--bits-per-output", "2", "-o", "-"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult run = runCli(args, dir);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, bytes({c.expected})) << ::testing::PrintToString(c.options);
    }
}

TEST_F(CliExportTest, InvertFlipsEveryBitBeforeTheExport) {
    RunResult run =
        runCli({"export", rom, "--bits-per-output", "2", "--endian", "little", "--invert", "-o", "-"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string expected = kLittleEndian;
    for (char& c : expected) c = static_cast<char>(~c);
    EXPECT_EQ(run.out, expected);
}

TEST_F(CliExportTest, DumpPrintsTheDumpLinesOfTheExport) {
    RunResult run = runCli({"dump", rom, "--bits-per-output", "2"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0000: 00 03 80 00 00 00 00 01" + std::string(8 * 3, ' ') + "  ........\n");
}

TEST_F(CliExportTest, DumpEndsEveryLineAndPadsOnlyTheLast) {
    // 18 bytes: 0x41 .. 0x50, 0x7E, 0x7F as a raw binary file, one byte per output word.
    std::string data;
    for (int c = 0x41; c <= 0x50; ++c) data.push_back(static_cast<char>(c));
    data += "\x7E\x7F";
    std::string raw = dir.write("bytes.bin", data);
    RunResult run = runCli({"dump", raw, "--bits-per-row", "8", "--bits-per-output", "1"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "0000: 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP\n"
              "0010: 7E 7F" +
                  std::string(14 * 3, ' ') + "  ~.\n");
}

TEST_F(CliExportTest, ReplacesAnExistingFileAndLeavesNoTemporaryFile) {
    std::string out = dir.write("rom.bin", "old content that is longer than the export");
    RunResult run = runCli({"export", rom, "--bits-per-output", "2", "-o", out}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(out), kBigEndian);
    std::vector<std::string> entries = dir.entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"rom.bin", "rom.txt"}));
}

TEST_F(CliExportTest, AFailedExportLeavesTheOldFileAlone) {
    std::string out = dir.write("rom.bin", "earlier work");
    RunResult run = runCli({"export", rom, "--bits-per-output", "0", "-o", out}, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(readFile(out), "earlier work");
    EXPECT_EQ(dir.entries().size(), 2u);
}

}  // namespace
