#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/Dialogs.h"
#include "ui/ErrorReport.h"

namespace zandrel::testing {

/// A scripted stand-in for the program's dialogs: records every box and file dialog it is
/// asked to show and answers from the queues it was given.
class FakeDialogs : public Dialogs {
public:
    struct Box {
        std::string kind;  // "message", "askYesNo" or "error"
        std::string text;
        std::string caption;
    };
    struct FileDialog {
        bool save;
        FileDialogSettings settings;
        DialogStart start;
    };

    std::vector<Box> boxes;
    std::vector<FileDialog> fileDialogs;
    std::deque<bool> yesNoAnswers;                       // the answers to askYesNo, in order
    std::deque<std::optional<std::string>> fileAnswers;  // a path, or nothing for Cancel

    void message(std::string_view text, std::string_view caption) override {
        boxes.push_back({"message", std::string(text), std::string(caption)});
    }
    bool askYesNo(std::string_view text, std::string_view caption) override {
        boxes.push_back({"askYesNo", std::string(text), std::string(caption)});
        if (yesNoAnswers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return false;
        }
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    void showError(std::string_view text, std::string_view title) override {
        boxes.push_back({"error", std::string(text), std::string(title)});
    }
    std::optional<std::string> openFile(const FileDialogSettings& settings,
                                        const DialogStart& start) override {
        return answerFile(false, settings, start);
    }
    std::optional<std::string> saveFile(const FileDialogSettings& settings,
                                        const DialogStart& start) override {
        return answerFile(true, settings, start);
    }

    size_t count(const std::string& kind) const {
        size_t n = 0;
        for (const Box& box : boxes) n += box.kind == kind ? 1 : 0;
        return n;
    }

private:
    std::optional<std::string> answerFile(bool save, const FileDialogSettings& settings,
                                          const DialogStart& start) {
        fileDialogs.push_back({save, settings, start});
        if (fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        std::optional<std::string> answer = fileAnswers.front();
        fileAnswers.pop_front();
        // Like the real dialog, a typed name without extension gets the default one.
        if (answer) answer = WithDefaultExt(*answer, settings.DefaultExt);
        return answer;
    }
};

/// Routes the general error report into `dialogs` while it lives.
class ErrorBoxInstalled {
public:
    explicit ErrorBoxInstalled(Dialogs& dialogs) : scoped_(ErrorBoxReporter(dialogs)) {}

private:
    ScopedErrorReporter scoped_;
};

}  // namespace zandrel::testing
