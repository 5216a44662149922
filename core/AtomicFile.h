#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace zandrel {

/// A file written under a temporary name beside its target and moved over the target only
/// once it is complete, so that a failed write never destroys the earlier file. The
/// temporary file is removed again on every path that does not commit it. A replaced file
/// keeps its permissions, and a symbolic link stays a link: the file behind it is replaced.
/// A file marked read-only (no write permission bit, or none that lets this user write it)
/// is not replaced, even by the superuser: creating the AtomicFile fails with EACCES.
///
/// A target that exists but is not a file (a device, a pipe, a socket) cannot be replaced
/// without destroying it, so it is written into directly: no temporary, no rename. What was
/// written before a failure has then reached it. A folder as the target cannot be created.
class AtomicFile {
public:
    /// The step a failure happened in.
    enum class Failure { None, Create, Write, Replace };

    /// Creates the temporary file, or opens a device or pipe target for writing (which waits
    /// for a reader, as writing to a pipe does); isOpen() tells whether that worked.
    explicit AtomicFile(const std::string& targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return stream_ != nullptr; }

    /// Whether the target is a device, pipe or socket written into directly.
    bool writesInPlace() const { return inPlace_; }

    /// The open stream, null when none could be opened, for writers that write on their own.
    /// It is the temporary file, so it seeks, unless the target is written in place (a pipe
    /// or terminal cannot seek). Leave closing it to the AtomicFile; commit() notices the
    /// stream's error state.
    std::FILE* stream() const { return stream_; }

    /// Appends bytes; false once any write has failed (later writes are skipped).
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }

    /// Flushes, syncs and closes the file and renames it over the target. False when any
    /// step (or an earlier write) failed; the target is then untouched and the temporary
    /// file gone.
    bool commit();

    /// Why the file could not be created, written or committed; empty while all is well.
    const std::string& error() const { return error_; }
    /// The step of the first failure.
    Failure failure() const { return failure_; }
    /// The system's error number of the first failure; 0 when there is none, or when the
    /// stream only reported that an earlier write through it failed.
    int errorNumber() const { return errorNumber_; }

private:
    void openTarget(const std::string& targetPath);
    void fail(Failure step, const std::string& what, int errorNumber);
    bool syncFile();
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* stream_ = nullptr;
    bool inPlace_ = false;
    Failure failure_ = Failure::None;
    int errorNumber_ = 0;
    std::string error_;
};

/// Writes `size` bytes as the whole new content of `path` through an AtomicFile; false, with
/// the reason in `error` when given, when the file could not be replaced.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size,
                         std::string* error = nullptr);

}  // namespace zandrel
