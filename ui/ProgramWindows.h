#pragma once

#include <memory>

#include "ui/Dialogs.h"
#include "ui/Mainfrm.h"

namespace zandrel {

class TExportForm;
class THexForm;
class TSelPatForm;

/// The program's four windows, made in their order and connected as the program connects them.
class ProgramWindows {
public:
    /// Makes the main window (which reads the settings), shows it and runs its first refresh,
    /// then makes the export options window, the byte view and the select-pattern window,
    /// hidden. An error of the first refresh is a start-up error: it leaves the constructor.
    ProgramWindows(Dialogs& dialogs, TMainForm::SettingsOpener openSettings);
    /// Destroys the windows, the main window last, which writes the settings file.
    ~ProgramWindows();

    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TMainForm& main() { return *main_; }
    TExportForm& exportForm() { return *exportForm_; }
    THexForm& hexForm() { return *hexForm_; }
    TSelPatForm& selPatForm() { return *selPatForm_; }

private:
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TExportForm> exportForm_;
    std::unique_ptr<THexForm> hexForm_;
    std::unique_ptr<TSelPatForm> selPatForm_;
};

}  // namespace zandrel
