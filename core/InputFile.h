#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zandrel {

/// A document file opened for reading in binary mode, closed when this goes away. A path that
/// names a directory, or a stream whose size cannot be measured, does not count as opened.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool isOpen() const { return stream_ != nullptr; }

    /// The size in bytes measured when the file was opened (by seeking to its end).
    int64_t size() const { return size_; }

    /// Reads up to `count` bytes; fewer only at the end of the file or after a read error,
    /// after which nothing more is read.
    size_t read(void* buffer, size_t count);

    /// Reads one line up to and including its line feed, whatever its length. False, with
    /// whatever was read in `line`, when the end of the file or an error came first.
    bool readLine(std::string& line);

private:
    std::FILE* stream_ = nullptr;
    int64_t size_ = -1;
    bool ended_ = false;
};

}  // namespace zandrel
