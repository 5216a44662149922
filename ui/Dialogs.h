#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Path.h"
#include "ui/ErrorReport.h"

class QDialog;

namespace zandrel {

/// One entry of a file dialog's type list: the text shown and its patterns ("*.bit;*.txt").
struct FileFilter {
    std::string Description;
    std::string Patterns;
};

/// The fixed settings of one file dialog of the program.
struct FileDialogSettings {
    std::vector<FileFilter> Filters;  ///< in order; the first is chosen when the dialog opens
    std::string DefaultExt;           ///< given to a name typed without extension, e.g. ".bin"
    bool OverwritePrompt = false;     ///< a save dialog asks before a file is replaced
    bool PathMustExist = false;       ///< the chosen folder must exist
    bool FileMustExist = false;       ///< an open dialog accepts only existing files
    std::string Title;                ///< empty: the platform's own title
};

/// `path` with `defaultExt` appended when its file name has no extension; `defaultExt` may be
/// given with or without its leading ".". An empty `defaultExt` leaves the path as it is.
std::string WithDefaultExt(const std::string& path, std::string_view defaultExt);

/// Every message box and file dialog of the program. The windows never show one themselves:
/// the program installs the real Qt dialogs, tests a scripted stand-in.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// A modal message box with one OK button and no icon.
    virtual void message(std::string_view text, std::string_view caption) = 0;

    /// A modal box with Yes and No and no icon; true when the user answered Yes.
    virtual bool askYesNo(std::string_view text, std::string_view caption) = 0;

    /// A modal box with an error icon and one OK button.
    virtual void showError(std::string_view text, std::string_view title) = 0;

    /// A modal open dialog starting at `start`; the chosen full path, or nothing when cancelled.
    virtual std::optional<std::string> openFile(const FileDialogSettings& settings,
                                                const DialogStart& start) = 0;

    /// A modal save dialog starting at `start`; the chosen full path with the default
    /// extension applied, or nothing when cancelled. With OverwritePrompt the dialog has
    /// already asked before an existing file is chosen.
    virtual std::optional<std::string> saveFile(const FileDialogSettings& settings,
                                                const DialogStart& start) = 0;

    /// Shows a modal window (the select-pattern window) and returns its modal result.
    virtual int showModal(QDialog& dialog);

    /// The application's general error report: the error box titled with the application's
    /// title, holding the message with the full-stop rule applied.
    void reportError(std::string_view message) { showError(ErrorReportText(message), kApplicationTitle); }
};

/// An error reporter that shows every escaped error through `dialogs.reportError`;
/// `dialogs` must outlive the reporter.
inline ErrorReporter ErrorBoxReporter(Dialogs& dialogs) {
    return [&dialogs](std::string_view message) { dialogs.reportError(message); };
}

}  // namespace zandrel
