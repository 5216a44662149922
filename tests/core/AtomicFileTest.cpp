#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

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

TEST(AtomicFileTest, KeepsTheOwnerOfTheReplacedFileWhenAllowedToGiveItAway) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    TempDir dir;
    const std::string path = dir.file("theirs.bin");
    WriteFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "new", 3));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
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

TEST(AtomicFileTest, AFolderAsTargetCannotBeCreated) {
    TempDir dir;
    const std::string folder = dir.file("taken.bin");
    std::filesystem::create_directory(folder);
    AtomicFile file(folder);
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.writesInPlace());
    EXPECT_EQ(file.failure(), AtomicFile::Failure::Create);
    EXPECT_EQ(file.errorNumber(), EISDIR);
    EXPECT_EQ(file.error(), "cannot create " + folder + ": Is a directory");
    EXPECT_FALSE(file.commit());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"taken.bin"});
}

// Writers such as libtiff write and seek through the stream themselves.
TEST(AtomicFileTest, TheStreamSeeksAndItsErrorsFailTheCommit) {
    TempDir dir;
    const std::string path = dir.file("picture.tif");
    {
        AtomicFile file(path);
        ASSERT_NE(file.stream(), nullptr);
        std::fputs("....tail", file.stream());
        std::fseek(file.stream(), 0, SEEK_SET);
        std::fputs("head", file.stream());
        EXPECT_TRUE(file.commit());
    }
    EXPECT_EQ(ReadFile(path), "headtail");

    AtomicFile broken(path);
    std::fputs("new", broken.stream());
    EXPECT_EQ(std::fgetc(broken.stream()), EOF);  // reading a write-only stream sets its error flag
    EXPECT_FALSE(broken.commit());
    EXPECT_EQ(broken.failure(), AtomicFile::Failure::Write);
    EXPECT_EQ(broken.errorNumber(), 0);
    EXPECT_EQ(ReadFile(path), "headtail");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"picture.tif"});
}

TEST(AtomicFileTest, ATargetThatCannotBeReplacedKeepsNothingBehind) {
    TempDir dir;
    const std::string path = dir.file("out.bin");
    AtomicFile file(path);
    ASSERT_TRUE(file.write("data"));
    // A folder that appears at the name meanwhile cannot be renamed over.
    std::filesystem::create_directory(path);
    WriteFile(dir.file("out.bin/inside"), "x");
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.failure(), AtomicFile::Failure::Replace);
    EXPECT_NE(file.errorNumber(), 0);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

namespace {

bool IsFifo(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

/// The read end of a named pipe, opened before the writer so that the writer's open does not
/// wait; a thread then reads everything until the writer closes.
class PipeReader {
public:
    explicit PipeReader(const std::string& path) {
        if (::mkfifo(path.c_str(), 0600) == 0) fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    ~PipeReader() {
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }

    /// Starts reading; call once the writer has the pipe open, or the reader sees its end at once.
    void start() {
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        thread_ = std::thread([this] {
            char buffer[4096];
            ssize_t got = 0;
            while ((got = ::read(fd_, buffer, sizeof buffer)) > 0)
                content_.append(buffer, static_cast<size_t>(got));
        });
    }
    /// Everything read, once the writer has closed.
    const std::string& content() {
        if (thread_.joinable()) thread_.join();
        return content_;
    }

private:
    int fd_ = -1;
    std::thread thread_;
    std::string content_;
};

/// Whether `path` is a character device, and which one.
bool CharacterDevice(const char* path, dev_t& device) {
    struct stat status {};
    if (::lstat(path, &status) != 0 || !S_ISCHR(status.st_mode)) return false;
    device = status.st_rdev;
    return true;
}

}  // namespace

TEST(AtomicFileTest, APipeIsWrittenIntoNotReplaced) {
    // More than a pipe holds, so the writer depends on the reader going on; through a link too.
    const std::string content(300000, 'p');
    for (const bool throughLink : {false, true}) {
        TempDir dir;
        const std::string pipe = dir.file("rom.pipe");
        PipeReader reader(pipe);
        ASSERT_TRUE(reader.isOpen());
        const std::string target = throughLink ? dir.file("link.pipe") : pipe;
        if (throughLink) std::filesystem::create_symlink(pipe, target);
        {
            AtomicFile file(target);
            ASSERT_TRUE(file.isOpen()) << file.error();
            EXPECT_TRUE(file.writesInPlace());
            reader.start();
            EXPECT_TRUE(file.write(content));
            EXPECT_TRUE(file.commit()) << file.error();
        }
        EXPECT_EQ(reader.content(), content) << throughLink;
        EXPECT_TRUE(IsFifo(pipe));
        EXPECT_EQ(std::filesystem::is_symlink(target), throughLink);
        EXPECT_EQ(dir.entries().size(), throughLink ? 2u : 1u);
    }
}

// The devices of the machine itself: a mistake here would replace them by plain files, so
// nothing is committed unless the device is known to be written in place.
TEST(AtomicFileTest, DevicesAreWrittenIntoAndStayDevices) {
    dev_t before = 0;
    ASSERT_TRUE(CharacterDevice("/dev/null", before));
    {
        AtomicFile file("/dev/null");
        ASSERT_TRUE(file.writesInPlace());
        ASSERT_TRUE(file.isOpen()) << file.error();
        EXPECT_TRUE(file.write("discarded"));
        EXPECT_TRUE(file.commit()) << file.error();
    }
    dev_t after = 0;
    EXPECT_TRUE(CharacterDevice("/dev/null", after));
    EXPECT_EQ(after, before);

    if (!CharacterDevice("/dev/full", before)) GTEST_SKIP() << "no /dev/full";
    {
        AtomicFile full("/dev/full");
        ASSERT_TRUE(full.writesInPlace());
        ASSERT_TRUE(full.isOpen()) << full.error();
        full.write("more than fits");
        EXPECT_FALSE(full.commit());
        EXPECT_EQ(full.failure(), AtomicFile::Failure::Write);
        EXPECT_EQ(full.errorNumber(), ENOSPC);
        EXPECT_EQ(full.error(), "cannot write /dev/full: No space left on device");
    }
    EXPECT_TRUE(CharacterDevice("/dev/full", after));
    EXPECT_EQ(after, before);
}
