#pragma once

#include <cstdio>
#include <string>

#include "core/AtomicFile.h"

namespace zandrel {

/// core's AtomicFile with render's error texts, thrown as Error: the image writers and the
/// main window's "Save .bin" report failures in these words. The image libraries write (and
/// seek) through stream() on their own.
class ReplacingFile {
public:
    /// Creates the temporary file (or opens a device or pipe target). Throws Error
    /// "Cannot create file "<full path>". <reason>" when that fails.
    explicit ReplacingFile(const std::string& path);

    /// The open stream to write to.
    std::FILE* stream() { return file_.stream(); }

    /// Flushes and closes the file and puts it in the target's place. Throws Error "Cannot write
    /// file ..." when the data could not be written, "Cannot create file ..." when the target
    /// could not be replaced; the earlier file then stays.
    void commit();

    /// The target's full path, as error messages name it.
    const std::string& fullPath() const { return fullPath_; }

private:
    std::string fullPath_;
    AtomicFile file_;
};

/// The text of a failed write to `fullPath`: "Cannot write file "<full path>". <reason>".
std::string CannotWriteMessage(const std::string& fullPath, const std::string& reason);

}  // namespace zandrel
