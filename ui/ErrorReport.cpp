#include "ui/ErrorReport.h"

#include <cstdio>
#include <utility>

namespace zandrel {

namespace {

ErrorReporter& installedReporter() {
    static ErrorReporter reporter;
    return reporter;
}

void deliver(std::string_view message) {
    const ErrorReporter& reporter = installedReporter();
    if (reporter) {
        reporter(message);
        return;
    }
    const std::string text = ErrorReportText(message);
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

std::string ErrorReportText(std::string_view message) {
    std::string text(message);
    // Compared as unsigned 8-bit characters, so characters above 127 count as "after '.'".
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}

ErrorReporter SetErrorReporter(ErrorReporter reporter) {
    return std::exchange(installedReporter(), std::move(reporter));
}

void ReportError(const std::exception& error) { deliver(error.what()); }

void ReportUnknownError() { deliver({}); }

}  // namespace zandrel
