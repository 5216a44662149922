#include "core/StrToInt.h"

namespace zandrel {

namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<int32_t> parseHex(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    uint32_t value = 0;
    bool significant = false;
    int significantDigits = 0;
    for (char c : digits) {
        int d = hexDigitValue(c);
        if (d < 0) return std::nullopt;
        if (d != 0) significant = true;
        if (significant && ++significantDigits > 8) return std::nullopt;
        value = (value << 4) | static_cast<uint32_t>(d);
    }
    return static_cast<int32_t>(value);
}

std::optional<int32_t> parseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulate the magnitude; the negative extreme is one larger than the positive one.
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    uint64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
        if (magnitude > limit) return std::nullopt;
    }
    int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> StrToInt(std::string_view text) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    text.remove_prefix(start);
    if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return parseHex(text.substr(1));
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseHex(text.substr(2));
    return parseDecimal(text);
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) { return StrToInt(text).value_or(fallback); }

}  // namespace zandrel
