#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zandrel::clitest {

/// What one run of zandrel-cli gave back.
struct RunResult {
    int status = -1;  ///< exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

/// A fresh directory for one test's files, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    /// The full path of `name` inside the directory.
    std::string path(const std::string& name) const;
    /// Writes `content` as the file `name` and returns its path.
    std::string write(const std::string& name, const std::string& content) const;
    /// The names of the files in the directory.
    std::vector<std::string> entries() const;

private:
    std::string dir_;
};

/// Runs the built zandrel-cli with `args` in `workDir`, capturing stdout, stderr and the status.
RunResult runCli(const std::vector<std::string>& args, const TempDir& workDir);

/// The content of a file, or the empty text when it cannot be read.
std::string readFile(const std::string& path);

bool fileExists(const std::string& path);

/// The value of `key` in the "key: value" lines of info's output, or "(missing)".
std::string infoValue(const std::string& info, const std::string& key);

/// The bytes as text, for comparing binary output.
std::string bytes(std::initializer_list<uint8_t> values);

}  // namespace zandrel::clitest
