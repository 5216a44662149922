#pragma once

#include <string_view>

namespace zandrel {

/// What document operations tell the user: message boxes and the main window's caption.
/// The main window implements it with real boxes; tests record the calls.
class UserFeedback {
public:
    virtual ~UserFeedback() = default;

    /// A modal message box with one OK button and no icon.
    virtual void message(std::string_view text, std::string_view caption) = 0;

    /// A modal Yes/No box without icon; true when the user answered Yes.
    virtual bool askYesNo(std::string_view text, std::string_view caption) = 0;

    /// The main window's caption becomes `caption`.
    virtual void setCaption(std::string_view caption) = 0;
};

}  // namespace zandrel
