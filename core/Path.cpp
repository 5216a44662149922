#include "core/Path.h"

namespace zandrel {

std::string DirectoryPart(std::string_view path) {
    const size_t last = path.find_last_of(":\\/");
    if (last == std::string_view::npos) return {};
    return std::string(path.substr(0, last + 1));
}

void PrepareOpenDialog(DialogStart& dialog, const std::string& workingDir) {
    if (workingDir.empty()) return;
    dialog.InitialDir = workingDir;
    dialog.FileName.clear();
}

void PrepareSaveDialog(DialogStart& dialog, const std::string& workingDir) {
    if (workingDir.empty() || workingDir == DirectoryPart(dialog.FileName)) return;
    dialog.InitialDir = workingDir;
    dialog.FileName.clear();
}

}  // namespace zandrel
