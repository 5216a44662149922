#pragma once

#include <functional>
#include <string_view>

#include "core/UserFeedback.h"
#include "ui/Dialogs.h"

namespace zandrel {

/// What the document's operations tell the user, shown through the Dialogs seam; the caption
/// goes to the window that owns the document.
class DialogsFeedback : public UserFeedback {
public:
    using CaptionSetter = std::function<void(std::string_view caption)>;

    DialogsFeedback(Dialogs& dialogs, CaptionSetter setCaption)
        : dialogs_(dialogs), setCaption_(std::move(setCaption)) {}

    void message(std::string_view text, std::string_view caption) override {
        dialogs_.message(text, caption);
    }
    bool askYesNo(std::string_view text, std::string_view caption) override {
        return dialogs_.askYesNo(text, caption);
    }
    void setCaption(std::string_view caption) override {
        if (setCaption_) setCaption_(caption);
    }

private:
    Dialogs& dialogs_;
    CaptionSetter setCaption_;
};

}  // namespace zandrel
