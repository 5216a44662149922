#include "render/ReplacingFile.h"

#include <cstring>
#include <filesystem>

#include "core/Errors.h"

namespace zandrel {

namespace {

std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

std::string CannotCreateMessage(const std::string& fullPath, int error) {
    return "Cannot create file \"" + fullPath + "\". " + std::strerror(error);
}

}  // namespace

std::string CannotWriteMessage(const std::string& fullPath, const std::string& reason) {
    return "Cannot write file \"" + fullPath + "\". " + reason;
}

ReplacingFile::ReplacingFile(const std::string& path) : fullPath_(FullPath(path)), file_(fullPath_) {
    if (!file_.isOpen()) throw Error(CannotCreateMessage(fullPath_, file_.errorNumber()));
}

void ReplacingFile::commit() {
    if (file_.commit()) return;
    const int error = file_.errorNumber();
    if (file_.failure() == AtomicFile::Failure::Replace) throw Error(CannotCreateMessage(fullPath_, error));
    throw Error(
        CannotWriteMessage(fullPath_, error != 0 ? std::strerror(error) : "The data could not be written."));
}

}  // namespace zandrel
