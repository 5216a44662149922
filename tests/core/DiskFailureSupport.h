#pragma once

// Disks that fail on purpose, for the tests that show a failed save or load loses nothing: a
// small tmpfs of the test's own (which can be made read-only, or filled up), and a limit on the
// size of the files this process may write.

#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace zandrel::testing {

/// A tmpfs of a given size mounted on a fresh folder, unmounted and removed when this goes away.
/// Mounting needs root with CAP_SYS_ADMIN; where that is not had, mounted() is false and
/// whyNotMounted() tells why, for the test to skip with.
///
/// The first mount of a process moves the process into a mount namespace of its own (when it
/// may), so that a test that dies before unmounting leaves no mount behind on the machine.
class ScratchMount {
public:
    explicit ScratchMount(uint64_t bytes) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zandrel-mount-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            why_ = std::string("cannot make a folder to mount on: ") + std::strerror(errno);
            return;
        }
        path_ = pattern;
        if (::geteuid() != 0) {
            why_ = "mounting a tmpfs needs root (CAP_SYS_ADMIN); this test runs as another user";
            return;
        }
        enterOwnMountNamespace();
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        if (::mount("tmpfs", path_.c_str(), "tmpfs", kFlags, options.c_str()) != 0) {
            why_ = std::string("mounting a tmpfs is not permitted here: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }

    ~ScratchMount() {
        if (mounted_ && ::umount2(path_.c_str(), 0) != 0) ::umount2(path_.c_str(), MNT_DETACH);
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }

    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& whyNotMounted() const { return why_; }

    /// Remounts the file system read-only; false, with the reason in whyNotMounted(), when it fails.
    bool makeReadOnly() {
        if (::mount("tmpfs", path_.c_str(), nullptr, kFlags | MS_REMOUNT | MS_RDONLY, nullptr) == 0)
            return true;
        why_ = std::string("remounting read-only failed: ") + std::strerror(errno);
        return false;
    }

    /// The full path of `name` on the mounted file system.
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    /// The folder's full path with a trailing separator, as a working directory reads.
    std::string folder() const { return path_.string() + "/"; }

    /// Bytes that can still be written, as the file system counts them.
    uint64_t freeBytes() const {
        struct statvfs status {};
        if (::statvfs(path_.c_str(), &status) != 0) return 0;
        return uint64_t{status.f_bavail} * status.f_frsize;
    }

    /// Names of the entries of the folder, sorted.
    std::vector<std::string> entries() const { return EntriesOf(path_); }

    static std::vector<std::string> EntriesOf(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static constexpr unsigned long kFlags = MS_NOSUID | MS_NODEV | MS_NOEXEC;

    static void enterOwnMountNamespace() {
        static const bool entered = [] {
            // Only the calling thread moves; the tests and the code they drive run on it. Mounts
            // must not spread back into the machine's namespace, hence the private propagation.
            return ::unshare(CLONE_NEWNS) == 0 &&
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        }();
        (void)entered;  // without a namespace of its own, the mount is still removed by the destructor
    }

    std::filesystem::path path_;
    bool mounted_ = false;
    std::string why_;
};

/// While this lives, no file this process writes may grow past `bytes` (RLIMIT_FSIZE): a write
/// across the limit fails with EFBIG instead of raising SIGXFSZ, which is ignored meanwhile.
class FileSizeLimit {
public:
    explicit FileSizeLimit(uint64_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &previousAction_);
        ::getrlimit(RLIMIT_FSIZE, &previousLimit_);
        rlimit limit = previousLimit_;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previousLimit_);
        ::sigaction(SIGXFSZ, &previousAction_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    /// Whether the limit is in force.
    bool active() const { return active_; }

private:
    struct sigaction previousAction_ {};
    rlimit previousLimit_{};
    bool active_ = false;
};

/// The permission bits of `path` (0 when it does not exist).
inline unsigned PermissionsOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

/// `size` bytes of a pattern that no save here writes by chance: what "the earlier file" holds.
inline std::string EarlierWork(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 0x2545F491u;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

}  // namespace zandrel::testing
