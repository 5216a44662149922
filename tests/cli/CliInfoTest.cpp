#include <gtest/gtest.h>

#include "CliRunner.h"

using namespace zandrel::clitest;

namespace {

class CliInfoTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(CliInfoTest, SummarisesBitsLayoutOptionsAndBytes) {
    // 20 bits in rows of 8, so the third row is partial.
    std::string rom = dir.write("rom.txt", "0101 1100\n1111 0000\n1010\n");
    RunResult run = runCli({"info", rom, "--endian", "little"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Input: " + rom +
                           "\n"
                           "InputFormat: txt\n"
                           "Bits: 20\n"
                           "Rows: 3\n"
                           "BitSizeX: 4\n"
                           "BitSizeY: 4\n"
                           "BitGap: 2\n"
                           "ColGap: 4\n"
                           "BitsPerRow: 8\n"
                           "BitsPerOutput: 4\n"
                           "OutputsPerRow: 2\n"
                           "ReverseOutputs: 0\n"
                           "ReverseWithinOutCol: 0\n"
                           "ROMLayout: 0\n"
                           "Endian: little\n"
                           "OutputBitOrder: 0 1\n"
                           "OutputBitOrderValid: yes\n"
                           "ExportBytes: 2\n");
}

TEST_F(CliInfoTest, ReportsAnInvalidOrderInsteadOfRefusingIt) {
    std::string rom = dir.write("rom.bin", std::string(8, '\0'));
    RunResult run = runCli({"info", rom, "--bit-order", "5 5"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(infoValue(run.out, "OutputsPerRow"), "32");
    EXPECT_EQ(infoValue(run.out, "OutputBitOrder").rfind("5 5 2 3 4 ", 0), 0u);
    EXPECT_EQ(infoValue(run.out, "OutputBitOrderValid"), "no");
    EXPECT_EQ(infoValue(run.out, "ExportBytes"), "8");
}

TEST_F(CliInfoTest, ShowsTheWholeOrderOfAWideLayout) {
    // 300 outputs need more than the 1023 characters of the project header's order text.
    std::string rom = dir.write("rom.bin", std::string(300 / 8 + 1, '\0'));
    RunResult run = runCli({"info", rom, "--bits-per-row", "300", "--bits-per-output", "1"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string order = infoValue(run.out, "OutputBitOrder");
    EXPECT_EQ(order.substr(order.size() - 11), "297 298 299");
    EXPECT_EQ(infoValue(run.out, "OutputBitOrderValid"), "yes");
}

TEST_F(CliInfoTest, FewerThanEightBitsHaveNoExportBytes) {
    std::string rom = dir.write("rom.txt", "0101\n");
    RunResult run = runCli({"info", rom}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(infoValue(run.out, "Bits"), "4");
    EXPECT_EQ(infoValue(run.out, "Rows"), "1");
    EXPECT_EQ(infoValue(run.out, "ExportBytes"), "0");
}

}  // namespace
