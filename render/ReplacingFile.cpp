#include "render/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/Errors.h"

namespace zandrel {

namespace {

std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

// The file really replaced: a symbolic link is followed, so the link itself stays.
std::string ResolvedTarget(const std::string& fullPath) {
    std::error_code error;
    if (!std::filesystem::is_symlink(fullPath, error)) return fullPath;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(fullPath, error);
    return error ? fullPath : resolved.string();
}

void SyncDirectoryOf(const std::string& path) {
    const std::string directory = std::filesystem::path(path).parent_path().string();
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // makes the rename durable sooner; the file itself is complete already
    ::close(fd);
}

std::string CannotCreateMessage(const std::string& fullPath, int error) {
    return "Cannot create file \"" + fullPath + "\". " + std::strerror(error);
}

}  // namespace

std::string CannotWriteMessage(const std::string& fullPath, const std::string& reason) {
    return "Cannot write file \"" + fullPath + "\". " + reason;
}

ReplacingFile::ReplacingFile(const std::string& path)
    : fullPath_(FullPath(path)), target_(ResolvedTarget(fullPath_)) {
    static std::atomic<unsigned> counter{0};
    int fd = -1;
    int error = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempPath_ = target_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = errno;
        if (fd < 0 && error != EEXIST) break;
    }
    if (fd < 0) throw Error(CannotCreateMessage(fullPath_, error));
    // The new file keeps the permissions of the one it replaces; a new one gets 0666 less the umask.
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
    stream_ = ::fdopen(fd, "wb");
    if (!stream_) {
        error = errno;
        ::close(fd);
        ::unlink(tempPath_.c_str());
        throw Error(CannotCreateMessage(fullPath_, error));
    }
}

ReplacingFile::~ReplacingFile() {
    if (stream_) std::fclose(stream_);
    if (!committed_) ::unlink(tempPath_.c_str());
}

void ReplacingFile::commit() {
    std::FILE* stream = stream_;
    stream_ = nullptr;
    errno = 0;
    const bool written = !std::ferror(stream) && std::fflush(stream) == 0 && ::fsync(::fileno(stream)) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(stream) == 0;
    if (!written || !closed) {
        const int error = writeError ? writeError : errno;
        throw Error(
            CannotWriteMessage(fullPath_, error ? std::strerror(error) : "The data could not be written."));
    }
    if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        throw Error(CannotCreateMessage(fullPath_, errno));
    }
    committed_ = true;
    SyncDirectoryOf(target_);
}

}  // namespace zandrel
