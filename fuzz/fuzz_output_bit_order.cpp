// The output bit order text: reading any text into the array (checked against the C library's
// reading of numbers), then the text form and the permutation test for any layout, and reading
// the text form back.

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <numeric>
#include <string>

#include "FuzzSupport.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "core/Int32.h"

using namespace zandrel;
using zandrel::fuzz::EdgyInt32;

namespace {

using Order = std::array<int32_t, kOutputBitOrderSize>;

// Reads the numbers as strtoull with base 0 does (white space, sign, "0x" hexadecimal, leading
// "0" octal, else decimal), stopping at the text's end, its first NUL, 1024 numbers or the first
// place without a number, which gets a 0. `exact[i]` tells whether entry i fitted in 64 bits;
// beyond that the value stored is free.
struct ReferenceRead {
    int32_t count = 0;
    Order order{};
    std::array<bool, kOutputBitOrderSize> exact{};
};

ReferenceRead ReadReference(const std::string& raw, const Order& before) {
    ReferenceRead ref;
    ref.order = before;
    ref.exact.fill(true);
    const std::string text = raw.substr(0, raw.find('\0'));
    const char* pos = text.c_str();
    const char* const end = pos + text.size();
    while (ref.count < kOutputBitOrderSize && pos < end) {
        char* after = nullptr;
        errno = 0;
        const unsigned long long value = std::strtoull(pos, &after, 0);
        if (after == pos) {
            ref.order[static_cast<size_t>(ref.count)] = 0;
            break;
        }
        ref.order[static_cast<size_t>(ref.count)] = static_cast<int32_t>(static_cast<uint32_t>(value));
        ref.exact[static_cast<size_t>(ref.count)] = errno != ERANGE;
        ++ref.count;
        pos = after;
    }
    return ref;
}

bool IsPermutation(const Order& order, int32_t outputsPerRow) {
    if (outputsPerRow <= 0) return true;
    if (outputsPerRow > kOutputBitOrderSize) return false;
    std::vector<int32_t> first(order.begin(), order.begin() + outputsPerRow);
    std::sort(first.begin(), first.end());
    for (int32_t v = 0; v < outputsPerRow; ++v)
        if (first[static_cast<size_t>(v)] != v) return false;
    return true;
}

// The text form: the entries up to 1024 joined by single spaces, as many whole numbers as fit.
std::string ReferenceText(const Order& order, int32_t outputsPerRow, int32_t size) {
    const int64_t room = size > 0 ? int64_t{size} - 1 : 0;
    const int32_t entries = std::clamp(outputsPerRow, 0, kOutputBitOrderSize);
    std::string text;
    for (int32_t b = 0; b < entries; ++b) {
        const std::string piece = (b > 0 ? " " : "") + std::to_string(order[static_cast<size_t>(b)]);
        if (static_cast<int64_t>(text.size() + piece.size()) > room) break;
        text += piece;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    LayoutTexts edits;
    edits.BitsPerRowEdit = std::to_string(EdgyInt32(in));
    edits.BitsPerOutputEdit = std::to_string(EdgyInt32(in));
    const int32_t textSize = in.ConsumeBool() ? kOutputBitOrderSize : EdgyInt32(in);
    const bool scrambled = in.ConsumeBool();
    const std::string text = in.ConsumeRemainingBytesAsString();

    Document doc;
    // Entries that the text does not reach must keep their values, whatever they are.
    if (scrambled)
        for (int32_t i = 0; i < kOutputBitOrderSize; ++i)
            doc.OutputBitOrder[static_cast<size_t>(i)] = i32::sub(1023, i32::mul(i, 7));
    const Order before = doc.OutputBitOrder;

    const int32_t count = doc.OutputBitOrderStrToArray(text);
    const ReferenceRead ref = ReadReference(text, before);
    FUZZ_CHECK(count == ref.count);
    for (size_t i = 0; i < before.size(); ++i)
        FUZZ_CHECK(!ref.exact[i] || doc.OutputBitOrder[i] == ref.order[i]);

    const int32_t outputsBefore = doc.OutputsPerRow;
    std::string form;
    try {
        form = doc.OutputBitOrderArrayToStr(edits, textSize);
    } catch (const DivisionByZero&) {
        // Only a BitsPerOutput of 0 stops the layout reading, before OutputsPerRow changes.
        FUZZ_CHECK(doc.BitsPerOutput == 0);
        FUZZ_CHECK(doc.OutputsPerRow == outputsBefore);
        FUZZ_CHECK(doc.OutputBitOrderIsPermutation() == IsPermutation(doc.OutputBitOrder, doc.OutputsPerRow));
        return 0;
    }
    const int32_t outputs = doc.OutputsPerRow;
    FUZZ_CHECK(outputs == i32::div(doc.BitsPerRow, doc.BitsPerOutput));
    FUZZ_CHECK(form == ReferenceText(doc.OutputBitOrder, outputs, textSize));
    FUZZ_CHECK(doc.OutputBitOrderIsPermutation() == IsPermutation(doc.OutputBitOrder, outputs));

    // A complete text form reads back to the same entries and leaves the rest alone.
    if (outputs >= 1 && outputs <= kOutputBitOrderSize &&
        form == ReferenceText(doc.OutputBitOrder, outputs, INT32_MAX)) {
        Document again;
        FUZZ_CHECK(again.OutputBitOrderStrToArray(form) == outputs);
        FUZZ_CHECK(std::equal(again.OutputBitOrder.begin(), again.OutputBitOrder.begin() + outputs,
                              doc.OutputBitOrder.begin()));
        for (int32_t i = outputs; i < kOutputBitOrderSize; ++i)
            FUZZ_CHECK(again.OutputBitOrder[static_cast<size_t>(i)] == i);
    }
    return 0;
}
