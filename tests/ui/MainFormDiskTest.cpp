// The main window's save and open commands on disks that fail: "Save project", "Save .bin" and
// "Save image" each report the failure in the program's words and keep the earlier file byte for
// byte, with no temporary file beside it; a failed open keeps the cells on screen.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QPushButton>
#include <string>
#include <vector>

#include "MainFormFixture.h"
#include "tests/core/DiskFailureSupport.h"
#include "tests/core/TempDir.h"
#include "ui/ErrorReport.h"

using namespace zandrel;
using namespace zandrel::testing;

namespace {

/// A box the command is expected to show; `whole` false: its text need only start with `text`.
struct Expected {
    std::string kind;
    std::string text;
    std::string caption;
    bool whole = true;
};

Expected Message(std::string text, std::string caption) {
    return {"message", std::move(text), std::move(caption)};
}
Expected ErrorBox(std::string text, bool whole = true) {
    return {"error", std::move(text), kApplicationTitle, whole};
}

::testing::AssertionResult Shows(const std::vector<FakeDialogs::Box>& boxes, const Expected& expected) {
    if (boxes.size() != 1) {
        auto failure = ::testing::AssertionFailure() << boxes.size() << " boxes instead of one:";
        for (const FakeDialogs::Box& box : boxes) failure << " [" << box.kind << ": " << box.text << "]";
        return failure;
    }
    const FakeDialogs::Box& box = boxes.front();
    const bool textMatches =
        expected.whole ? box.text == expected.text : box.text.rfind(expected.text, 0) == 0;
    if (box.kind == expected.kind && box.caption == expected.caption && textMatches &&
        box.text.size() > (expected.whole ? 0 : expected.text.size()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "shown " << box.kind << " \"" << box.text << "\" (" << box.caption << "), expected "
           << expected.kind << " \"" << expected.text << (expected.whole ? "\"" : "...\"") << " ("
           << expected.caption << ")";
}

const char* const kCannotCreateProject = "Unable to open output binary file. Cannot save.";
const char* const kCannotWriteProject = "Unable to write the project file. The earlier file is unchanged.";
const char* const kCannotOpenBin = "Unable to open .bin file to write!";

class MainFormDiskTest : public MainFormTest {
protected:
    /// The three save commands, by the button that runs each and the file it is given.
    struct SaveCommand {
        const char* file;
        QPushButton* TMainForm::*button;
    };
    static constexpr SaveCommand kSaves[] = {
        {"work.bit", &TMainForm::SaveBitProjButton},
        {"work.bin", &TMainForm::SaveBinButton},
        {"work.png", &TMainForm::SaveImageButton},
    };

    /// Starts the window on a ROM of random bytes drawn in small cells: no save of it (project,
    /// export or picture) fits in a few kilobytes.
    void startWithRom() {
        start();
        main->BitSizeXEdit->setText("1");
        main->BitSizeYEdit->setText("1");
        main->BitGapEdit->setText("1");
        main->ColGapEdit->setText("1");
        main->BitsPerRowEdit->setText("512");
        writeFile("rom.bin", EarlierWork(48 * 1024));
        open("rom.bin");
        ASSERT_TRUE(dialogs.boxes.empty());
        title = main->windowTitle().toStdString();
        ASSERT_EQ(title, "Zandrel: " + path("rom.bin"));
        cells = main->document().Cells;
    }

    /// Runs a save command (through its button, as the user does) with `target` chosen in its
    /// dialog; the boxes it showed.
    std::vector<FakeDialogs::Box> save(const SaveCommand& command, const std::string& target) {
        const size_t before = dialogs.boxes.size();
        dialogs.fileAnswers.push_back(target);
        (main->*command.button)->click();
        return {dialogs.boxes.begin() + static_cast<std::ptrdiff_t>(before), dialogs.boxes.end()};
    }

    /// The window still shows the ROM it opened.
    void expectRomKept(const std::string& what) const {
        EXPECT_EQ(main->windowTitle().toStdString(), title) << what;
        EXPECT_EQ(main->document().BinDataLen, 8 * 48 * 1024) << what;
        EXPECT_EQ(main->document().Cells, cells) << what;
    }

    std::string title;
    std::vector<uint8_t> cells;
    const std::string earlier = EarlierWork(3000);
};

}  // namespace

TEST_F(MainFormDiskTest, EverySaveIntoAReadOnlyFolderKeepsTheEarlierFile) {
    ScratchMount disk(1 << 20);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNotMounted();
    startWithRom();
    for (const SaveCommand& command : kSaves) WriteFile(disk.file(command.file), earlier);
    ASSERT_TRUE(disk.makeReadOnly()) << disk.whyNotMounted();

    const Expected expected[] = {
        Message(kCannotCreateProject, "Error"),
        Message(kCannotOpenBin, "ERROR"),
        ErrorBox("Cannot create file \"" + disk.file("work.png") + "\". Read-only file system."),
    };
    for (size_t i = 0; i < std::size(kSaves); ++i) {
        const std::string target = disk.file(kSaves[i].file);
        EXPECT_TRUE(Shows(save(kSaves[i], target), expected[i])) << kSaves[i].file;
        EXPECT_EQ(ReadFile(target), earlier) << kSaves[i].file;
        EXPECT_EQ(main->document().WorkingDir, disk.folder()) << kSaves[i].file;
        expectRomKept(kSaves[i].file);
    }
    EXPECT_EQ(disk.entries(), (std::vector<std::string>{"work.bin", "work.bit", "work.png"}));
}

TEST_F(MainFormDiskTest, EverySaveOntoAReadOnlyFileKeepsIt) {
    startWithRom();
    const Expected expected[] = {
        Message(kCannotCreateProject, "Error"),
        Message(kCannotOpenBin, "ERROR"),
        ErrorBox("Cannot create file \"" + path("work.png") + "\". Permission denied."),
    };
    for (size_t i = 0; i < std::size(kSaves); ++i) {
        const std::string target = path(kSaves[i].file);
        WriteFile(target, earlier);
        ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
        EXPECT_TRUE(Shows(save(kSaves[i], target), expected[i])) << kSaves[i].file;
        EXPECT_EQ(ReadFile(target), earlier) << kSaves[i].file;
        EXPECT_EQ(PermissionsOf(target), 0444u) << kSaves[i].file;
        expectRomKept(kSaves[i].file);
    }
    EXPECT_EQ(ScratchMount::EntriesOf(dir),
              (std::vector<std::string>{"rom.bin", "work.bin", "work.bit", "work.png"}));
}

TEST_F(MainFormDiskTest, EverySaveThatFillsTheDiskKeepsTheEarlierFile) {
    ScratchMount disk(64 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNotMounted();
    startWithRom();
    const std::string bigEarlier = EarlierWork(40 * 1024);
    for (size_t i = 0; i < std::size(kSaves); ++i) {
        const std::string target = disk.file(kSaves[i].file);
        WriteFile(target, bigEarlier);
        const uint64_t freeBefore = disk.freeBytes();
        const Expected expected[] = {
            Message(kCannotWriteProject, "Error"),
            ErrorBox("Cannot write file \"" + target + "\". No space left on device."),
            ErrorBox("Cannot write file \"" + target + "\". ", /*whole=*/false),
        };
        EXPECT_TRUE(Shows(save(kSaves[i], target), expected[i])) << kSaves[i].file;
        EXPECT_EQ(ReadFile(target), bigEarlier) << kSaves[i].file;
        EXPECT_EQ(disk.entries(), std::vector<std::string>{kSaves[i].file}) << kSaves[i].file;
        EXPECT_EQ(disk.freeBytes(), freeBefore) << kSaves[i].file << ": the part written is given back";
        expectRomKept(kSaves[i].file);
        std::filesystem::remove(target);
    }
}

// Where no tmpfs can be mounted, a limit on the size of written files fails the saves part-way.
TEST_F(MainFormDiskTest, EverySaveBeyondTheFileSizeLimitKeepsTheEarlierFile) {
    startWithRom();
    for (size_t i = 0; i < std::size(kSaves); ++i) {
        const std::string target = path(kSaves[i].file);
        WriteFile(target, earlier);
        const Expected expected[] = {
            Message(kCannotWriteProject, "Error"),
            ErrorBox("Cannot write file \"" + target + "\". File too large."),
            ErrorBox("Cannot write file \"" + target + "\". ", /*whole=*/false),
        };
        std::vector<FakeDialogs::Box> shown;
        {
            FileSizeLimit limited(16 * 1024);
            ASSERT_TRUE(limited.active());
            shown = save(kSaves[i], target);
        }
        EXPECT_TRUE(Shows(shown, expected[i])) << kSaves[i].file;
        EXPECT_EQ(ReadFile(target), earlier) << kSaves[i].file;
        expectRomKept(kSaves[i].file);
    }
    EXPECT_EQ(ScratchMount::EntriesOf(dir),
              (std::vector<std::string>{"rom.bin", "work.bin", "work.bit", "work.png"}));
}

TEST_F(MainFormDiskTest, AFailedOpenKeepsTheRomOnScreen) {
    startWithRom();
    writeFile("gone.bit", "BinDataLen = 1\n\n\x01");
    std::filesystem::remove(path("gone.bit"));  // chosen in the dialog, deleted before the load
    std::filesystem::create_directory(path("folder.txt"));
    {
        const int fd = ::open(path("huge.bin").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, int64_t{1} << 28), 0);  // sparse: no space taken, nothing to read
        ::close(fd);
    }
    const struct {
        const char* name;
        Expected box;
    } cases[] = {
        {"gone.bit", Message("Unable to open input binary file. Aborting.", "Error")},
        {"gone.bin", Message("Unable to open input binary file. Aborting.", "Error")},
        {"folder.txt", Message("Unable to open input text file. Aborting.", "Error")},
        {"huge.bin", Message("The file is too large: at most 268435455 bytes can be loaded.", "Error")},
    };
    for (const auto& c : cases) {
        const size_t before = dialogs.boxes.size();
        open(c.name);
        EXPECT_TRUE(
            Shows({dialogs.boxes.begin() + static_cast<std::ptrdiff_t>(before), dialogs.boxes.end()}, c.box))
            << c.name;
        expectRomKept(c.name);
    }

    // A project cut short names itself and ends in the data error, never with a short body shown
    // as if it were whole; the ROM in use stays.
    writeFile("cut.bit", "BitsPerRow = 512\nBinDataLen = 4096\n\n" + std::string(100, '\x01'));
    const size_t before = dialogs.boxes.size();
    open("cut.bit");
    EXPECT_TRUE(Shows({dialogs.boxes.begin() + static_cast<std::ptrdiff_t>(before), dialogs.boxes.end()},
                      Message("The .bit project file contains unreadable data.", "ERROR")));
    EXPECT_EQ(main->windowTitle().toStdString(), "Zandrel: " + path("cut.bit"));
    EXPECT_EQ(main->document().BinDataLen, 8 * 48 * 1024);
    EXPECT_EQ(main->document().Cells, cells);
}
