#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zandrel {

/// The settings file as the main window reads and writes it: sections of keys with integer
/// and text values. The program's implementation is the INI file beside the executable.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual std::string ReadString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const = 0;
    virtual int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const = 0;
    virtual void WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
    virtual void WriteInteger(std::string_view section, std::string_view key, int32_t value) = 0;

    /// Makes every write reach the file; throws zandrel::Error when it cannot.
    virtual void Flush() = 0;
};

}  // namespace zandrel
