#include "cli/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli/CliFailure.h"
#include "core/AtomicFile.h"

namespace zandrel::cli {

namespace {

[[noreturn]] void failWithReason(const std::string& what, int error) {
    throw CliFailure(kExitData, "ERROR", what + ": " + std::strerror(error) + ".");
}

void writeToStdout(const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) failWithReason("Unable to write to standard output", errno);
        data += written;
        size -= static_cast<size_t>(written);
    }
}

/// A unique file in the temporary directory, removed again when done with.
class ScratchFile {
public:
    ScratchFile() {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern =
            std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/zandrel-cli-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) failWithReason("Unable to create a temporary file in " + pattern, errno);
        ::close(fd);
        path_ = pattern;
    }
    ~ScratchFile() { ::unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void copyFileToStdout(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) failWithReason("Unable to read back " + path, errno);
    std::vector<uint8_t> buffer(size_t{1} << 16);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            const int error = errno;
            ::close(fd);
            if (got < 0) failWithReason("Unable to read back " + path, error);
            return;
        }
        try {
            writeToStdout(buffer.data(), static_cast<size_t>(got));
        } catch (...) {
            ::close(fd);
            throw;
        }
    }
}

}  // namespace

void writeOutput(const std::string& target, const uint8_t* data, size_t size,
                 const CannotCreate& cannotCreate) {
    if (target == kStdoutName) {
        writeToStdout(data, size);
        return;
    }
    AtomicFile file(target);
    if (!file.isOpen()) throw CliFailure(kExitData, cannotCreate.caption, cannotCreate.text);
    if (!file.write(data, size) || !file.commit()) {
        throw CliFailure(kExitData, "ERROR", "Unable to write " + target + " (" + file.error() + ").");
    }
}

void writeToStdoutThroughFile(const std::function<bool(const std::string&)>& writeFile) {
    ScratchFile scratch;
    if (!writeFile(scratch.path())) throw CliFailure(kExitData, "", "");
    copyFileToStdout(scratch.path());
}

}  // namespace zandrel::cli
