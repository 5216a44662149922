#pragma once

#include <string>

class QApplication;

namespace zandrel {

/// The settings file of an executable: its path with the extension replaced by ".ini", or
/// ".ini" appended when it has none.
std::string SettingsFileName(const std::string& executablePath);

/// Makes the four windows in their order, shows the main window with its first refresh and
/// runs the event loop until the main window closes. An error during start-up is shown and
/// ends the program. Returns 0.
int RunZandrel(QApplication& application);

}  // namespace zandrel
