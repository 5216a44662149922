#pragma once

// The main window with its three secondary windows, wired as the program wires them, on a
// settings file in a fresh temporary folder and with scripted dialogs.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "FakeDialogs.h"
#include "app/IniFile.h"
#include "ui/BitView.h"
#include "ui/Exportfrm.h"
#include "ui/Hexfrm.h"
#include "ui/Mainfrm.h"
#include "ui/ProgramWindows.h"
#include "ui/Selpatfrm.h"

namespace zandrel::testing {

/// Dialogs that also answer modal windows: each answer may fill the window, then gives its result.
class MainFormDialogs : public FakeDialogs {
public:
    std::deque<std::function<int(QDialog&)>> modalAnswers;

    int showModal(QDialog& dialog) override {
        if (modalAnswers.empty()) {
            ADD_FAILURE() << "unexpected modal window";
            return 0;
        }
        auto answer = std::move(modalAnswers.front());
        modalAnswers.pop_front();
        return answer(dialog);
    }
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("zandrel-main-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        settingsPath = (dir / "zandrel.ini").string();
    }

    void TearDown() override {
        closeWindows();
        std::filesystem::remove_all(dir);
    }

    /// Makes the windows in the program's order and runs the first refresh.
    void start() {
        windows = std::make_unique<ProgramWindows>(
            dialogs, [this] { return std::make_unique<IniFile>(settingsPath); });
        main = &windows->main();
        exportForm = &windows->exportForm();
        hexForm = &windows->hexForm();
        selPatForm = &windows->selPatForm();
    }

    /// Destroys the windows as the program ends, which writes the settings file.
    void closeWindows() {
        main = nullptr;
        exportForm = nullptr;
        hexForm = nullptr;
        selPatForm = nullptr;
        windows.reset();
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    void writeFile(const std::string& name, const std::string& content) const {
        std::ofstream(path(name), std::ios::binary) << content;
    }

    std::string readFile(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    /// Opens `name` of the test folder through the open command.
    void open(const std::string& name) {
        dialogs.fileAnswers.push_back(path(name));
        main->OpenBinFileButtonClick();
    }

    /// Presses Enter in a layout edit, as the user does.
    void enterIn(QLineEdit* edit) { QTest::keyClick(edit, Qt::Key_Return); }

    /// The client position of the view that shows bitmap pixel (x, y).
    QPoint clientOf(int x, int y) const {
        BitView* view = main->BitImageEnView;
        return QPoint(static_cast<int>(x * view->ZoomX() / 100.0) + view->ImageOriginX() - view->ViewX(),
                      static_cast<int>(y * view->ZoomY() / 100.0) + view->ImageOriginY() - view->ViewY());
    }

    MainFormDialogs dialogs;
    ErrorBoxInstalled errors{dialogs};
    std::filesystem::path dir;
    std::string settingsPath;
    std::unique_ptr<ProgramWindows> windows;
    TMainForm* main = nullptr;
    TExportForm* exportForm = nullptr;
    THexForm* hexForm = nullptr;
    TSelPatForm* selPatForm = nullptr;
};

}  // namespace zandrel::testing
