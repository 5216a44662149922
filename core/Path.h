#pragma once

#include <string>
#include <string_view>

namespace zandrel {

/// The path up to and including its last ":", "\" or "/", or the empty text if it has none.
std::string DirectoryPart(std::string_view path);

/// The start of a file dialog: the folder it opens in and the file name preset in it.
struct DialogStart {
    std::string InitialDir;
    std::string FileName;
};

/// Before the open dialog runs: a non-empty working directory becomes the dialog's folder,
/// with an empty file name.
void PrepareOpenDialog(DialogStart& dialog, const std::string& workingDir);

/// Before a save dialog runs: when the working directory is not empty and differs from the
/// directory part of the dialog's current file name, the dialog starts there with an empty name.
void PrepareSaveDialog(DialogStart& dialog, const std::string& workingDir);

}  // namespace zandrel
