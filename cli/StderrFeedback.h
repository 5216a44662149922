#pragma once

#include "core/UserFeedback.h"

namespace zandrel::cli {

/// The command line's message boxes: each message becomes a "caption: text" line on stderr.
/// Questions are answered No, and there is no window caption to set.
class StderrFeedback : public UserFeedback {
public:
    void message(std::string_view text, std::string_view caption) override;
    bool askYesNo(std::string_view text, std::string_view caption) override;
    void setCaption(std::string_view caption) override;

    /// Whether any message other than a warning was shown.
    bool reportedError() const { return reportedError_; }

private:
    bool reportedError_ = false;
};

/// Writes "caption: text" and a line end to stderr.
void reportToStderr(std::string_view caption, std::string_view text);

}  // namespace zandrel::cli
