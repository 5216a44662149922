#include <gtest/gtest.h>

#include "CliRunner.h"

using namespace zandrel::clitest;

namespace {

const std::string kShapedText = "0101 1100\n1111 0000\n";  // 16 bits, 8 per row, 4 per output

class CliErrorsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string rom = dir.write("rom.txt", kShapedText);
};

TEST_F(CliErrorsTest, UsageErrorsExitWithOne) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"convert", rom},
        {"export", rom},              // no -o
        {"save-project", rom},        // no -o
        {"export", "-o", "out.bin"},  // no input
        {"info", rom, "--bogus"},
        {"info", rom, "--bits-per-row", "abc"},
        {"info", rom, "--bits-per-row", "12 "},         // nothing may follow the number
        {"info", rom, "--bits-per-row", "2147483648"},  // beyond 32 bits
        {"info", rom, "--bits-per-output=-$1"},         // no sign before the prefix
        {"info", rom, "--bits-per-output", ""},
        {"info", rom, "--endian", "middle"},
        {"info", rom, "--input-format", "png"},
        {"info", rom, "extra"},
    };
    for (const auto& args : cases) {
        RunResult run = runCli(args, dir);
        EXPECT_EQ(run.status, 1) << ::testing::PrintToString(args);
        EXPECT_EQ(run.out, "") << ::testing::PrintToString(args);
        EXPECT_NE(run.err, "") << ::testing::PrintToString(args);
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"rom.txt"});
}

TEST_F(CliErrorsTest, HelpExitsWithZero) {
    RunResult run = runCli({"--help"}, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("export"), std::string::npos);
}

TEST_F(CliErrorsTest, AnInputThatCannotBeOpenedIsReportedInTheLoadersWords) {
    struct Case {
        std::string name;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"missing.bin", "Error: Unable to open input binary file. Aborting.\n"},
        {"missing.txt", "Error: Unable to open input text file. Aborting.\n"},
        {"missing.bit", "Error: Unable to open input binary file. Aborting.\n"},
    };
    for (const Case& c : cases) {
        const std::vector<std::vector<std::string>> runs = {
            {"export", dir.path(c.name), "-o", dir.path("out")},
            {"save-project", dir.path(c.name), "-o", dir.path("out")},
            {"dump", dir.path(c.name)},
            {"info", dir.path(c.name)},
        };
        for (const auto& args : runs) {
            RunResult run = runCli(args, dir);
            EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
            EXPECT_EQ(run.err, c.message) << ::testing::PrintToString(args);
            EXPECT_EQ(run.out, "");
        }
    }
    EXPECT_FALSE(fileExists(dir.path("out")));
}

TEST_F(CliErrorsTest, AProjectWithoutItsCellsIsADataError) {
    std::string project = dir.write("short.bit", "BitsPerRow = 8\nBinDataLen = 16\n\n\x01\x00\x01");
    RunResult run = runCli({"info", project}, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "ERROR: The .bit project file contains unreadable data.\n");
}

TEST_F(CliErrorsTest, AnOutputThatCannotBeCreatedIsADataError) {
    RunResult exported = runCli({"export", rom, "-o", dir.path("no/such/dir/rom.bin")}, dir);
    EXPECT_EQ(exported.status, 2);
    EXPECT_EQ(exported.err, "ERROR: Unable to open .bin file to write!\n");

    RunResult saved = runCli({"save-project", rom, "-o", dir.path("no/such/dir/rom.bit")}, dir);
    EXPECT_EQ(saved.status, 2);
    EXPECT_EQ(saved.err, "Error: Unable to open output binary file. Cannot save.\n");
}

TEST_F(CliErrorsTest, FewerThanEightBitsHaveNoDataToExport) {
    for (const std::string& content : {std::string("0101010\n"), std::string("")}) {
        std::string small = dir.write("small.txt", content);
        RunResult exported =
            runCli({"export", small, "--bits-per-row", "8", "-o", dir.path("small.bin")}, dir);
        EXPECT_EQ(exported.status, 2);
        EXPECT_EQ(exported.err, "ERROR: No data to export.\n");
        EXPECT_FALSE(fileExists(dir.path("small.bin")));

        RunResult dumped = runCli({"dump", small, "--bits-per-row", "8"}, dir);
        EXPECT_EQ(dumped.status, 2);
        EXPECT_EQ(dumped.out, "");
        EXPECT_EQ(dumped.err, "ERROR: No data to export.\n");
    }
}

TEST_F(CliErrorsTest, ALayoutValueOfZeroIsDivisionByZero) {
    const std::vector<std::vector<std::string>> cases = {
        {"export", rom, "--bits-per-output", "0", "-o", "-"},
        {"dump", rom, "--bits-per-output", "0"},
        {"info", rom, "--bits-per-output", "0"},
        {"save-project", rom, "--bits-per-output", "0", "-o", dir.path("rom.bit")},
        // A text without a line end after its bits sets the bits per row to 0.
        {"export", dir.write("flat.txt", "0101010101010101"), "-o", "-"},
    };
    for (const auto& args : cases) {
        RunResult run = runCli(args, dir);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(run.err, "Error: Division by zero.\n") << ::testing::PrintToString(args);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(fileExists(dir.path("rom.bit")));
}

TEST_F(CliErrorsTest, AnInvalidOrderIsRefusedUnlessAllowed) {
    // 8 bits per row and 2 per output: 4 outputs, and 0 0 1 2 lacks output 3.
    const std::vector<std::string> base = {rom, "--bits-per-output", "2", "--bit-order", "0 0 1 2"};
    for (const char* command : {"export", "dump", "save-project"}) {
        std::vector<std::string> args{command};
        args.insert(args.end(), base.begin(), base.end());
        if (std::string(command) != "dump") args.insert(args.end(), {"-o", "-"});
        RunResult refused = runCli(args, dir);
        EXPECT_EQ(refused.status, 2) << command;
        EXPECT_EQ(refused.out, "") << command;
        EXPECT_EQ(refused.err.rfind("ERROR: The Output bit order is not correct!\n", 0), 0u) << refused.err;
        EXPECT_NE(refused.err.find("0 .. 3"), std::string::npos) << refused.err;

        args.push_back("--allow-invalid-order");
        RunResult allowed = runCli(args, dir);
        EXPECT_EQ(allowed.status, 0) << command << allowed.err;
        EXPECT_NE(allowed.out, "") << command;
    }
}

TEST_F(CliErrorsTest, AnInvalidOrderFromAProjectIsRefusedToo) {
    std::string project = dir.write("rom.bit",
                                    "BitsPerRow = 8\nBitsPerOutput = 2\nOutputBitOrder = 0 1 2 4\n"
                                    "BinDataLen = 8\n\n" +
                                        bytes({1, 0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(runCli({"export", project, "-o", "-"}, dir).status, 2);
    RunResult allowed = runCli({"export", project, "--allow-invalid-order", "-o", "-"}, dir);
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_EQ(allowed.out.size(), 1u);
}

TEST_F(CliErrorsTest, LayoutsOutsideTheExportAreRefusedWithoutOutput) {
    std::string wide = dir.write("wide.bin", std::string(512, '\x55'));  // 4096 bits
    const std::vector<std::vector<std::string>> cases = {
        {"--bits-per-row", "-8", "--bits-per-output", "2"},
        {"--bits-per-row", "8", "--bits-per-output", "-2"},
        {"--bits-per-row", "4096", "--bits-per-output", "1"},  // 4096 outputs
        {"--bits-per-row", "4096", "--bits-per-output", "1", "--allow-invalid-order"},
    };
    for (const auto& options : cases) {
        std::vector<std::string> args{"export", wide, "-o", dir.path("wide.out")};
        args.insert(args.end(), options.begin(), options.end());
        RunResult run = runCli(args, dir);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(options);
        // The layout is the fault named, in the export's own words, not the order.
        EXPECT_EQ(run.err.rfind("Error: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find("bit order"), std::string::npos) << run.err;
        EXPECT_FALSE(fileExists(dir.path("wide.out")));
    }
}

}  // namespace
