// Image saves onto disks that fail, in every format: the failure is raised in the writer's words,
// the earlier file stays byte for byte, and no temporary file is left beside it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include "ReferenceBitmap.h"
#include "core/Errors.h"
#include "render/ReplacingFile.h"
#include "render/SaveImage.h"
#include "tests/core/DiskFailureSupport.h"
#include "tests/core/TempDir.h"

using namespace zandrel;
using namespace zandrel::testing;

namespace {

const char* const kFormats[] = {"picture.png", "picture.tif", "picture.jpg", "picture.bmp"};

/// The text of the Error that saving `doc` to `path` raises; empty when the save succeeds.
std::string SaveError(const Document& doc, const std::string& path) {
    try {
        SaveBitmapImage(doc, path);
    } catch (const Error& error) {
        return error.what();
    }
    return {};
}

std::string CannotCreate(const std::string& path, const std::string& reason) {
    return "Cannot create file \"" + path + "\". " + reason;
}

/// Whether `error` is the failed-write message for `path`. Its reason is the system's where the
/// writer sees the system's error, else the image library's own words ("Write Error").
::testing::AssertionResult IsCannotWrite(const std::string& error, const std::string& path) {
    const std::string start = CannotWriteMessage(path, "");
    if (error.size() > start.size() && error.compare(0, start.size(), start) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not a failed write of " << path << ": \"" << error << "\"";
}

class ImageSaveFailureTest : public ::testing::Test {
protected:
    ImageSaveFailureTest() {
        // Small random cells: no format can squeeze the picture into a few kilobytes.
        Layout layout;
        layout.BitSizeX = 2;
        layout.BitSizeY = 2;
        layout.BitGap = 1;
        layout.ColGap = 2;
        layout.BitsPerRow = 256;
        layout.BitsPerOutput = 32;
        std::mt19937 rng(11);
        doc = MakeDocument(layout, 256 * 512, RandomCells(rng, 256 * 512));
    }

    /// The size of each format's file of `doc`, saved where there is room.
    std::vector<uint64_t> savedSizes() const {
        TempDir room;
        std::vector<uint64_t> sizes;
        for (const char* name : kFormats) {
            SaveBitmapImage(doc, room.file(name));
            sizes.push_back(ReadFile(room.file(name)).size());
        }
        return sizes;
    }

    Document doc;
    const std::string earlier = EarlierWork(2000);
};

}  // namespace

TEST_F(ImageSaveFailureTest, AReadOnlyFolderKeepsTheEarlierFiles) {
    ScratchMount disk(1 << 20);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNotMounted();
    for (const char* name : kFormats) WriteFile(disk.file(name), earlier);
    ASSERT_TRUE(disk.makeReadOnly()) << disk.whyNotMounted();

    for (const char* name : kFormats) {
        EXPECT_EQ(SaveError(doc, disk.file(name)), CannotCreate(disk.file(name), "Read-only file system"));
        EXPECT_EQ(ReadFile(disk.file(name)), earlier) << name;
    }
    EXPECT_EQ(SaveError(doc, disk.file("new.png")),
              CannotCreate(disk.file("new.png"), "Read-only file system"));
    EXPECT_EQ(disk.entries().size(), std::size(kFormats));
}

TEST_F(ImageSaveFailureTest, AReadOnlyFileIsNotReplaced) {
    TempDir dir;
    for (const char* name : kFormats) {
        const std::string path = dir.file(name);
        WriteFile(path, earlier);
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_EQ(SaveError(doc, path), CannotCreate(path, "Permission denied"));
        EXPECT_EQ(ReadFile(path), earlier) << name;
        EXPECT_EQ(PermissionsOf(path), 0444u) << name;
    }
    EXPECT_EQ(dir.entries().size(), std::size(kFormats));
}

TEST_F(ImageSaveFailureTest, AFileSystemThatFillsUpPartWayKeepsTheEarlierFile) {
    ScratchMount disk(64 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNotMounted();
    const std::string bigEarlier = EarlierWork(40 * 1024);
    const std::vector<uint64_t> sizes = savedSizes();
    for (size_t i = 0; i < std::size(kFormats); ++i) {
        const std::string path = disk.file(kFormats[i]);
        WriteFile(path, bigEarlier);
        const uint64_t freeBefore = disk.freeBytes();
        ASSERT_GT(sizes[i], freeBefore) << kFormats[i] << " must not fit";

        EXPECT_TRUE(IsCannotWrite(SaveError(doc, path), path));
        EXPECT_EQ(ReadFile(path), bigEarlier) << kFormats[i];
        EXPECT_EQ(disk.entries(), std::vector<std::string>{kFormats[i]}) << kFormats[i];
        EXPECT_EQ(disk.freeBytes(), freeBefore) << kFormats[i] << ": the part written is given back";
        std::filesystem::remove(path);
    }
}

TEST_F(ImageSaveFailureTest, AFileSizeLimitKeepsTheEarlierFile) {
    TempDir dir;
    const std::vector<uint64_t> sizes = savedSizes();
    for (size_t i = 0; i < std::size(kFormats); ++i) {
        const std::string path = dir.file(kFormats[i]);
        for (const uint64_t limit : {uint64_t{0}, uint64_t{5000}, sizes[i] - 1}) {
            WriteFile(path, earlier);
            std::string error;
            {
                FileSizeLimit limited(limit);
                ASSERT_TRUE(limited.active());
                error = SaveError(doc, path);
            }
            EXPECT_TRUE(IsCannotWrite(error, path)) << "limit " << limit;
            EXPECT_EQ(ReadFile(path), earlier) << kFormats[i] << ", limit " << limit;
            EXPECT_EQ(dir.entries().size(), i + 1) << kFormats[i] << ", limit " << limit;
        }
    }
}
