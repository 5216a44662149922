// The text-to-integer rule against a plain reading of it, for any text.

#include <optional>
#include <string_view>

#include "FuzzSupport.h"
#include "core/StrToInt.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Leading spaces, then decimal with an optional sign within 32 bits, or hexadecimal after
// "$", "x", "X", "0x", "0X" with at most 8 significant digits; nothing may follow.
std::optional<int32_t> Reference(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::string_view hex;
    bool isHex = true;
    if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') {
        hex = text.substr(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = text.substr(2);
    } else {
        isHex = false;
    }
    if (isHex) {
        if (hex.empty()) return std::nullopt;
        uint64_t value = 0;
        for (char c : hex) {
            if (HexDigit(c) < 0) return std::nullopt;
            value = value * 16 + static_cast<uint64_t>(HexDigit(c));
            if (value > 0xFFFFFFFFull) return std::nullopt;
        }
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > int64_t{1} << 31) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<int32_t> expected = Reference(text);
    FUZZ_CHECK(zandrel::StrToInt(text) == expected);
    // Two fallbacks, so that a result equal to one of them cannot hide a wrong choice.
    FUZZ_CHECK(zandrel::StrToIntDef(text, 0) == expected.value_or(0));
    FUZZ_CHECK(zandrel::StrToIntDef(text, -7) == expected.value_or(-7));
    return 0;
}
