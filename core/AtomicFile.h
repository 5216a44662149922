#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace zandrel {

/// A file written under a temporary name beside its target and moved over the target only
/// once it is complete, so that a failed write never destroys the earlier file. The
/// temporary file is removed again on every path that does not commit it.
class AtomicFile {
public:
    /// Creates the temporary file; isOpen() tells whether that worked.
    explicit AtomicFile(const std::string& targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return stream_ != nullptr; }

    /// Appends bytes; false once any write has failed (later writes are skipped).
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }

    /// Flushes, syncs and closes the file and renames it over the target. False when any
    /// step (or an earlier write) failed; the target is then untouched and the temporary
    /// file gone.
    bool commit();

    /// Why the file could not be created, written or committed; empty while all is well.
    const std::string& error() const { return error_; }

private:
    void fail(const std::string& what);
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* stream_ = nullptr;
    bool failed_ = false;
    std::string error_;
};

/// Writes `size` bytes as the whole new content of `path` through an AtomicFile; false, with
/// the reason in `error` when given, when the file could not be replaced.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size,
                         std::string* error = nullptr);

}  // namespace zandrel
