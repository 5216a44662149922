#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CliRunner.h"

using namespace zandrel::clitest;

namespace {

/// A named pipe in the test's directory, opened for reading before the tool writes into it.
/// Outputs must stay within the pipe's buffer, since it is read only after the tool has ended.
class NamedPipe {
public:
    explicit NamedPipe(const std::string& path) : path_(path) {
        if (::mkfifo(path.c_str(), 0600) == 0) fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    }
    ~NamedPipe() {
        if (fd_ >= 0) ::close(fd_);
    }
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    std::string readAvailable() {
        std::string content;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(fd_, buffer, sizeof buffer)) > 0)
            content.append(buffer, static_cast<size_t>(got));
        return content;
    }

    /// Whether the path still names the pipe, rather than a file that replaced it.
    bool stillAPipe() const {
        struct stat status {};
        return ::lstat(path_.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
    }

private:
    std::string path_;
    int fd_ = -1;
};

class CliPipeOutputTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string project = dir.write("cells.bit", "BitsPerRow = 4\nBitsPerOutput = 1\nBinDataLen = 8\n\n" +
                                                     bytes({1, 0, 0, 0, 0, 0, 0, 1}));
};

// Devices and pipes (/dev/null, /dev/stdout, a pipe a script set up) are written into, never
// replaced by a new file as a file on disk is.
TEST_F(CliPipeOutputTest, EveryWritingCommandWritesIntoAPipe) {
    struct Case {
        std::string command;
        std::string pipeName;
        std::string expectedStart;
    };
    const std::vector<Case> cases = {
        {"export", "rom.pipe", bytes({0x81})},
        {"save-project", "rom.pipe", "BitSizeX = 4\n"},
        {"render", "rom.bmp", "BM"},
        // TIFF seeks back while it writes, which a pipe cannot: it goes through a scratch file.
        {"render", "rom.tif", std::string("II*\0", 4)},
    };
    for (const Case& c : cases) {
        NamedPipe pipe(dir.path(c.pipeName));
        ASSERT_TRUE(pipe.isOpen());
        RunResult run = runCli({c.command, project, "-o", dir.path(c.pipeName)}, dir);
        ASSERT_EQ(run.status, 0) << c.command << ": " << run.err;
        const std::string content = pipe.readAvailable();
        EXPECT_EQ(content.substr(0, c.expectedStart.size()), c.expectedStart) << c.command;
        EXPECT_TRUE(pipe.stillAPipe()) << c.command;
        ::unlink(dir.path(c.pipeName).c_str());
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"cells.bit"});
}

}  // namespace
