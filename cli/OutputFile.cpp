#include "cli/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "cli/CliFailure.h"
#include "core/AtomicFile.h"

namespace zandrel::cli {

namespace {

[[noreturn]] void failWithReason(const std::string& what, int error) {
    throw CliFailure(kExitData, "ERROR", what + ": " + std::strerror(error) + ".");
}

[[noreturn]] void failWriting(const std::string& target, const AtomicFile& file) {
    throw CliFailure(kExitData, "ERROR", "Unable to write " + target + " (" + file.error() + ").");
}

/// Whether `target` is a pipe, socket or character device (a terminal, say): what is written there
/// cannot be sought back into, which some image writers (TIFF) need.
bool isUnseekableTarget(const std::string& target) {
    struct stat status {};
    return ::stat(target.c_str(), &status) == 0 &&
           (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode) || S_ISCHR(status.st_mode));
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

/// The extension of the file name in `path`, its dot included, or the empty text.
std::string extensionOf(const std::string& path) {
    const size_t nameStart = path.find_last_of('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) return "";
    return path.substr(dot);
}

/// A unique file in the temporary directory, removed again when done with.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& extension) {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern =
            std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/zandrel-cli-XXXXXX" + extension;
        const int fd = ::mkstemps(pattern.data(), static_cast<int>(extension.size()));
        if (fd < 0) failWithReason("Unable to create a temporary file " + pattern, errno);
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

/// Hands the bytes of the file at `path` to `put`, a block at a time.
void copyFile(const std::string& path, const std::function<void(const uint8_t*, size_t)>& put) {
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
            put(buffer.data(), static_cast<size_t>(got));
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
    // AtomicFile replaces a file only once complete and writes into a device or pipe directly.
    AtomicFile file(target);
    if (!file.isOpen()) throw CliFailure(kExitData, cannotCreate.caption, cannotCreate.text);
    if (!file.write(data, size) || !file.commit()) failWriting(target, file);
}

void writeOutputThroughFile(const std::string& target,
                            const std::function<bool(const std::string&)>& writeFile,
                            const CannotCreate& cannotCreate) {
    if (target != kStdoutName && !isUnseekableTarget(target)) {
        if (!writeFile(target)) throw CliFailure(kExitData, "", "");
        return;
    }
    // The output is opened before the work, so one that cannot be opened fails first.
    std::optional<AtomicFile> device;
    if (target != kStdoutName) {
        device.emplace(target);
        if (!device->isOpen()) throw CliFailure(kExitData, cannotCreate.caption, cannotCreate.text);
    }
    ScratchFile scratch(extensionOf(target));
    if (!writeFile(scratch.path())) throw CliFailure(kExitData, "", "");
    if (!device) {
        copyFile(scratch.path(), writeToStdout);
        return;
    }
    copyFile(scratch.path(), [&](const uint8_t* data, size_t size) {
        if (!device->write(data, size)) failWriting(target, *device);
    });
    if (!device->commit()) failWriting(target, *device);
}

}  // namespace zandrel::cli
