#pragma once

#include <QStringList>

#include "ui/Dialogs.h"

class QWidget;

namespace zandrel {

/// The program's own dialogs: QMessageBox and QFileDialog, modal over the active window.
class QtDialogs : public Dialogs {
public:
    /// `parent` is the window the boxes belong to; none: the application's active window.
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    void message(std::string_view text, std::string_view caption) override;
    bool askYesNo(std::string_view text, std::string_view caption) override;
    void showError(std::string_view text, std::string_view title) override;
    std::optional<std::string> openFile(const FileDialogSettings& settings,
                                        const DialogStart& start) override;
    std::optional<std::string> saveFile(const FileDialogSettings& settings,
                                        const DialogStart& start) override;

private:
    QWidget* owner() const;
    std::optional<std::string> runFileDialog(const FileDialogSettings& settings, const DialogStart& start,
                                             bool save);

    QWidget* parent_;
};

/// The type list of a file dialog in QFileDialog's form: each entry's text followed by its
/// patterns in parentheses, "Binary files (*.bin) (*.bin)", to be shown with the details hidden.
QStringList QtNameFilters(const FileDialogSettings& settings);

}  // namespace zandrel
