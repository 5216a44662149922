// The raw binary and bit text loaders.

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/InputFile.h"
#include "core/LoadMessages.h"
#include "core/TextKernels.h"

namespace zandrel {

namespace {

/// Bytes read at a time: big enough for few calls, small enough to stay in the cache.
constexpr size_t kReadBlock = 256 * 1024;

/// A raw binary file of this many bytes or more has more bits than BinDataLen can count.
constexpr int64_t kBinaryFileLimit = int64_t{1} << 28;

/// For each byte value, its eight bits as eight cells of 0 or 1, least significant first.
struct ByteCells {
    std::array<uint64_t, 256> cells{};
    constexpr ByteCells() {
        for (int v = 0; v < 256; ++v)
            for (int j = 0; j < 8; ++j)
                if ((v >> j) & 1) cells[static_cast<size_t>(v)] |= uint64_t{1} << (8 * j);
    }
};
constexpr ByteCells kByteCells;

void expandBytes(const uint8_t* bytes, size_t count, uint8_t* cells) {
    for (size_t i = 0; i < count; ++i) {
        // Byte order of the host decides where each cell's byte lies in the 64-bit pattern.
        uint64_t eight = kByteCells.cells[bytes[i]];
        if constexpr (std::endian::native == std::endian::big) eight = __builtin_bswap64(eight);
        std::memcpy(cells + 8 * i, &eight, 8);
    }
}

// Character classes of the bit text: a bit and its value, or a character that may need a
// look (a "?", a line feed while the row length is unknown, a space while the group length is).
constexpr uint8_t kIsBit = 0x10;
constexpr uint8_t kSpecial = 0x20;

/// The scanner of a bit text, fed block by block.
class BitTextScanner {
public:
    BitTextScanner(uint8_t* cells, int64_t capacity, UserFeedback& feedback)
        : cells_(cells), capacity_(capacity), feedback_(feedback) {
        classes_['0'] = kIsBit | 0;
        classes_['1'] = kIsBit | 1;
        classes_['?'] = kSpecial;
        classes_['\n'] = kSpecial;
        classes_[' '] = kSpecial;
    }

    void scan(const uint8_t* text, size_t length) {
        // While fewer characters than cells have come, cell `count_` exists for every character.
        const size_t safe =
            static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(length), capacity_ - seen_));
        scanWithRoom(text, safe);
        for (size_t p = safe; p < length; ++p) scanOne(text[p]);
        seen_ += static_cast<int64_t>(length);
    }

    int32_t bitCount() const { return static_cast<int32_t>(count_); }
    int32_t bitsPerRow() const { return bitsPerRow_; }
    int32_t bitsPerOutput() const { return bitsPerOutput_; }

private:
    void scanWithRoom(const uint8_t* text, size_t length) {
        size_t p = 0;
        while (p < length) {
            // Runs of plain text (bits and characters to skip) go through the wide scanner;
            // it stops before any character that needs a look.
            const uint8_t lineFeed = bitsPerRow_ == 0 ? '\n' : '?';
            const uint8_t space = bitsPerOutput_ == 0 ? ' ' : '?';
            p += textkernels::scanPlainText(text + p, length - p, cells_, count_, lineFeed, space);
            const size_t end = std::min(length, p + textkernels::kPlainTextChunk);
            for (; p < end; ++p) scanOne(text[p]);
        }
    }

    void scanOne(uint8_t c) {
        const uint8_t kind = classes_[c];
        if (kind & kSpecial) {
            special(c);
        } else if ((kind & kIsBit) && count_ < capacity_) {
            cells_[count_++] = kind & 1;
        }
    }

    void special(uint8_t c) {
        if (c == '?') {
            feedback_.message(messages::kUnknownBits, messages::kWarning);
        } else if (c == '\n' && count_ != 0) {
            bitsPerRow_ = static_cast<int32_t>(count_);
            classes_['\n'] = 0;
        } else if (c == ' ' && count_ != 0) {
            bitsPerOutput_ = static_cast<int32_t>(count_);
            classes_[' '] = 0;
        }
    }

    uint8_t* cells_;
    int64_t capacity_;
    UserFeedback& feedback_;
    std::array<uint8_t, 256> classes_{};
    int64_t count_ = 0;
    int64_t seen_ = 0;
    int32_t bitsPerRow_ = 0;
    int32_t bitsPerOutput_ = 0;
};

}  // namespace

bool Document::prepareCellsForLoad(size_t count) {
    // Storage of about the right size is taken over as it is: no fresh pages to fault in.
    if (Cells.capacity() >= count && Cells.capacity() / 2 <= count) {
        Cells.resize(count);
        return true;
    }
    try {
        std::vector<uint8_t> fresh(count);
        Cells.swap(fresh);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

int32_t Document::LoadBinFile(const std::string& path, UserFeedback& feedback) {
    InputFile file(path);
    if (!file.isOpen()) {
        feedback.message(messages::kCannotOpenBinary, messages::kError);
        return 0;
    }
    const int64_t size = file.size();
    if (size >= kBinaryFileLimit) {
        feedback.message(messages::kBinaryTooLarge, messages::kError);
        return 0;
    }
    if (!prepareCellsForLoad(static_cast<size_t>(size) * 8)) {
        feedback.message(messages::kNoMemory, messages::kError);
        return 0;
    }
    feedback.setCaption(std::string(kCaptionPrefix) + path);

    std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(size, kReadBlock)));
    int64_t stored = 0;
    while (stored < size) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(size - stored, kReadBlock));
        const size_t got = file.read(block.data(), want);
        expandBytes(block.data(), got, Cells.data() + 8 * stored);
        stored += static_cast<int64_t>(got);
        if (got < want) break;
    }
    // A file that shrank leaves cells it did not fill: they hold 0, as new cells do.
    std::fill(Cells.begin() + 8 * stored, Cells.end(), uint8_t{0});
    BinDataLen = static_cast<int32_t>(8 * stored);
    cellsReplaced();
    return BinDataLen;
}

int32_t Document::LoadTextFile(const std::string& path, LayoutTexts& edits, UserFeedback& feedback) {
    InputFile file(path);
    if (!file.isOpen()) {
        feedback.message(messages::kCannotOpenText, messages::kError);
        return 0;
    }
    const int64_t size = file.size();
    if (size > INT32_MAX) {
        feedback.message(messages::kTextTooLarge, messages::kError);
        return 0;
    }
    if (!prepareCellsForLoad(static_cast<size_t>(size))) {
        feedback.message(messages::kNoMemory, messages::kError);
        return 0;
    }
    feedback.setCaption(std::string(kCaptionPrefix) + path);
    BitsPerRow = 0;
    BitsPerOutput = 0;

    BitTextScanner scanner(Cells.data(), size, feedback);
    std::vector<uint8_t> block(kReadBlock);
    for (;;) {
        const size_t got = file.read(block.data(), block.size());
        scanner.scan(block.data(), got);
        if (got < block.size()) break;
    }
    std::fill(Cells.begin() + scanner.bitCount(), Cells.end(), uint8_t{0});
    BinDataLen = scanner.bitCount();
    BitsPerRow = scanner.bitsPerRow();
    BitsPerOutput = scanner.bitsPerOutput();
    cellsReplaced();

    edits.BitsPerRowEdit = std::to_string(BitsPerRow);
    if (BitsPerOutput != 0) edits.BitsPerOutputEdit = std::to_string(BitsPerOutput);
    return BinDataLen;
}

}  // namespace zandrel
