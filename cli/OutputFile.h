#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace zandrel::cli {

/// The output name that stands for stdout.
inline constexpr const char* kStdoutName = "-";

/// The command's own message for an output file that cannot be created.
struct CannotCreate {
    std::string caption;
    std::string text;
};

/// Writes `size` bytes to `target`, "-" being stdout. A file is replaced only once it is complete
/// (core's AtomicFile), so a failed write leaves the old file as it was; a device or pipe, such as
/// /dev/null, is written directly, never replaced. Throws CliFailure (exit status 2) when the
/// output cannot be created or written.
void writeOutput(const std::string& target, const uint8_t* data, size_t size,
                 const CannotCreate& cannotCreate);

/// The same for writers that write to a path of their own and report their own failures,
/// returning false on them: `writeFile` gets `target` itself, unless that is stdout or cannot seek
/// (a pipe, socket or character device); it then gets a temporary file (with the target's
/// extension) that is copied to stdout or the device afterwards.
/// Throws CliFailure (exit status 2) on any failure.
void writeOutputThroughFile(const std::string& target,
                            const std::function<bool(const std::string&)>& writeFile,
                            const CannotCreate& cannotCreate);

}  // namespace zandrel::cli
