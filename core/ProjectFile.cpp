// The .bit project file: a header of "key = number" lines, an empty line, then the cells.

#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "core/AtomicFile.h"
#include "core/Document.h"
#include "core/InputFile.h"
#include "core/LoadMessages.h"
#include "core/OutputBitOrder.h"

namespace zandrel {

namespace {

bool isCSpace(char c) { return c == ' ' || (c >= 9 && c <= 13); }

/// What the pattern "%s = %d" yields for a header line: the key (a run of non-blank
/// characters after leading white space), and the number when the rest of the pattern matches.
struct HeaderLine {
    std::string_view key;
    std::optional<int32_t> number;
};

HeaderLine matchHeaderLine(std::string_view line) {
    HeaderLine match;
    size_t p = 0;
    while (p < line.size() && isCSpace(line[p])) ++p;
    const size_t keyStart = p;
    while (p < line.size() && !isCSpace(line[p])) ++p;
    match.key = line.substr(keyStart, p - keyStart);
    if (match.key.empty()) return match;
    while (p < line.size() && isCSpace(line[p])) ++p;
    if (p >= line.size() || line[p] != '=') return match;
    ++p;
    while (p < line.size() && isCSpace(line[p])) ++p;
    bool negative = false;
    if (p < line.size() && (line[p] == '+' || line[p] == '-')) negative = line[p++] == '-';
    const size_t digitsStart = p;
    uint32_t magnitude = 0;  // numbers beyond 32 bits wrap
    for (; p < line.size() && line[p] >= '0' && line[p] <= '9'; ++p)
        magnitude = magnitude * 10 + static_cast<uint32_t>(line[p] - '0');
    if (p == digitsStart) return match;
    match.number = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
    return match;
}

void appendLine(std::string& header, const char* key, int32_t value) {
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%s = %d\n", key, value);
    header.append(line, static_cast<size_t>(length));
}

}  // namespace

bool Document::applyProjectKey(std::string_view key, int32_t number, LayoutTexts& edits) {
    std::string* const edit = key == "BitSizeX"        ? &edits.BitSizeXEdit
                              : key == "BitSizeY"      ? &edits.BitSizeYEdit
                              : key == "BitGap"        ? &edits.BitGapEdit
                              : key == "ColGap"        ? &edits.ColGapEdit
                              : key == "BitsPerRow"    ? &edits.BitsPerRowEdit
                              : key == "BitsPerOutput" ? &edits.BitsPerOutputEdit
                                                       : nullptr;
    if (edit != nullptr) {
        *edit = std::to_string(number);
    } else if (key == "BinDataLen") {
        BinDataLen = number;
    } else if (key == "ReverseOutputs") {
        ReverseOutputs = number;
    } else if (key == "ReverseWithinOutCol") {
        ReverseWithinOutCol = number;
    } else if (key == "ROMLayout") {
        ROMLayout = static_cast<int8_t>(static_cast<uint8_t>(number & 0xFF));
    } else {
        return false;
    }
    return true;
}

int32_t Document::LoadBitProject(const std::string& path, LayoutTexts& edits, UserFeedback& feedback) {
    InputFile file(path);
    if (!file.isOpen()) {
        feedback.message(messages::kCannotOpenBinary, messages::kError);
        return 0;
    }
    feedback.setCaption(std::string(kCaptionPrefix) + path);
    // The cells in use stay until the file's cells are read whole: a damaged project must not
    // cost the user the ROM they are working on.
    const int32_t heldBefore = BinDataLen;
    BinDataLen = 0;

    bool warned = false;
    int64_t headerBytes = 0;
    std::string line;
    // A last line that the end of the file cuts short is not used.
    while (file.readLine(line)) {
        headerBytes += static_cast<int64_t>(line.size());
        if (line[0] == '\n') break;
        const std::string_view text = std::string_view(line).substr(0, line.find('\0'));
        const HeaderLine match = matchHeaderLine(text);
        if (!match.number && !warned) {
            feedback.message(messages::kUnreadableHeader, messages::kWarning);
            warned = true;
        }
        // A known key whose number could not be read is skipped after the warning.
        if (match.number && applyProjectKey(match.key, *match.number, edits)) continue;
        if (match.key == "OutputBitOrder") {
            const size_t valueStart = match.key.size() + 3;
            OutputBitOrderStrToArray(valueStart < text.size() ? text.substr(valueStart) : std::string_view());
        }
    }

    const int32_t count = BinDataLen;
    BinDataLen = heldBefore;
    if (count <= 0 || count > file.size() - headerBytes) {
        feedback.message(messages::kUnreadableData, messages::kErrorUpper);
        return 0;
    }
    std::vector<uint8_t> cells;
    try {
        cells.assign(static_cast<size_t>(count), 0);
    } catch (const std::bad_alloc&) {
        feedback.message(messages::kNoMemory, messages::kError);
        return 0;
    }
    if (file.read(cells.data(), static_cast<size_t>(count)) != static_cast<size_t>(count)) {
        feedback.message(messages::kUnreadableData, messages::kErrorUpper);
        return 0;
    }
    Cells.swap(cells);
    cellsReplaced();
    BinDataLen = count;
    return BinDataLen;
}

int32_t Document::SaveBitProject(const std::string& path, const LayoutTexts& edits, UserFeedback& feedback) {
    if (BinDataLen <= 0) return 0;
    // The layout is read before the file is touched: an error here leaves the old file alone.
    ReadLayoutParams(edits);
    const std::string order = OutputBitOrderArrayToStr(edits, kOutputBitOrderWholeTextSize);

    std::string header;
    appendLine(header, "BitSizeX", BitSizeX);
    appendLine(header, "BitSizeY", BitSizeY);
    appendLine(header, "BitGap", BitGap);
    appendLine(header, "ColGap", ColGap);
    appendLine(header, "BitsPerRow", BitsPerRow);
    appendLine(header, "BitsPerOutput", BitsPerOutput);
    appendLine(header, "ReverseOutputs", ReverseOutputs);
    appendLine(header, "ReverseWithinOutCol", ReverseWithinOutCol);
    appendLine(header, "ROMLayout", ROMLayout);
    header += "OutputBitOrder = " + order + "\n";
    appendLine(header, "BinDataLen", BinDataLen);
    header += "\n";

    AtomicFile file(path);
    if (!file.isOpen()) {
        feedback.message(messages::kCannotCreateProject, messages::kError);
        return 0;
    }
    const size_t held = std::min(Cells.size(), static_cast<size_t>(BinDataLen));
    bool written = file.write(header) && file.write(Cells.data(), held);
    // Cells the store lacks are written as 0, so the body always has BinDataLen bytes.
    for (size_t missing = static_cast<size_t>(BinDataLen) - held; written && missing > 0;) {
        static constexpr uint8_t kZeros[4096] = {};
        const size_t part = std::min(missing, sizeof kZeros);
        written = file.write(kZeros, part);
        missing -= part;
    }
    if (!written || !file.commit()) {
        feedback.message(messages::kCannotWriteProject, messages::kError);
        return 0;
    }
    feedback.setCaption(std::string(kCaptionPrefix) + path);
    return BinDataLen;
}

}  // namespace zandrel
