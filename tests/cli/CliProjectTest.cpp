#include <gtest/gtest.h>

#include "CliRunner.h"

using namespace zandrel::clitest;

namespace {

const std::string kShapedText = "0101 1100\n1111 0000\n";  // 16 bits, 8 per row, 4 per output

class CliProjectTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string rom = dir.write("rom.txt", kShapedText);
};

TEST_F(CliProjectTest, WritesTheHeaderAndTheCells) {
    RunResult run = runCli({"save-project", rom, "--bits-per-output", "2", "--col-gap", "$A",
                            "--reverse-within-col", "-o", dir.path("rom.bit")},
                           dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(dir.path("rom.bit")),
              "BitSizeX = 4\nBitSizeY = 4\nBitGap = 2\nColGap = 10\nBitsPerRow = 8\nBitsPerOutput = 2\n"
              "ReverseOutputs = 0\nReverseWithinOutCol = 1\nROMLayout = 0\nOutputBitOrder = 0 1 2 3\n"
              "BinDataLen = 16\n\n" +
                  bytes({0, 1, 0, 1, 1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0}));
    std::vector<std::string> entries = dir.entries();
    EXPECT_EQ(entries.size(), 2u) << "a temporary file was left behind";
}

TEST_F(CliProjectTest, DashWritesTheProjectToStdout) {
    RunResult toFile = runCli({"save-project", rom, "-o", dir.path("rom.bit")}, dir);
    RunResult toStdout = runCli({"save-project", rom, "-o", "-"}, dir);
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    ASSERT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, readFile(dir.path("rom.bit")));
    EXPECT_FALSE(fileExists(dir.path("-")));
}

TEST_F(CliProjectTest, CellsKeepTheirSelectionAndOtherFlags) {
    const std::string cells = bytes({0x85, 0x04, 0x01, 0x00, 0x05, 0x80, 0x01, 0x04});
    std::string project =
        dir.write("flags.bit", "BitsPerRow = 8\nBitsPerOutput = 1\nBinDataLen = 8\n\n" + cells);

    RunResult kept = runCli({"save-project", project, "-o", dir.path("kept.bit")}, dir);
    ASSERT_EQ(kept.status, 0) << kept.err;
    std::string keptFile = readFile(dir.path("kept.bit"));
    EXPECT_EQ(keptFile.substr(keptFile.size() - 8), cells);

    // Inverting flips only the value flag.
    RunResult inverted = runCli({"save-project", project, "--invert", "-o", dir.path("inverted.bit")}, dir);
    ASSERT_EQ(inverted.status, 0) << inverted.err;
    std::string invertedFile = readFile(dir.path("inverted.bit"));
    EXPECT_EQ(invertedFile.substr(invertedFile.size() - 8),
              bytes({0x84, 0x05, 0x00, 0x01, 0x04, 0x81, 0x00, 0x05}));

    // The export counts only the value flag: 1 0 1 0 1 0 1 0, least significant bit first.
    RunResult exported = runCli({"export", project, "-o", "-"}, dir);
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, bytes({0x55}));
}

TEST_F(CliProjectTest, AProjectExportsAsTheInputItWasSavedFrom) {
    const std::vector<std::string> options = {"--bits-per-output", "2", "--reverse-outputs", "--bit-order",
                                              "1 0 3 2"};
    std::vector<std::string> save{"save-project", rom, "-o", dir.path("rom.bit")};
    save.insert(save.end(), options.begin(), options.end());
    ASSERT_EQ(runCli(save, dir).status, 0);

    std::vector<std::string> fromText{"export", rom, "-o", "-"};
    fromText.insert(fromText.end(), options.begin(), options.end());
    RunResult expected = runCli(fromText, dir);
    RunResult fromProject = runCli({"export", dir.path("rom.bit"), "-o", "-"}, dir);
    ASSERT_EQ(expected.status, 0) << expected.err;
    ASSERT_EQ(fromProject.status, 0) << fromProject.err;
    EXPECT_EQ(fromProject.out, expected.out);
    EXPECT_EQ(fromProject.out.size(), 2u);
}

TEST_F(CliProjectTest, NoCellsAreNoProject) {
    std::string empty = dir.write("empty.bin", "");
    RunResult run = runCli({"save-project", empty, "-o", dir.path("empty.bit")}, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "ERROR: No data to save.\n");
    EXPECT_FALSE(fileExists(dir.path("empty.bit")));
}

TEST_F(CliProjectTest, ProjectHeaderWarningsDoNotChangeTheExitStatus) {
    std::string project =
        dir.write("odd.bit", "BitSizeX=4\nBitsPerRow = 8\nBitsPerOutput = 8\nBinDataLen = 8\n\n" +
                                 bytes({1, 1, 1, 1, 0, 0, 0, 0}));
    RunResult run = runCli({"export", project, "-o", "-"}, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "WARNING: The .bit project file header contains unreadable lines.\n");
    EXPECT_EQ(run.out, bytes({0x0F}));
}

}  // namespace
