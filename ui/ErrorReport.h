#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace zandrel {

/// The application's title: the caption of the error box and of the main window at start.
inline constexpr const char* kApplicationTitle = "Zandrel: The ROM bit manipulation tool";

/// The text of the error box: the message, with a full stop appended when it is not empty and
/// its last character comes after "." in character order (a letter or digit gets one, "." "!"
/// ")" do not).
std::string ErrorReportText(std::string_view message);

/// Receives every error that escapes a command: its message, as raised.
using ErrorReporter = std::function<void(std::string_view message)>;

/// Installs the application's general error report; returns the one it replaces. Without one,
/// errors are written to the standard error stream.
ErrorReporter SetErrorReporter(ErrorReporter reporter);

/// Shows `error` in the application's general error report. Errors of other kinds than
/// std::exception are shown with an empty message.
void ReportError(const std::exception& error);
void ReportUnknownError();

/// Runs a command that an event started. An error escaping it abandons the command where it
/// arose and goes to the general error report; the program goes on with the next event. Every
/// entry from the event loop into a handler that can fail passes through here, so no exception
/// ever crosses Qt.
template <class Command>
void RunCommand(Command&& command) noexcept {
    try {
        command();
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        ReportUnknownError();
    }
}

/// Installs a reporter for the lifetime of the object and restores the previous one after it.
class ScopedErrorReporter {
public:
    explicit ScopedErrorReporter(ErrorReporter reporter) : previous_(SetErrorReporter(std::move(reporter))) {}
    ~ScopedErrorReporter() { SetErrorReporter(std::move(previous_)); }
    ScopedErrorReporter(const ScopedErrorReporter&) = delete;
    ScopedErrorReporter& operator=(const ScopedErrorReporter&) = delete;

private:
    ErrorReporter previous_;
};

}  // namespace zandrel
