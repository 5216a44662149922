#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/SettingsStore.h"

namespace zandrel {

/// A settings file of "[Section]" lines and "Key=Value" lines.
///
/// The file is read whole when the object is made and written whole by Flush. Writing keeps
/// the existing file's lines, their order and anything it does not understand; a value is
/// updated in place, a new key goes to the end of its section, a new section to the end of
/// the file. Section and key names match without regard to letter case.
class IniFile : public SettingsStore {
public:
    /// Reads `path` if it exists; a missing or unreadable file reads as empty.
    explicit IniFile(std::string path);

    const std::string& path() const { return path_; }

    /// The key's value, or `fallback` when the section or key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const override;

    /// The key's value read as an integer (decimal, or hexadecimal after "$", "x" or "0x"),
    /// or `fallback` when it is missing or not a number.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const override;

    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    void WriteInteger(std::string_view section, std::string_view key, int32_t value) override;

    /// Writes the file when something was written since it was read; it replaces the old file
    /// only once complete. Throws zandrel::Error("Unable to write to <path>") when that fails.
    void Flush() override;

    /// The file's text as Flush would write it.
    std::string text() const;

private:
    struct Line {
        std::string text;
    };

    /// Index of the section header line, or -1.
    int findSection(std::string_view section) const;
    /// Index of the key's line within the section that starts at `sectionLine`, or -1.
    int findKey(int sectionLine, std::string_view key) const;
    /// Index one past the last line of the section that starts at `sectionLine`.
    int sectionEnd(int sectionLine) const;

    std::string path_;
    std::vector<Line> lines_;
    std::string lineEnd_ = "\n";
    bool dirty_ = false;
};

/// Text values are read up to this many characters.
inline constexpr size_t kIniValueMaxLength = 2047;

}  // namespace zandrel
