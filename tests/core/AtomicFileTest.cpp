#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "TempDir.h"
#include "core/AtomicFile.h"

using namespace zandrel;
using namespace zandrel::testing;

TEST(AtomicFileTest, CommitReplacesTheTargetWhole) {
    TempDir dir;
    const std::string path = dir.file("out.bin");
    WriteFile(path, "a much longer earlier content");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.isOpen());
        EXPECT_TRUE(file.write("new "));
        EXPECT_EQ(ReadFile(path), "a much longer earlier content");  // untouched until commit
        EXPECT_TRUE(file.write("bytes", 5));
        EXPECT_TRUE(file.commit());
        EXPECT_TRUE(file.error().empty());
    }
    EXPECT_EQ(ReadFile(path), "new bytes");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
}

TEST(AtomicFileTest, WithoutCommitNothingChangesAndNothingIsLeft) {
    TempDir dir;
    const std::string path = dir.file("out.bin");
    WriteFile(path, "earlier");
    {
        AtomicFile file(path);
        file.write("half of it");
    }
    EXPECT_EQ(ReadFile(path), "earlier");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
    {
        AtomicFile fresh(dir.file("new.bin"));
        fresh.write("x");
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
}

TEST(AtomicFileTest, KeepsThePermissionsOfTheReplacedFile) {
    TempDir dir;
    const std::string path = dir.file("script.sh");
    WriteFile(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0751), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "new", 3));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0751u);
}

TEST(AtomicFileTest, ReplacesTheFileBehindALinkAndKeepsTheLink) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("real"));
    const std::string real = dir.file("real/data.bin");
    WriteFile(real, "old");
    const std::string link = dir.file("link.bin");
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(WriteFileAtomically(link, "new", 3));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(real), "new");
}

TEST(AtomicFileTest, ReportsWhyATargetCannotBeCreated) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir.file("missing/x.bin"), "x", 1, &error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    AtomicFile file(dir.file("missing/y.bin"));
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.write("x"));
    EXPECT_FALSE(file.commit());
}

TEST(AtomicFileTest, EmptyContentMakesAnEmptyFile) {
    TempDir dir;
    const std::string path = dir.file("empty.bin");
    WriteFile(path, "old");
    ASSERT_TRUE(WriteFileAtomically(path, nullptr, 0));
    EXPECT_EQ(ReadFile(path), "");
}
