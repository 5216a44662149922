#pragma once

#include <cstdint>
#include <string>

namespace zandrel {

// The byte view's dump: 16 bytes a line, each line "offset: XX XX ...  characters".
// Every function reads only data[0] .. data[length - 1]; a length of 0 (or less) reads nothing.

/// Digits of the dump's offsets: the byte count in hexadecimal, at least 4.
int DumpAddressWidth(int32_t length);

/// Number of dump lines for `length` bytes: one per 16 bytes, and one line for 0 bytes.
int32_t DumpLineCount(int32_t length);

/// Appends dump line `line` of the `length` bytes at `data` to `out`, without a line end.
/// A line outside 0 .. DumpLineCount(length) - 1 appends nothing; a `width` too small for
/// the offsets is widened.
void AppendDumpLine(std::string& out, const uint8_t* data, int32_t length, int32_t line, int width);

/// Dump line `line` of the `length` bytes at `data`.
std::string DumpLine(const uint8_t* data, int32_t length, int32_t line);

/// Appends `lineCount` dump lines from `firstLine` on (limited to the lines that exist),
/// each followed by `lineEnd`, in one allocation.
void AppendDumpLines(std::string& out, const uint8_t* data, int32_t length, int32_t firstLine,
                     int32_t lineCount, int width, char lineEnd = '\n');

/// The whole dump, every line followed by a line feed.
std::string DumpText(const uint8_t* data, int32_t length);

}  // namespace zandrel
