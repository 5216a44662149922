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

/// Whether the user marked the existing file `path` (with `status`) as not to be written. Renaming
/// over it needs only the folder's write permission, and the superuser passes every permission
/// check, so both would silently replace a file that was made read-only to keep it safe.
bool isReadOnlyFile(const std::string& path, const struct stat& status) {
    if ((status.st_mode & 0222) == 0) return true;
    // A write bit of someone else's: the effective user may still not write the file. A read-only
    // file system is left to the creation beside it, which names that reason.
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

void syncDirectoryOf(const std::string& path) {
    const std::string directory = DirectoryPart(path);
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // only makes the rename durable sooner; the file itself is already complete
    ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(const std::string& targetPath) { openTarget(targetPath); }

AtomicFile::~AtomicFile() { discard(); }

void AtomicFile::openTarget(const std::string& targetPath) {
    struct stat existing {};
    const bool exists = ::stat(targetPath.c_str(), &existing) == 0;
    int fd = -1;
    if (exists && S_ISDIR(existing.st_mode)) {
        target_ = targetPath;
        fail(Failure::Create, "cannot create " + target_, EISDIR);
        return;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // Renaming a new file over a device or pipe would destroy it, so it is written into.
        // The path itself is opened: links such as /dev/stdout then reach what they stand for.
        target_ = targetPath;
        inPlace_ = true;
        fd = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            fail(Failure::Create, "cannot open " + target_, error);
            return;
        }
    } else {
        target_ = resolvedTarget(targetPath);
        if (exists && isReadOnlyFile(target_, existing)) {
            fail(Failure::Create, "cannot replace the read-only file " + target_, EACCES);
            return;
        }
        std::string name;
        fd = createBeside(target_, name);
        if (fd < 0) {
            const int error = errno;
            fail(Failure::Create, "cannot create a file beside " + target_, error);
            return;
        }
        temporary_ = name;
        // The new file keeps the owner and permissions of the one it replaces (the owner only
        // where this user may give it away, as root may); a new one gets those that creating it
        // gave (0666 less the umask).
        if (exists) {
            if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) [[maybe_unused]]
                const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
            ::fchmod(fd, existing.st_mode & 07777);
        }
    }
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        const int error = errno;
        ::close(fd);
        fail(Failure::Create, "cannot open " + (inPlace_ ? target_ : temporary_), error);
        discard();
    }
}

void AtomicFile::fail(Failure step, const std::string& what, int errorNumber) {
    if (failure_ != Failure::None) return;
    failure_ = step;
    errorNumber_ = errorNumber;
    error_ = errorNumber != 0 ? what + ": " + std::strerror(errorNumber) : what;
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
    if (stream_ == nullptr || failure_ != Failure::None) return false;
    if (size > 0 && std::fwrite(data, 1, size, stream_) != size) {
        const int error = errno;
        fail(Failure::Write, "cannot write " + target_, error);
        return false;
    }
    return true;
}

bool AtomicFile::syncFile() {
    if (::fsync(::fileno(stream_)) == 0) return true;
    // Pipes, terminals and most character devices have nothing to sync.
    return inPlace_ && (errno == EINVAL || errno == EROFS || errno == ENOTSUP);
}

bool AtomicFile::commit() {
    if (stream_ == nullptr || failure_ != Failure::None) {
        discard();
        return false;
    }
    auto failWriting = [this](int error) { fail(Failure::Write, "cannot write " + target_, error); };
    // A writer that wrote through stream() leaves only the error flag; its errno is long gone.
    if (std::ferror(stream_)) {
        failWriting(0);
    } else if (std::fflush(stream_) != 0 || !syncFile()) {
        failWriting(errno);
    }
    const int closed = std::fclose(stream_);
    const int closeError = errno;
    stream_ = nullptr;
    if (closed != 0) failWriting(closeError);
    if (failure_ == Failure::None && !inPlace_ && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        fail(Failure::Replace, "cannot replace " + target_, error);
    }
    if (failure_ != Failure::None) {
        discard();
        return false;
    }
    if (!inPlace_) {
        temporary_.clear();
        syncDirectoryOf(target_);
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* error) {
    AtomicFile file(path);
    const bool done = file.write(data, size) && file.commit();
    if (!done && error != nullptr) *error = file.error();
    return done;
}

}  // namespace zandrel
