#pragma once

#include <cstdio>
#include <string>

namespace zandrel {

/// A file written beside its target under a temporary name and renamed over the target only
/// by commit(), so a write that fails part way leaves any earlier file as it was. Unlike
/// core's AtomicFile it hands out its stream, since image libraries write (and seek) on their own.
/// A symbolic link is followed, and a replaced file keeps its permissions.
class ReplacingFile {
public:
    /// Creates the temporary file. Throws Error "Cannot create file "<full path>". <reason>"
    /// when it cannot be created.
    explicit ReplacingFile(const std::string& path);
    /// Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    /// The open stream to write to.
    std::FILE* stream() { return stream_; }

    /// Flushes and closes the file and puts it in the target's place. Throws Error when the data
    /// could not be written or the target not replaced; the earlier file then stays.
    void commit();

    /// The target's full path, as error messages name it.
    const std::string& fullPath() const { return fullPath_; }

private:
    std::string fullPath_;
    std::string target_;
    std::string tempPath_;
    std::FILE* stream_ = nullptr;
    bool committed_ = false;
};

/// The text of a failed write to `fullPath`: "Cannot write file "<full path>". <reason>".
std::string CannotWriteMessage(const std::string& fullPath, const std::string& reason);

}  // namespace zandrel
