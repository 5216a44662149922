#include "core/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "core/Path.h"

namespace zandrel {

namespace {

/// The file that is really replaced: a symbolic link is followed, so the link stays.
std::string resolvedTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

std::string reason(const std::string& what, int error) { return what + ": " + std::strerror(error); }

/// Opens a new file beside `target` under a name that does not exist yet.
int createBeside(const std::string& target, std::string& name) {
    std::random_device entropy;
    std::mt19937_64 random((uint64_t{entropy()} << 32) ^ entropy() ^ static_cast<uint64_t>(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".tmp-%012llx",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        name = target + suffix;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncDirectoryOf(const std::string& path) {
    const std::string directory = DirectoryPart(path);
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // only makes the rename durable sooner; the file itself is already complete
    ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(const std::string& targetPath) : target_(resolvedTarget(targetPath)) {
    std::string name;
    const int fd = createBeside(target_, name);
    if (fd < 0) {
        fail(reason("cannot create a file beside " + target_, errno));
        return;
    }
    temporary_ = name;
    // The new file keeps the permissions of the one it replaces; a new one gets those that
    // creating it gave (0666 less the umask).
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        const int error = errno;
        ::close(fd);
        fail(reason("cannot open " + temporary_, error));
        discard();
    }
}

AtomicFile::~AtomicFile() { discard(); }

void AtomicFile::fail(const std::string& what) {
    if (!failed_) error_ = what;
    failed_ = true;
}

void AtomicFile::discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool AtomicFile::write(const void* data, size_t size) {
    if (stream_ == nullptr || failed_) return false;
    if (size > 0 && std::fwrite(data, 1, size, stream_) != size) {
        fail(reason("cannot write " + target_, errno));
        return false;
    }
    return true;
}

bool AtomicFile::commit() {
    if (stream_ == nullptr || failed_) {
        discard();
        return false;
    }
    if (std::fflush(stream_) != 0) fail(reason("cannot write " + target_, errno));
    if (!failed_ && ::fsync(fileno(stream_)) != 0) fail(reason("cannot write " + target_, errno));
    const int closed = std::fclose(stream_);
    stream_ = nullptr;
    if (!failed_ && closed != 0) fail(reason("cannot write " + target_, errno));
    if (!failed_ && std::rename(temporary_.c_str(), target_.c_str()) != 0)
        fail(reason("cannot replace " + target_, errno));
    if (failed_) {
        discard();
        return false;
    }
    temporary_.clear();
    syncDirectoryOf(target_);
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* error) {
    AtomicFile file(path);
    const bool done = file.write(data, size) && file.commit();
    if (!done && error != nullptr) *error = file.error();
    return done;
}

}  // namespace zandrel
