#include "CliRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace zandrel::clitest {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zandrel-cli-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::string TempDir::path(const std::string& name) const { return dir_ + "/" + name; }

std::string TempDir::write(const std::string& name, const std::string& content) const {
    std::string file = path(name);
    std::ofstream out(file, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return file;
}

std::vector<std::string> TempDir::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    return names;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool fileExists(const std::string& path) { return fs::exists(path); }

std::string bytes(std::initializer_list<uint8_t> values) {
    std::string text;
    for (uint8_t value : values) text.push_back(static_cast<char>(value));
    return text;
}

std::string infoValue(const std::string& info, const std::string& key) {
    std::istringstream lines(info);
    std::string line;
    const std::string prefix = key + ": ";
    while (std::getline(lines, line)) {
        if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
    }
    return "(missing)";
}

RunResult runCli(const std::vector<std::string>& args, const TempDir& workDir) {
    // The captured streams go to files outside the test's own directory listing.
    TempDir capture;
    const std::string outPath = capture.path("stdout");
    const std::string errPath = capture.path("stderr");

    std::vector<std::string> argvText{ZANDREL_CLI};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.path("").c_str());

    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + argvText[0]);

    int waitStatus = 0;
    while (waitpid(pid, &waitStatus, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("cannot wait for " + argvText[0]);
    }
    RunResult result;
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

}  // namespace zandrel::clitest
