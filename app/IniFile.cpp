#include "app/IniFile.h"

#include <fstream>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/Errors.h"
#include "core/StrToInt.h"

namespace zandrel {

namespace {

std::string_view trim(std::string_view text) {
    const char* blanks = " \t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

/// The name of a "[Name]" line, or nothing for another line.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = trim(line.substr(1, close - 1));
    return true;
}

/// Splits a "Key=Value" line; comment lines and lines without "=" have no key.
bool keyAndValue(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';') return false;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    key = trim(line.substr(0, equals));
    value = trim(line.substr(equals + 1));
    if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                              (value.front() == '\'' && value.back() == '\'')))
        value = value.substr(1, value.size() - 2);
    return true;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;
    std::ostringstream content;
    content << in.rdbuf();
    std::string text = content.str();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            if (lines_.empty()) lineEnd_ = "\r\n";
        }
        lines_.push_back({std::move(line)});
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

int IniFile::findSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (sectionName(lines_[i].text, name) && sameName(name, section)) return static_cast<int>(i);
    }
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const {
    size_t i = static_cast<size_t>(sectionLine) + 1;
    std::string_view name;
    while (i < lines_.size() && !sectionName(lines_[i].text, name)) ++i;
    return static_cast<int>(i);
}

int IniFile::findKey(int sectionLine, std::string_view key) const {
    int end = sectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        std::string_view name, value;
        if (keyAndValue(lines_[static_cast<size_t>(i)].text, name, value) && sameName(name, key)) return i;
    }
    return -1;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    int sectionLine = findSection(section);
    if (sectionLine < 0) return std::string(fallback);
    int keyLine = findKey(sectionLine, key);
    if (keyLine < 0) return std::string(fallback);
    std::string_view name, value;
    keyAndValue(lines_[static_cast<size_t>(keyLine)].text, name, value);
    return std::string(value.substr(0, kIniValueMaxLength));
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const {
    std::string value = ReadString(section, key, "");
    if (value.empty()) return fallback;
    return StrToIntDef(value, fallback);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    dirty_ = true;
    // A value keeps to its own line: a line break in it (a folder name may hold one) would turn
    // the rest into lines of their own, new keys and sections that change other settings.
    value = value.substr(0, value.find_first_of("\r\n"));
    int sectionLine = findSection(section);
    if (sectionLine < 0) {
        lines_.push_back({"[" + std::string(section) + "]"});
        lines_.push_back({std::string(key) + "=" + std::string(value)});
        return;
    }
    int keyLine = findKey(sectionLine, key);
    if (keyLine >= 0) {
        std::string& line = lines_[static_cast<size_t>(keyLine)].text;
        std::string name(trim(std::string_view(line).substr(0, line.find('='))));
        line = name + "=" + std::string(value);
        return;
    }
    // A new key goes after the section's last non-blank line, before blank separators.
    int insertAt = sectionEnd(sectionLine);
    while (insertAt > sectionLine + 1 && trim(lines_[static_cast<size_t>(insertAt - 1)].text).empty())
        --insertAt;
    lines_.insert(lines_.begin() + insertAt, Line{std::string(key) + "=" + std::string(value)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

std::string IniFile::text() const {
    std::string out;
    for (const Line& line : lines_) out += line.text + lineEnd_;
    return out;
}

void IniFile::Flush() {
    if (!dirty_) return;
    const std::string content = text();
    if (!WriteFileAtomically(path_, content.data(), content.size()))
        throw Error("Unable to write to " + path_);
    dirty_ = false;
}

}  // namespace zandrel
