// The file commands: open a file, save the project, the image and the exported bytes.

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/Errors.h"
#include "render/ReplacingFile.h"
#include "render/SaveImage.h"
#include "ui/Mainfrm.h"

namespace zandrel {

const FileDialogSettings& TMainForm::OpenDialogSettings() {
    static const FileDialogSettings settings{
        {{"Project, text and binary files (*.bit;*.txt, *.bin)", "*.bit;*.txt;*.bin"},
         {"Bit project files (*.bit)", "*.bit"},
         {"Binary files (*.bin)", "*.bin"},
         {"Text files (*.txt)", "*.txt"}},
        ".txt",
        /*OverwritePrompt=*/false,
        /*PathMustExist=*/true,
        /*FileMustExist=*/true,
        ""};
    return settings;
}

const FileDialogSettings& TMainForm::ProjectSaveDialogSettings() {
    static const FileDialogSettings settings{
        {{"Bit project files (*.bit)", "*.bit"}}, ".bit", true, true, false, ""};
    return settings;
}

const FileDialogSettings& TMainForm::ImageSaveDialogSettings() {
    static const FileDialogSettings settings{
        {{"PNG images", "*.png"}, {"TIFF images", "*.tif"}, {"JPEG images", "*.jpg"}},
        ".png",
        true,
        false,
        false,
        ""};
    return settings;
}

const FileDialogSettings& TMainForm::BinSaveDialogSettings() {
    static const FileDialogSettings settings{
        {{"Binary files (*.bin)", "*.bin"}}, ".bin", true, true, false, ""};
    return settings;
}

namespace {

/// Runs a save dialog by the working-directory rule; the chosen path, which the dialog keeps.
std::optional<std::string> runSaveDialog(Dialogs& dialogs, const FileDialogSettings& settings,
                                         DialogStart& dialog, std::string& workingDir) {
    PrepareSaveDialog(dialog, workingDir);
    std::optional<std::string> path = dialogs.saveFile(settings, dialog);
    if (!path) return std::nullopt;
    dialog.FileName = *path;
    workingDir = DirectoryPart(*path);
    return path;
}

}  // namespace

void TMainForm::OpenBinFileButtonClick() {
    PrepareOpenDialog(FileOpenDialog, doc_.WorkingDir);
    const std::optional<std::string> path = dialogs_.openFile(OpenDialogSettings(), FileOpenDialog);
    if (!path) return;
    FileOpenDialog.FileName = *path;
    doc_.WorkingDir = DirectoryPart(*path);

    LayoutTexts edits = layoutTexts();
    const std::string ending = path->size() >= 4 ? path->substr(path->size() - 4) : *path;
    if (ending == ".txt") {
        doc_.LoadTextFile(*path, edits, feedback_);
    } else if (ending == ".bit") {
        doc_.LoadBitProject(*path, edits, feedback_);
    } else {
        doc_.LoadBinFile(*path, feedback_);
    }
    setEditTexts(edits);
    noteEverythingChanged();
    DrawBitsButtonClick();
}

void TMainForm::SaveBitProjButtonClick() {
    const std::optional<std::string> path =
        runSaveDialog(dialogs_, ProjectSaveDialogSettings(), BitFileSaveDialog, doc_.WorkingDir);
    if (!path) return;
    doc_.SaveBitProject(*path, layoutTexts(), feedback_);
}

void TMainForm::SaveImageButtonClick() {
    const std::optional<std::string> path =
        runSaveDialog(dialogs_, ImageSaveDialogSettings(), JpgSaveDialog, doc_.WorkingDir);
    if (!path) return;
    // The picture as the last refresh drew it, whatever the layout fields were read as since.
    if (drawnLayout() == shownLayout_) {
        SaveBitmapImage(doc_, *path);
        return;
    }
    Document shown = doc_;
    shown.BitSizeX = shownLayout_.BitSizeX;
    shown.BitSizeY = shownLayout_.BitSizeY;
    shown.BitGap = shownLayout_.BitGap;
    shown.ColGap = shownLayout_.ColGap;
    shown.BitsPerRow = shownLayout_.BitsPerRow;
    shown.BitsPerOutput = shownLayout_.BitsPerOutput;
    shown.ShownBitCount = std::min<int32_t>(shownLayout_.ShownBitCount, shown.BinDataLen);
    SaveBitmapImage(shown, *path);
}

void TMainForm::SaveBinButtonClick() {
    // Fewer than 8 bits make no byte: saving would write the bytes of earlier data.
    if (doc_.BinDataLen < 8) {
        dialogs_.message("No data to export.", "ERROR");
        return;
    }
    const std::optional<std::string> path =
        runSaveDialog(dialogs_, BinSaveDialogSettings(), BinSaveDialog, doc_.WorkingDir);
    if (!path) return;
    std::optional<ReplacingFile> file;
    try {
        file.emplace(*path);
    } catch (const Error&) {
        dialogs_.message("Unable to open .bin file to write!", "ERROR");
        return;
    }
    // The byte view is not rebuilt here, so it may now lag behind the cache.
    if (doc_.ExportBin(layoutTexts()) > 0) byteViewInSync_ = false;
    everythingExported();
    // A short write names the system's reason (a full disk, say); the earlier file then stays.
    const size_t length = static_cast<size_t>(std::max<int32_t>(doc_.ExportLen, 0));
    if (length > 0 && std::fwrite(doc_.ExportData.data(), 1, length, file->stream()) != length)
        throw Error(CannotWriteMessage(file->fullPath(), std::strerror(errno)));
    file->commit();
}

}  // namespace zandrel
