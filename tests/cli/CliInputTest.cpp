#include <gtest/gtest.h>

#include "CliRunner.h"

using namespace zandrel::clitest;

namespace {

// 16 bits in two rows of 8, with output groups of 4 marked by the first space.
const std::string kShapedText = "0101 1100\n1111 0000\n";

class CliInputTest : public ::testing::Test {
protected:
    RunResult info(std::vector<std::string> args) {
        args.insert(args.begin(), "info");
        RunResult run = runCli(args, dir);
        EXPECT_EQ(run.status, 0) << run.err;
        return run;
    }

    TempDir dir;
};

TEST_F(CliInputTest, TheLastFourCharactersChooseTheLoader) {
    struct Case {
        std::string name;
        std::string format;
        std::string bits;
    };
    // The same 20-byte text: read as text it is 16 bits; anything but ".txt" exactly is raw binary.
    const std::vector<Case> cases = {
        {"rom.txt", "txt", "16"},  {"rom.TXT", "bin", "160"}, {"rom.Txt", "bin", "160"},
        {"rom.bin", "bin", "160"}, {"romtxt", "bin", "160"},  {"rom.txt.bak", "bin", "160"},
        {"a.b.txt", "txt", "16"},
    };
    for (const Case& c : cases) {
        std::string input = dir.write(c.name, kShapedText);
        RunResult run = info({input});
        EXPECT_EQ(infoValue(run.out, "InputFormat"), c.format) << c.name;
        EXPECT_EQ(infoValue(run.out, "Bits"), c.bits) << c.name;
    }
}

TEST_F(CliInputTest, InputFormatOverridesTheName) {
    std::string input = dir.write("rom.dat", kShapedText);
    RunResult asText = info({input, "--input-format", "txt"});
    EXPECT_EQ(infoValue(asText.out, "Bits"), "16");
    std::string named = dir.write("rom.txt", kShapedText);
    RunResult asBinary = info({named, "--input-format", "bin"});
    EXPECT_EQ(infoValue(asBinary.out, "Bits"), "160");
}

TEST_F(CliInputTest, ABinaryFileKeepsTheStartLayout) {
    RunResult run = info({dir.write("rom.bin", std::string(16, '\0'))});
    EXPECT_EQ(infoValue(run.out, "BitSizeX"), "4");
    EXPECT_EQ(infoValue(run.out, "BitSizeY"), "4");
    EXPECT_EQ(infoValue(run.out, "BitGap"), "2");
    EXPECT_EQ(infoValue(run.out, "ColGap"), "4");
    EXPECT_EQ(infoValue(run.out, "BitsPerRow"), "1024");
    EXPECT_EQ(infoValue(run.out, "BitsPerOutput"), "32");
    EXPECT_EQ(infoValue(run.out, "Endian"), "big");
}

TEST_F(CliInputTest, TheTextBringsItsShapeAndOptionsOverrideIt) {
    std::string input = dir.write("rom.txt", kShapedText);
    RunResult shaped = info({input});
    EXPECT_EQ(infoValue(shaped.out, "BitsPerRow"), "8");
    EXPECT_EQ(infoValue(shaped.out, "BitsPerOutput"), "4");

    RunResult overridden = info({input, "--bits-per-row", "16", "--bits-per-output", "$2", "--bit-size-x",
                                 " 7", "--bit-size-y", "0x9", "--bit-gap", "-1", "--col-gap", "x10"});
    EXPECT_EQ(infoValue(overridden.out, "BitsPerRow"), "16");
    EXPECT_EQ(infoValue(overridden.out, "BitsPerOutput"), "2");
    EXPECT_EQ(infoValue(overridden.out, "OutputsPerRow"), "8");
    EXPECT_EQ(infoValue(overridden.out, "BitSizeX"), "7");
    EXPECT_EQ(infoValue(overridden.out, "BitSizeY"), "9");
    EXPECT_EQ(infoValue(overridden.out, "BitGap"), "-1");
    EXPECT_EQ(infoValue(overridden.out, "ColGap"), "16");
}

TEST_F(CliInputTest, ATextWithoutSpaceKeepsTheStartBitsPerOutput) {
    RunResult run = info({dir.write("rom.txt", "01010101\n")});
    EXPECT_EQ(infoValue(run.out, "BitsPerRow"), "8");
    EXPECT_EQ(infoValue(run.out, "BitsPerOutput"), "32");
    EXPECT_EQ(infoValue(run.out, "OutputsPerRow"), "0");
    // The export divides by the 0 outputs per row.
    RunResult exported = runCli({"export", dir.path("rom.txt"), "-o", "-"}, dir);
    EXPECT_EQ(exported.status, 2);
    EXPECT_EQ(exported.err, "Error: Division by zero.\n");
}

TEST_F(CliInputTest, TheProjectBringsItsHeaderAndOptionsOverrideIt) {
    std::string text = dir.write("rom.txt", kShapedText);
    RunResult saved = runCli({"save-project", text, "--bits-per-output", "2", "--bit-size-x", "6",
                              "--reverse-outputs", "--bit-order", "3 2 1 0", "-o", dir.path("rom.bit")},
                             dir);
    ASSERT_EQ(saved.status, 0) << saved.err;

    RunResult fromProject = info({dir.path("rom.bit")});
    EXPECT_EQ(infoValue(fromProject.out, "InputFormat"), "bit");
    EXPECT_EQ(infoValue(fromProject.out, "Bits"), "16");
    EXPECT_EQ(infoValue(fromProject.out, "BitSizeX"), "6");
    EXPECT_EQ(infoValue(fromProject.out, "BitsPerRow"), "8");
    EXPECT_EQ(infoValue(fromProject.out, "BitsPerOutput"), "2");
    EXPECT_EQ(infoValue(fromProject.out, "ReverseOutputs"), "1");
    EXPECT_EQ(infoValue(fromProject.out, "ReverseWithinOutCol"), "0");
    EXPECT_EQ(infoValue(fromProject.out, "OutputBitOrder"), "3 2 1 0");

    RunResult overridden =
        info({dir.path("rom.bit"), "--bits-per-output", "4", "--reverse-within-col", "--bit-order", "1 0"});
    EXPECT_EQ(infoValue(overridden.out, "BitSizeX"), "6");
    EXPECT_EQ(infoValue(overridden.out, "BitsPerOutput"), "4");
    EXPECT_EQ(infoValue(overridden.out, "ReverseOutputs"), "1");
    EXPECT_EQ(infoValue(overridden.out, "ReverseWithinOutCol"), "1");
    EXPECT_EQ(infoValue(overridden.out, "OutputBitOrder"), "1 0");
}

TEST_F(CliInputTest, UnknownBitsAreWarnedAboutButTheRunSucceeds) {
    RunResult run = info({dir.write("rom.txt", "1?0?1\n")});
    EXPECT_EQ(infoValue(run.out, "Bits"), "3");
    const std::string warning =
        "WARNING: The input file contains '?' characters.\nLoaded data may be corrupt because of unknown "
        "bits.\n";
    EXPECT_EQ(run.err, warning + warning);
}

}  // namespace
