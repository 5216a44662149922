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
/// (core's AtomicFile), so a failed write leaves the old file as it was. Throws CliFailure
/// (exit status 2) when the output cannot be created or written.
void writeOutput(const std::string& target, const uint8_t* data, size_t size,
                 const CannotCreate& cannotCreate);

/// For writers that only write to a path: runs `writeFile` on a fresh temporary path and copies
/// the file it wrote to stdout. `writeFile` reports its own failures and returns false on them.
/// Throws CliFailure (exit status 2) on any failure.
void writeToStdoutThroughFile(const std::function<bool(const std::string&)>& writeFile);

}  // namespace zandrel::cli
