#include "cli/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
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

/// Whether `target` names something other than a file or folder: a device, a pipe or a socket,
/// which must be written into rather than replaced by a new file.
bool isStreamTarget(const std::string& target) {
    struct stat status {};
    return ::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

/// A descriptor to write into, closed with the object.
class OutputStream {
public:
    OutputStream(const std::string& target, const CannotCreate& cannotCreate) : name_(target) {
        if (target == kStdoutName) {
            fd_ = STDOUT_FILENO;
            name_ = "standard output";
            return;
        }
        fd_ = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        owned_ = true;
        if (fd_ < 0) throw CliFailure(kExitData, cannotCreate.caption, cannotCreate.text);
    }
    ~OutputStream() {
        if (owned_ && fd_ >= 0) ::close(fd_);
    }
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    void write(const uint8_t* data, size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(fd_, data, size);
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) failWithReason("Unable to write to " + name_, errno);
            data += written;
            size -= static_cast<size_t>(written);
        }
    }

    void close() {
        if (!owned_) return;
        const int result = ::close(fd_);
        fd_ = -1;
        if (result != 0) failWithReason("Unable to write to " + name_, errno);
    }

private:
    std::string name_;
    int fd_ = -1;
    bool owned_ = false;
};

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

void copyFile(const std::string& path, OutputStream& out) {
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
            out.write(buffer.data(), static_cast<size_t>(got));
        } catch (...) {
            ::close(fd);
            throw;
        }
    }
}

}  // namespace

void writeOutput(const std::string& target, const uint8_t* data, size_t size,
                 const CannotCreate& cannotCreate) {
    if (target == kStdoutName || isStreamTarget(target)) {
        OutputStream out(target, cannotCreate);
        out.write(data, size);
        out.close();
        return;
    }
    AtomicFile file(target);
    if (!file.isOpen()) throw CliFailure(kExitData, cannotCreate.caption, cannotCreate.text);
    if (!file.write(data, size) || !file.commit()) {
        throw CliFailure(kExitData, "ERROR", "Unable to write " + target + " (" + file.error() + ").");
    }
}

void writeOutputThroughFile(const std::string& target,
                            const std::function<bool(const std::string&)>& writeFile,
                            const CannotCreate& cannotCreate) {
    if (target != kStdoutName && !isStreamTarget(target)) {
        if (!writeFile(target)) throw CliFailure(kExitData, "", "");
        return;
    }
    OutputStream out(target, cannotCreate);
    ScratchFile scratch(extensionOf(target));
    if (!writeFile(scratch.path())) throw CliFailure(kExitData, "", "");
    copyFile(scratch.path(), out);
    out.close();
}

}  // namespace zandrel::cli
