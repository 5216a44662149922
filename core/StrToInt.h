#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zandrel {

/// The number that the whole text spells (leading spaces, then decimal with an optional
/// sign, or hexadecimal after "$", "x", "X", "0x" or "0X"), or nothing when it spells none.
std::optional<int32_t> StrToInt(std::string_view text);

/// StrToInt, or `fallback` when the text spells no number.
int32_t StrToIntDef(std::string_view text, int32_t fallback);

}  // namespace zandrel
