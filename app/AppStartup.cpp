#include "app/AppStartup.h"

#include <QApplication>
#include <memory>

#include "app/IniFile.h"
#include "ui/ErrorReport.h"
#include "ui/ProgramWindows.h"
#include "ui/QtDialogs.h"
#include "ui/Text.h"

namespace zandrel {

std::string SettingsFileName(const std::string& executablePath) {
    const size_t nameStart = executablePath.find_last_of("/\\:");
    const size_t dot = executablePath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    return (hasExtension ? executablePath.substr(0, dot) : executablePath) + ".ini";
}

int RunZandrel(QApplication& application) {
    QtDialogs dialogs;
    ScopedErrorReporter errorBox(ErrorBoxReporter(dialogs));
    try {
        const std::string settingsFile = SettingsFileName(ToStdString(QApplication::applicationFilePath()));
        ProgramWindows windows(dialogs, [settingsFile] { return std::make_unique<IniFile>(settingsFile); });
        application.exec();
    } catch (const std::exception& error) {
        dialogs.reportError(error.what());
    } catch (...) {
        dialogs.reportError("");
    }
    return 0;
}

}  // namespace zandrel
