#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "FakeFeedback.h"
#include "TempDir.h"
#include "core/Document.h"
#include "core/Errors.h"

using namespace zandrel;
using namespace zandrel::testing;
using namespace std::string_literals;

namespace {

const FakeFeedback::Call kHeaderWarning =
    FakeFeedback::Message("The .bit project file header contains unreadable lines.", "WARNING");
const FakeFeedback::Call kDataError =
    FakeFeedback::Message("The .bit project file contains unreadable data.", "ERROR");

/// A header in the writer's form with the given layout numbers and cell count.
std::string header(int32_t bitsPerRow, int32_t bitsPerOutput, const std::string& order, int32_t count) {
    return "BitSizeX = 4\nBitSizeY = 4\nBitGap = 2\nColGap = 4\nBitsPerRow = " + std::to_string(bitsPerRow) +
           "\nBitsPerOutput = " + std::to_string(bitsPerOutput) +
           "\nReverseOutputs = 0\nReverseWithinOutCol = 0\nROMLayout = 0\nOutputBitOrder = " + order +
           "\nBinDataLen = " + std::to_string(count) + "\n\n";
}

class ProjectFileTest : public ::testing::Test {
protected:
    /// Loads `bytes` as a project file into `doc`; returns the result.
    int32_t load(const std::string& bytes) {
        WriteFile(path, bytes);
        return doc.LoadBitProject(path, edits, feedback);
    }

    std::vector<FakeFeedback::Call> captionThen(std::vector<FakeFeedback::Call> messages) const {
        messages.insert(messages.begin(), FakeFeedback::Caption("Zandrel: " + path));
        return messages;
    }

    TempDir dir;
    std::string path = dir.file("work.bit");
    Document doc;
    LayoutTexts edits;
    FakeFeedback feedback;
};

}  // namespace

TEST_F(ProjectFileTest, WritesTheHeaderLinesTheEmptyLineAndTheCells) {
    doc.replaceCells(8192);
    doc.Cells[1] = CELL_VALUE | CELL_SELECTED;
    LayoutTexts layout;
    layout.BitsPerRowEdit = "256";
    EXPECT_EQ(doc.SaveBitProject(path, layout, feedback), 8192);
    const std::string expectedHeader = header(256, 32, "0 1 2 3 4 5 6 7", 8192);
    const std::string written = ReadFile(path);
    ASSERT_EQ(written.size(), expectedHeader.size() + 8192);
    EXPECT_EQ(written.substr(0, expectedHeader.size()), expectedHeader);
    EXPECT_EQ(written[expectedHeader.size() + 1], '\x05');
    EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{FakeFeedback::Caption("Zandrel: " + path)});
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"work.bit"});  // no temporary file left
}

TEST_F(ProjectFileTest, RoundTripKeepsCellsFlagsLayoutAndOptions) {
    Document saved;
    saved.replaceCells(300);
    for (int i = 0; i < 300; i += 7) saved.Cells[static_cast<size_t>(i)] = CELL_VALUE;
    for (int i = 0; i < 300; i += 11) saved.Cells[static_cast<size_t>(i)] |= CELL_SELECTED;
    saved.Cells[299] = 0x85;
    saved.ReverseOutputs = 1;
    saved.ReverseWithinOutCol = 1;
    saved.ROMLayout = 1;
    for (int b = 0; b < 10; ++b) saved.OutputBitOrder[static_cast<size_t>(b)] = 9 - b;
    LayoutTexts layout{"3", "5", "1", "0", "30", "3"};
    ASSERT_EQ(saved.SaveBitProject(dir.file("work.bit"), layout, feedback), 300);

    doc.OutputBitOrder.fill(55);
    EXPECT_EQ(doc.LoadBitProject(path, edits, feedback), 300);
    EXPECT_EQ(doc.Cells, saved.Cells);
    EXPECT_EQ(doc.BinDataLen, 300);
    EXPECT_EQ(edits, layout);
    EXPECT_EQ(doc.ReverseOutputs, 1);
    EXPECT_EQ(doc.ReverseWithinOutCol, 1);
    EXPECT_EQ(doc.ROMLayout, 1);
    for (int b = 0; b < 10; ++b) EXPECT_EQ(doc.OutputBitOrder[static_cast<size_t>(b)], 9 - b);
    EXPECT_EQ(doc.OutputBitOrder[10], 0);  // the line feed after the last number
    EXPECT_EQ(doc.OutputBitOrder[11], 55);
    EXPECT_TRUE(feedback.messages().empty());
}

TEST_F(ProjectFileTest, WritesAndReadsTheWholeOrderOfManyOutputs) {
    Document saved;
    saved.replaceCells(16);
    for (int b = 0; b < 1024; ++b) saved.OutputBitOrder[static_cast<size_t>(b)] = 1023 - b;
    ASSERT_EQ(saved.SaveBitProject(path, LayoutTexts{"4", "4", "2", "4", "1024", "1"}, feedback), 16);
    doc.OutputBitOrder.fill(-1);
    ASSERT_EQ(doc.LoadBitProject(path, edits, feedback), 16);
    EXPECT_EQ(doc.OutputBitOrder, saved.OutputBitOrder);  // a line of 4 000 characters, read whole
    EXPECT_TRUE(feedback.messages().empty());
}

TEST_F(ProjectFileTest, HeaderLinesInAnyOrderAndTheLastOfTwoCounts) {
    EXPECT_EQ(
        load("BinDataLen = 2\nBitsPerRow = 64\nZoom = 3\nBitsPerRow = 16\n  BitGap =   -7\n\n\x01\x05tail"),
        2);
    EXPECT_EQ(edits.BitsPerRowEdit, "16");
    EXPECT_EQ(edits.BitGapEdit, "-7");
    EXPECT_EQ(doc.Cells, (std::vector<uint8_t>{1, 5}));
    EXPECT_EQ(feedback.calls, captionThen({}));
}

TEST_F(ProjectFileTest, UnreadableLinesWarnOncePerFile) {
    EXPECT_EQ(load("BitSizeX=4\nBitSizeY = abc\nnonsense\nBitGap = 3\nBinDataLen = 1\n\n\x01"), 1);
    EXPECT_EQ(feedback.calls, captionThen({kHeaderWarning}));
    EXPECT_EQ(edits.BitSizeXEdit, "4");  // the key "BitSizeX=4" is no known key
    EXPECT_EQ(edits.BitSizeYEdit, "4");  // a number that cannot be read is skipped
    EXPECT_EQ(edits.BitGapEdit, "3");
}

TEST_F(ProjectFileTest, RomLayoutTakesTheLowEightBits) {
    for (const auto& [number, value] : std::vector<std::pair<std::string, int>>{
             {"258", 2}, {"256", 0}, {"255", -1}, {"-1", -1}, {"1", 1}}) {
        FakeFeedback fresh;
        WriteFile(path, "ROMLayout = " + number + "\nBinDataLen = 1\n\n\x01");
        ASSERT_EQ(doc.LoadBitProject(path, edits, fresh), 1);
        EXPECT_EQ(doc.ROMLayout, value) << number;
    }
}

TEST_F(ProjectFileTest, OrderLineGivesItsNumbersAndAZeroAfterThem) {
    doc.OutputBitOrder.fill(9);
    EXPECT_EQ(load("OutputBitOrder = 3 2 1 0\nBinDataLen = 1\n\n\x01"), 1);
    EXPECT_EQ(std::vector<int32_t>(doc.OutputBitOrder.begin(), doc.OutputBitOrder.begin() + 6),
              (std::vector<int32_t>{3, 2, 1, 0, 0, 9}));
    EXPECT_EQ(feedback.calls, captionThen({}));
    // A line that ends right after the key hands over nothing.
    doc.OutputBitOrder.fill(9);
    EXPECT_EQ(load("OutputBitOrder\nBinDataLen = 1\n\n\x01"), 1);
    EXPECT_EQ(doc.OutputBitOrder[0], 9);
}

TEST_F(ProjectFileTest, BodiesThatCannotBeReadEndInTheDataError) {
    const std::vector<std::string> files = {
        "BitSizeX = 4\n\n\x01\x01",            // no BinDataLen
        "BinDataLen = 0\n\n\x01\x01",          // none
        "BinDataLen = -5\n\n\x01\x01",         // negative
        "BinDataLen = 3\n\n\x01\x01",          // more than the file holds
        "BinDataLen = 2147483647\n\n\x01",     // far more
        "BinDataLen = 2\n\x01\x01",            // no empty line: the body is read as header
        "BinDataLen = 2\r\n\r\n\x01\x01",      // the empty line is CR LF
        "BitsPerRow = 16\nBinDataLen = 2\n"s,  // no empty line at all
        ""s,                                   // nothing
    };
    for (const std::string& bytes : files) {
        FakeFeedback fresh;
        Document old;
        old.replaceCells(3);
        std::fill(old.Cells.begin(), old.Cells.end(), CELL_VALUE);
        WriteFile(path, bytes);
        LayoutTexts texts;
        EXPECT_EQ(old.LoadBitProject(path, texts, fresh), 0) << bytes;
        // The cells in use stay: a damaged project does not cost the ROM being worked on.
        EXPECT_EQ(old.BinDataLen, 3) << bytes;
        EXPECT_EQ(old.Cells, std::vector<uint8_t>(3, CELL_VALUE)) << bytes;
        ASSERT_FALSE(fresh.calls.empty());
        EXPECT_EQ(fresh.calls.back(), kDataError) << bytes;
        EXPECT_EQ(fresh.calls.front(), FakeFeedback::Caption("Zandrel: " + path));
    }
    // The header's values stay applied.
    EXPECT_EQ(load("BitsPerRow = 16\nBinDataLen = 9\n\n\x01"), 0);
    EXPECT_EQ(edits.BitsPerRowEdit, "16");
}

TEST_F(ProjectFileTest, CrLfLinesReadButACrLfEmptyLineWarns) {
    EXPECT_EQ(load("BitsPerRow = 8\r\nBinDataLen = 1\r\n\r\n\x01"), 0);
    EXPECT_EQ(edits.BitsPerRowEdit, "8");
    EXPECT_EQ(feedback.calls, captionThen({kHeaderWarning, kDataError}));
}

TEST_F(ProjectFileTest, LongHeaderLinesAreReadWhole) {
    // A key padded far beyond 1023 characters, then a line feed as character 1024 of a line.
    const std::string padded = "BitsPerRow = " + std::string(2000, '0') + "12\n";
    const std::string exact = "BitGap = " + std::string(1023 - 10, '0') + "5\n";
    ASSERT_EQ(exact.size(), 1024u);
    EXPECT_EQ(load(padded + exact + "BinDataLen = 1\n\n\x01"), 1);
    EXPECT_EQ(edits.BitsPerRowEdit, "12");
    EXPECT_EQ(edits.BitGapEdit, "5");
    EXPECT_EQ(feedback.calls, captionThen({}));
}

TEST_F(ProjectFileTest, FileThatCannotBeOpenedChangesNothing) {
    doc.replaceCells(4);
    for (const std::string& bad : {dir.file("missing.bit"), dir.path().string()}) {
        FakeFeedback fresh;
        EXPECT_EQ(doc.LoadBitProject(bad, edits, fresh), 0);
        EXPECT_EQ(fresh.calls, std::vector<FakeFeedback::Call>{FakeFeedback::Message(
                                   "Unable to open input binary file. Aborting.", "Error")});
        EXPECT_EQ(doc.BinDataLen, 4);
        EXPECT_EQ(doc.Cells.size(), 4u);
    }
}

TEST_F(ProjectFileTest, SaveWithoutCellsWritesNothing) {
    EXPECT_EQ(doc.SaveBitProject(path, edits, feedback), 0);
    EXPECT_TRUE(feedback.calls.empty());
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(ProjectFileTest, LayoutErrorLeavesTheOldFileAndCaption) {
    WriteFile(path, "old");
    doc.replaceCells(8);
    LayoutTexts broken;
    broken.BitsPerOutputEdit = "0";
    EXPECT_THROW(doc.SaveBitProject(path, broken, feedback), DivisionByZero);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_TRUE(feedback.calls.empty());
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"work.bit"});
}

TEST_F(ProjectFileTest, FileThatCannotBeCreated) {
    doc.replaceCells(8);
    EXPECT_EQ(doc.SaveBitProject(dir.file("no/such/dir/x.bit"), edits, feedback), 0);
    EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{FakeFeedback::Message(
                                  "Unable to open output binary file. Cannot save.", "Error")});
}

TEST_F(ProjectFileTest, FailedWriteKeepsTheEarlierFile) {
    WriteFile(path, "earlier work");
    doc.replaceCells(1 << 20);
    // Files may not grow past 64 KiB while this save runs: its writes fail part-way.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const int32_t result = doc.SaveBitProject(path, edits, feedback);
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(path), "earlier work");
    EXPECT_EQ(feedback.calls,
              std::vector<FakeFeedback::Call>{FakeFeedback::Message(
                  "Unable to write the project file. The earlier file is unchanged.", "Error")});
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"work.bit"});
}
