#pragma once

#include <cstdint>
#include <string>

namespace zandrel {

/// Digits of the dump's offsets: the byte count in hexadecimal, at least 4.
int DumpAddressWidth(int32_t length);

/// Number of dump lines for `length` bytes: one per 16 bytes, and one line for 0 bytes.
int32_t DumpLineCount(int32_t length);

/// Appends dump line `line` of the `length` bytes at `data` to `out`, without a line end.
void AppendDumpLine(std::string& out, const uint8_t* data, int32_t length, int32_t line, int width);

/// Dump line `line` of the `length` bytes at `data`.
std::string DumpLine(const uint8_t* data, int32_t length, int32_t line);

}  // namespace zandrel
