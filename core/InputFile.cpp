#include "core/InputFile.h"

#include <sys/stat.h>

#include <cstring>

namespace zandrel {

InputFile::InputFile(const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) return;
    // A directory opens for reading here, but every read of it fails: it is no document file.
    struct stat status {};
    const bool isDirectory = ::fstat(fileno(stream), &status) == 0 && S_ISDIR(status.st_mode);
    int64_t size = -1;
    if (!isDirectory && ::fseeko(stream, 0, SEEK_END) == 0) {
        size = ::ftello(stream);
        if (::fseeko(stream, 0, SEEK_SET) != 0) size = -1;
    }
    if (isDirectory || size < 0) {
        std::fclose(stream);
        return;
    }
    stream_ = stream;
    size_ = size;
}

InputFile::~InputFile() {
    if (stream_ != nullptr) std::fclose(stream_);
}

size_t InputFile::read(void* buffer, size_t count) {
    if (stream_ == nullptr || ended_ || count == 0) return 0;
    const size_t got = std::fread(buffer, 1, count, stream_);
    if (got < count) ended_ = true;
    return got;
}

bool InputFile::readLine(std::string& line) {
    line.clear();
    if (stream_ == nullptr || ended_) return false;
    for (;;) {
        const int c = getc_unlocked(stream_);
        if (c == EOF) {
            ended_ = true;
            return false;
        }
        line.push_back(static_cast<char>(c));
        if (c == '\n') return true;
    }
}

}  // namespace zandrel
