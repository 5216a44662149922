#include "ui/Dialogs.h"

#include <QDialog>

namespace zandrel {

std::string WithDefaultExt(const std::string& path, std::string_view defaultExt) {
    if (defaultExt.starts_with('.')) defaultExt.remove_prefix(1);
    if (defaultExt.empty() || path.empty()) return path;
    const size_t nameStart = path.find_last_of(":\\/");
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    if (hasExtension) return path;
    return path + "." + std::string(defaultExt);
}

int Dialogs::showModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace zandrel
