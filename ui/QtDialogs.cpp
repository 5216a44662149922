#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/Text.h"

namespace zandrel {

namespace {

QMessageBox::StandardButton runBox(QWidget* owner, QMessageBox::Icon icon, std::string_view text,
                                   std::string_view caption, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, ToQString(caption), ToQString(text), buttons, owner);
    box.setDefaultButton(defaultButton);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QStringList QtNameFilters(const FileDialogSettings& settings) {
    // QFileDialog takes the patterns from an entry's last parentheses, separated by spaces;
    // the dialog hides those (HideNameFilterDetails), so each entry shows its text as given.
    QStringList filters;
    for (const FileFilter& filter : settings.Filters) {
        const QString patterns = ToQString(filter.Patterns).replace(';', ' ').simplified();
        filters << ToQString(filter.Description) + " (" + patterns + ")";
    }
    return filters;
}

QWidget* QtDialogs::owner() const { return parent_ ? parent_ : QApplication::activeWindow(); }

void QtDialogs::message(std::string_view text, std::string_view caption) {
    runBox(owner(), QMessageBox::NoIcon, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::askYesNo(std::string_view text, std::string_view caption) {
    return runBox(owner(), QMessageBox::NoIcon, text, caption, QMessageBox::Yes | QMessageBox::No,
                  QMessageBox::Yes) == QMessageBox::Yes;
}

void QtDialogs::showError(std::string_view text, std::string_view title) {
    runBox(owner(), QMessageBox::Critical, text, title, QMessageBox::Ok, QMessageBox::Ok);
}

std::optional<std::string> QtDialogs::openFile(const FileDialogSettings& settings, const DialogStart& start) {
    return runFileDialog(settings, start, false);
}

std::optional<std::string> QtDialogs::saveFile(const FileDialogSettings& settings, const DialogStart& start) {
    return runFileDialog(settings, start, true);
}

std::optional<std::string> QtDialogs::runFileDialog(const FileDialogSettings& settings,
                                                    const DialogStart& start, bool save) {
    QFileDialog dialog(owner(), ToQString(settings.Title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !settings.FileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Qt's own dialog adds the default extension before it checks for an existing file, so
    // the overwrite prompt names the file that will be written.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.OverwritePrompt);
    QString suffix = ToQString(settings.DefaultExt);
    if (suffix.startsWith('.')) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    const QStringList filters = QtNameFilters(settings);
    if (!filters.isEmpty()) {
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setNameFilters(filters);
    }

    // A file name that holds a folder opens there; otherwise the dialog opens in InitialDir.
    const QString fileName = ToQString(start.FileName);
    const QString initialDir = ToQString(start.InitialDir);
    if (!fileName.isEmpty() && !DirectoryPart(start.FileName).empty()) {
        dialog.selectFile(fileName);
    } else {
        if (!initialDir.isEmpty()) dialog.setDirectory(initialDir);
        if (!fileName.isEmpty()) dialog.selectFile(fileName);
    }

    while (dialog.exec() == QDialog::Accepted) {
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) return std::nullopt;
        const std::string path = ToStdString(QDir::toNativeSeparators(chosen.front()));
        if (settings.PathMustExist && !QDir(QFileInfo(chosen.front()).absolutePath()).exists()) {
            message("The folder of the chosen file does not exist.", "ERROR");
            continue;
        }
        return WithDefaultExt(path, settings.DefaultExt);
    }
    return std::nullopt;
}

}  // namespace zandrel
