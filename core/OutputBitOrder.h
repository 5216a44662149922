#pragma once

#include <cstdint>
#include <string>

namespace zandrel {

inline constexpr const char* kOutputBitOrderWarningCaption = "WARNING";

/// The text of the warning shown when the output bit order is not a permutation.
std::string OutputBitOrderWarning(int32_t outputsPerRow);

}  // namespace zandrel
