#include "cli/StderrFeedback.h"

#include <cstdio>
#include <string>

namespace zandrel::cli {

namespace {

bool isWarningCaption(std::string_view caption) {
    constexpr std::string_view warning = "warning";
    if (caption.size() != warning.size()) return false;
    for (size_t i = 0; i < caption.size(); ++i) {
        char c = caption[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != warning[i]) return false;
    }
    return true;
}

}  // namespace

void reportToStderr(std::string_view caption, std::string_view text) {
    std::string line;
    line.reserve(caption.size() + text.size() + 3);
    line.append(caption).append(": ").append(text).push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void StderrFeedback::message(std::string_view text, std::string_view caption) {
    if (!isWarningCaption(caption)) reportedError_ = true;
    reportToStderr(caption, text);
}

bool StderrFeedback::askYesNo(std::string_view text, std::string_view caption) {
    // No one is there to answer: the cautious answer lets no questionable work go on.
    reportToStderr(caption, text);
    reportToStderr(caption, "(answered No)");
    return false;
}

void StderrFeedback::setCaption(std::string_view) {}

}  // namespace zandrel::cli
