#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zandrel {

inline constexpr const char* kOutputBitOrderWarningCaption = "WARNING";

/// Room for the text form of all 1024 entries, each "-2147483648" plus a separator, and a NUL.
inline constexpr int32_t kOutputBitOrderWholeTextSize = 1024 * 12 + 1;

/// The text of the warning shown when the output bit order is not a permutation.
std::string OutputBitOrderWarning(int32_t outputsPerRow);

/// One number of an output bit order text read at the start of `text` (white space, sign,
/// then hexadecimal after "0x", octal after a leading "0", else decimal), with the number of
/// characters it took; nothing when no number starts there. Values beyond 32 bits wrap.
struct OrderNumber {
    int32_t value = 0;
    size_t length = 0;
};
std::optional<OrderNumber> ReadOrderNumber(std::string_view text);

}  // namespace zandrel
