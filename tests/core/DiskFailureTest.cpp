// Project saves onto disks that fail, and loads of files that are not what the dialog showed:
// each failure is reported in the program's words, the earlier file stays byte for byte with no
// temporary file beside it, and a load that is refused keeps the cells in use.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "DiskFailureSupport.h"
#include "FakeFeedback.h"
#include "TempDir.h"
#include "core/AtomicFile.h"
#include "core/Document.h"

using namespace zandrel;
using namespace zandrel::testing;
namespace fs = std::filesystem;

namespace {

const FakeFeedback::Call kCannotCreate =
    FakeFeedback::Message("Unable to open output binary file. Cannot save.", "Error");
const FakeFeedback::Call kCannotWrite =
    FakeFeedback::Message("Unable to write the project file. The earlier file is unchanged.", "Error");
const FakeFeedback::Call kUnreadableData =
    FakeFeedback::Message("The .bit project file contains unreadable data.", "ERROR");

/// A document holding `count` cells of values and selections in a pattern a load would not give.
Document PatternDocument(int32_t count) {
    Document doc;
    doc.replaceCells(count);
    for (size_t i = 0; i < doc.Cells.size(); ++i)
        doc.Cells[i] = static_cast<uint8_t>((i % 3 == 0 ? CELL_VALUE : 0) | (i % 5 == 1 ? CELL_SELECTED : 0));
    return doc;
}

/// The project file that `doc` saves, written into a scratch folder and read back.
std::string SavedProject(Document& doc) {
    TempDir scratch;
    FakeFeedback ignored;
    doc.SaveBitProject(scratch.file("p.bit"), LayoutTexts{}, ignored);
    return ReadFile(scratch.file("p.bit"));
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// ---- The read-only rule of the safe-replacement writer -------------------------------------

TEST(ReadOnlyTargetTest, AFileWithoutAnyWriteBitIsNotReplacedEvenByTheSuperuser) {
    TempDir dir;
    const std::string target = dir.file("kept.bin");
    for (const unsigned mode : {0444u, 0400u, 0555u, 0000u}) {
        WriteFile(target, "earlier work");
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        AtomicFile file(target);
        EXPECT_FALSE(file.isOpen()) << std::oct << mode;
        EXPECT_EQ(file.failure(), AtomicFile::Failure::Create);
        EXPECT_EQ(file.errorNumber(), EACCES);
        EXPECT_EQ(file.error(), "cannot replace the read-only file " + target + ": Permission denied");
        EXPECT_FALSE(file.write("new", 3));
        EXPECT_FALSE(file.commit());
        EXPECT_EQ(PermissionsOf(target), mode);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"kept.bin"});
        ASSERT_EQ(::chmod(target.c_str(), 0644), 0);  // so that a user other than root may read it
        EXPECT_EQ(ReadFile(target), "earlier work") << std::oct << mode;
    }

    // Reached through a link, it is the file behind the link that counts.
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    ASSERT_EQ(::symlink(target.c_str(), dir.file("link.bin").c_str()), 0);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir.file("link.bin"), "new", 3, &error));
    EXPECT_EQ(error, "cannot replace the read-only file " + target + ": Permission denied");
    EXPECT_EQ(ReadFile(target), "earlier work");
    EXPECT_TRUE(fs::is_symlink(dir.file("link.bin")));
    EXPECT_EQ(Sorted(dir.entries()), (std::vector<std::string>{"kept.bin", "link.bin"}));
}

TEST(ReadOnlyTargetTest, AnyWriteBitTheUserHoldsLetsTheFileBeReplaced) {
    TempDir dir;
    const std::string target = dir.file("work.bin");
    for (const unsigned mode : {0644u, 0600u, 0200u}) {
        WriteFile(target, "earlier work");
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        std::string error;
        EXPECT_TRUE(WriteFileAtomically(target, "new", 3, &error)) << std::oct << mode << ": " << error;
        EXPECT_EQ(PermissionsOf(target), mode);
        ASSERT_EQ(::chmod(target.c_str(), 0644), 0);
        EXPECT_EQ(ReadFile(target), "new");
    }
}

// Another user's file with a write bit only for its owner: the folder lets anyone rename over
// it, but this user may not write the file, so it is not replaced.
TEST(ReadOnlyTargetTest, AFileThisUserMayNotWriteIsNotReplacedThroughAWritableFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to stage another user's file";
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const std::string target = dir.file("theirs.bin");
    WriteFile(target, "their work");
    ASSERT_EQ(::chmod(target.c_str(), 0644), 0);

    constexpr uid_t kNobody = 65534;
    ASSERT_EQ(::seteuid(kNobody), 0);
    std::string error;
    const bool replaced = WriteFileAtomically(target, "new", 3, &error);
    ASSERT_EQ(::seteuid(0), 0);

    EXPECT_FALSE(replaced);
    EXPECT_EQ(error, "cannot replace the read-only file " + target + ": Permission denied");
    EXPECT_EQ(ReadFile(target), "their work");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"theirs.bin"});
}

// ---- Project saves ---------------------------------------------------------------------------

class ProjectSaveFailureTest : public ::testing::Test {
protected:
    /// Saves `doc` to `path`; returns the result, with the calls in `feedback`.
    int32_t save(const std::string& path) {
        feedback = FakeFeedback();
        return doc.SaveBitProject(path, edits, feedback);
    }

    Document doc = PatternDocument(64 * 1024);
    LayoutTexts edits;
    FakeFeedback feedback;
    const std::string earlier = EarlierWork(3000);
};

TEST_F(ProjectSaveFailureTest, AReadOnlyFolderKeepsTheEarlierFile) {
    ScratchMount disk(1 << 20);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNotMounted();
    WriteFile(disk.file("work.bit"), earlier);
    ASSERT_TRUE(disk.makeReadOnly()) << disk.whyNotMounted();

    for (const char* name : {"work.bit", "new.bit"}) {
        EXPECT_EQ(save(disk.file(name)), 0) << name;
        EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{kCannotCreate})
            << name << ": no caption either";
    }
    EXPECT_EQ(ReadFile(disk.file("work.bit")), earlier);
    EXPECT_EQ(disk.entries(), std::vector<std::string>{"work.bit"});
}

TEST_F(ProjectSaveFailureTest, AReadOnlyFileIsKeptUntilItsWriteBitIsBack) {
    TempDir dir;
    const std::string path = dir.file("work.bit");
    WriteFile(path, earlier);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::symlink(path.c_str(), dir.file("link.bit").c_str()), 0);

    for (const std::string& target : {path, dir.file("link.bit")}) {
        EXPECT_EQ(save(target), 0) << target;
        EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{kCannotCreate}) << target;
        EXPECT_EQ(ReadFile(path), earlier);
        EXPECT_EQ(PermissionsOf(path), 0444u);
    }
    EXPECT_EQ(Sorted(dir.entries()), (std::vector<std::string>{"link.bit", "work.bit"}));

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(save(path), doc.BinDataLen);
    EXPECT_EQ(ReadFile(path), SavedProject(doc));
}

TEST_F(ProjectSaveFailureTest, AFileSystemThatFillsUpPartWayKeepsTheEarlierFile) {
    ScratchMount disk(64 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNotMounted();
    const std::string path = disk.file("work.bit");
    const std::string bigEarlier = EarlierWork(40 * 1024);
    WriteFile(path, bigEarlier);
    const uint64_t freeBefore = disk.freeBytes();
    ASSERT_GT(SavedProject(doc).size(), freeBefore) << "the save must not fit";
    ASSERT_GT(freeBefore, 4096u) << "the header and some cells must fit";

    EXPECT_EQ(save(path), 0);
    EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{kCannotWrite});
    EXPECT_EQ(ReadFile(path), bigEarlier);
    EXPECT_EQ(disk.entries(), std::vector<std::string>{"work.bit"});
    EXPECT_EQ(disk.freeBytes(), freeBefore) << "the part written is given back";

    // A project that fits in the space left replaces the file as usual.
    Document small = PatternDocument(4000);
    FakeFeedback fine;
    EXPECT_EQ(small.SaveBitProject(path, edits, fine), 4000);
    EXPECT_EQ(fine.calls, std::vector<FakeFeedback::Call>{FakeFeedback::Caption("Zandrel: " + path)});
    EXPECT_EQ(ReadFile(path), SavedProject(small));
}

// The limit falls before the first byte, inside the header, at the first cell, inside the cells
// and one byte short of the end: every write step's failure has to be noticed.
TEST_F(ProjectSaveFailureTest, AFileSizeLimitAnywhereInTheFileKeepsTheEarlierFile) {
    TempDir dir;
    const std::string path = dir.file("work.bit");
    const std::string whole = SavedProject(doc);
    const uint64_t headerSize = whole.find("\n\n") + 2;
    for (const uint64_t limit :
         {uint64_t{0}, uint64_t{100}, headerSize, headerSize + 4096 + 7, uint64_t{whole.size() - 1}}) {
        WriteFile(path, earlier);
        int32_t result = -1;
        {
            FileSizeLimit limited(limit);
            ASSERT_TRUE(limited.active());
            result = save(path);
        }
        EXPECT_EQ(result, 0) << "limit " << limit;
        EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{kCannotWrite}) << "limit " << limit;
        EXPECT_EQ(ReadFile(path), earlier) << "limit " << limit;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"work.bit"}) << "limit " << limit;
    }
    {
        FileSizeLimit exact(whole.size());
        save(path);
    }
    EXPECT_EQ(ReadFile(path), whole) << "a limit of exactly the file's size lets it be written";
}

// ---- Loads of files that are not what the dialog showed ----------------------------------------

class LoadFailureTest : public ::testing::Test {
protected:
    enum class Loader { Binary, Text, Project };

    int32_t load(Loader loader, const std::string& path) {
        switch (loader) {
            case Loader::Binary:
                return doc.LoadBinFile(path, feedback);
            case Loader::Text:
                return doc.LoadTextFile(path, edits, feedback);
            case Loader::Project:
                return doc.LoadBitProject(path, edits, feedback);
        }
        return -1;
    }

    void SetUp() override { reset(); }

    /// The cells in use before each load: a pattern, with fewer in use than are held.
    void reset() {
        doc = PatternDocument(80);
        doc.BinDataLen = 77;
        edits.BitsPerRowEdit = "7";
        edits.BitsPerOutputEdit = "3";
        feedback = FakeFeedback();
    }

    /// Expects the document and the edits exactly as SetUp left them, and only `message` shown.
    void expectNothingChanged(const FakeFeedback::Call& message, const std::string& what) const {
        EXPECT_EQ(feedback.calls, std::vector<FakeFeedback::Call>{message}) << what << ": no caption either";
        EXPECT_EQ(doc.BinDataLen, 77) << what;
        EXPECT_EQ(doc.Cells, PatternDocument(80).Cells) << what;
        EXPECT_EQ(edits.BitsPerRowEdit, "7") << what;
        EXPECT_EQ(edits.BitsPerOutputEdit, "3") << what;
    }

    TempDir dir;
    Document doc;
    LayoutTexts edits;
    FakeFeedback feedback;
};

TEST_F(LoadFailureTest, APathThatVanishedOrIsAFolderChangesNothing) {
    const FakeFeedback::Call binary =
        FakeFeedback::Message("Unable to open input binary file. Aborting.", "Error");
    const FakeFeedback::Call text =
        FakeFeedback::Message("Unable to open input text file. Aborting.", "Error");
    // Chosen in the dialog, then deleted before the load.
    for (const char* name : {"gone.bin", "gone.txt", "gone.bit"}) WriteFile(dir.file(name), "0101\n");
    for (const char* name : {"gone.bin", "gone.txt", "gone.bit"}) fs::remove(dir.file(name));
    for (const char* name : {"folder.bin", "folder.txt", "folder.bit"}) fs::create_directory(dir.file(name));
    fs::create_directory(dir.file("full.bit"));
    WriteFile(dir.file("full.bit/inside"), "BinDataLen = 1\n\n\x01");

    const struct {
        Loader loader;
        const char* name;
        const FakeFeedback::Call& message;
    } cases[] = {
        {Loader::Binary, "gone.bin", binary},   {Loader::Text, "gone.txt", text},
        {Loader::Project, "gone.bit", binary},  {Loader::Binary, "folder.bin", binary},
        {Loader::Text, "folder.txt", text},     {Loader::Project, "folder.bit", binary},
        {Loader::Project, "full.bit", binary},  {Loader::Binary, "no-folder/x.bin", binary},
        {Loader::Text, "gone.txt/x.txt", text}, {Loader::Project, "folder.bin/x.bit", binary},
    };
    for (const auto& c : cases) {
        reset();
        EXPECT_EQ(load(c.loader, dir.file(c.name)), 0) << c.name;
        expectNothingChanged(c.message, c.name);
    }
}

// Sparse files: they take no space, and a loader that read them would need gigabytes of cells.
TEST_F(LoadFailureTest, FilesTooLargeToHoldAreRefusedBeforeAnythingIsRead) {
    const struct {
        Loader loader;
        const char* name;
        int64_t size;
        const char* message;
    } cases[] = {
        {Loader::Binary, "huge.bin", int64_t{1} << 28,
         "The file is too large: at most 268435455 bytes can be loaded."},
        {Loader::Binary, "huger.bin", int64_t{1} << 33,
         "The file is too large: at most 268435455 bytes can be loaded."},
        {Loader::Text, "huge.txt", int64_t{1} << 31,
         "The file is too large: at most 2147483647 bytes can be loaded."},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file(c.name);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, c.size), 0);
        ::close(fd);
        reset();
        const uint8_t* const cellsBefore = doc.Cells.data();
        EXPECT_EQ(load(c.loader, path), 0) << c.name;
        expectNothingChanged(FakeFeedback::Message(c.message, "Error"), c.name);
        EXPECT_EQ(doc.Cells.data(), cellsBefore) << c.name << ": the cells were not even reallocated";
        fs::remove(path);
    }
}

// A project cut short: its header is read (and names the file in the caption) before the body is
// found missing, so the load ends in the data error with no cells, never with a short body read
// as if it were whole, and without allocating the cells the header promised.
TEST_F(LoadFailureTest, TruncatedProjectsEndInTheDataErrorWithoutUsingTheShortBody) {
    Document saved = PatternDocument(4096);
    const std::string whole = SavedProject(saved);
    const size_t headerSize = whole.find("\n\n") + 2;
    const std::string header = whole.substr(0, headerSize);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"one byte short", whole.substr(0, whole.size() - 1)},
        {"half the body", whole.substr(0, headerSize + 2048)},
        {"header only", header},
        {"no empty line", whole.substr(0, headerSize - 1)},
        {"cut inside the header", whole.substr(0, 30)},
        {"empty", ""},
        {"a count far beyond the file", "BinDataLen = 2147483647\n\n" + std::string(16, '\x01')},
        {"a count beyond a large file", "BinDataLen = 1000000\n\n" + std::string(999999, '\x01')},
    };
    const std::string path = dir.file("cut.bit");
    for (const auto& c : cases) {
        WriteFile(path, c.bytes);
        reset();
        EXPECT_EQ(load(Loader::Project, path), 0) << c.what;
        EXPECT_EQ(feedback.calls, (std::vector<FakeFeedback::Call>{FakeFeedback::Caption("Zandrel: " + path),
                                                                   kUnreadableData}))
            << c.what;
        // The cells in use stay, and no buffer for the promised count was made.
        EXPECT_EQ(doc.BinDataLen, 77) << c.what;
        EXPECT_EQ(doc.Cells, PatternDocument(80).Cells) << c.what;
        EXPECT_LT(doc.Cells.capacity(), size_t{1} << 20) << c.what;
        EXPECT_EQ(ReadFile(path), c.bytes) << c.what << ": a load never writes";
    }
    // The same file whole loads.
    WriteFile(path, whole);
    EXPECT_EQ(load(Loader::Project, path), 4096);
    EXPECT_EQ(doc.Cells, saved.Cells);
}
