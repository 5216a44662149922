#pragma once

#include <stdexcept>
#include <string>

namespace zandrel::cli {

/// Exit statuses of zandrel-cli.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitData = 2;

/// Ends the run with `status`. A non-empty text is reported as "caption: text" on stderr; an empty
/// one means the message was already shown (a loader's own error, for instance).
class CliFailure : public std::runtime_error {
public:
    CliFailure(int status, std::string caption, const std::string& text)
        : std::runtime_error(text), status_(status), caption_(std::move(caption)) {}

    int status() const { return status_; }
    const std::string& caption() const { return caption_; }

private:
    int status_;
    std::string caption_;
};

}  // namespace zandrel::cli
