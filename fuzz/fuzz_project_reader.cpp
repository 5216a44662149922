// The .bit project reader on any file, header and body: every header value against the C
// library's reading of the "%s = %d" pattern, the body bytes, the messages; then a project that
// loaded is written and read back unchanged, and exported as the refresh after a load does.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "core/LoadMessages.h"
#include "core/StrToInt.h"

using namespace zandrel;

namespace {

/// A directory for the projects this process writes, in memory where the system has room for it.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern =
            (std::filesystem::exists("/dev/shm") ? std::string("/dev/shm")
                                                 : std::filesystem::temp_directory_path().string()) +
            "/zandrel-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

/// What the header says, read line by line with sscanf("%s = %d") as the format reads.
struct ReferenceHeader {
    Document doc;  // holds the options and the output bit order that the header sets
    LayoutTexts edits;
    int32_t binDataLen = 0;
    bool warned = false;
    bool bodyFound = false;
    size_t bodyStart = 0;
    bool exact = true;  // false when a number had more digits than 32 bits surely hold

    ReferenceHeader(const uint8_t* data, size_t size, const LayoutTexts& startEdits) : edits(startEdits) {
        size_t start = 0;
        while (start < size) {
            const auto* feed = static_cast<const uint8_t*>(std::memchr(data + start, '\n', size - start));
            if (feed == nullptr) return;  // a last line cut short by the end of the file is not used
            const size_t end = static_cast<size_t>(feed - data) + 1;
            if (data[start] == '\n') {
                bodyFound = true;
                bodyStart = end;
                return;
            }
            line(std::string(reinterpret_cast<const char*>(data + start), end - start));
            start = end;
        }
    }

private:
    void line(std::string text) {
        text.resize(std::strlen(text.c_str()));  // the line is read as a C string
        std::vector<char> key(text.size() + 1);
        int number = 0;
        const int got = std::sscanf(text.c_str(), "%s = %d", key.data(), &number);
        if (got == 2) noteDigits(text);
        if (got != 2) warned = true;
        const std::string_view name = got >= 1 ? std::string_view(key.data()) : std::string_view();
        if (got == 2 && apply(name, number)) return;
        if (got >= 1 && name == "OutputBitOrder")
            doc.OutputBitOrderStrToArray(name.size() + 3 < text.size() ? text.substr(name.size() + 3) : "");
    }

    // sscanf's %d is undefined beyond the range of int: such files are not compared value by value.
    void noteDigits(const std::string& text) {
        size_t run = 0;
        for (char c : text) {
            run = (c >= '0' && c <= '9') ? run + 1 : 0;
            if (run > 9) exact = false;
        }
    }

    bool apply(std::string_view name, int32_t n) {
        if (name == "BitSizeX")
            edits.BitSizeXEdit = std::to_string(n);
        else if (name == "BitSizeY")
            edits.BitSizeYEdit = std::to_string(n);
        else if (name == "BitGap")
            edits.BitGapEdit = std::to_string(n);
        else if (name == "ColGap")
            edits.ColGapEdit = std::to_string(n);
        else if (name == "BitsPerRow")
            edits.BitsPerRowEdit = std::to_string(n);
        else if (name == "BitsPerOutput")
            edits.BitsPerOutputEdit = std::to_string(n);
        else if (name == "BinDataLen")
            binDataLen = n;
        else if (name == "ReverseOutputs")
            doc.ReverseOutputs = n;
        else if (name == "ReverseWithinOutCol")
            doc.ReverseWithinOutCol = n;
        else if (name == "ROMLayout")
            doc.ROMLayout = static_cast<int8_t>(n & 0xFF);
        else
            return false;
        return true;
    }
};

// Reading a project written from `doc` gives the same document back, without a message.
void CheckRoundTrip(Document& doc, const LayoutTexts& edits) {
    static const ScratchDirectory directory;
    const std::string path = directory.file("project.bit");
    fuzz::RecordingFeedback feedback;
    try {
        if (doc.SaveBitProject(path, edits, feedback) != doc.BinDataLen) return;
    } catch (const DivisionByZero&) {
        FUZZ_CHECK(StrToIntDef(edits.BitsPerOutputEdit, 0) == 0);  // no layout to write
        return;
    }
    FUZZ_CHECK(feedback.messages.empty());

    Document again;
    LayoutTexts againEdits;
    fuzz::RecordingFeedback againFeedback;
    FUZZ_CHECK(again.LoadBitProject(path, againEdits, againFeedback) == doc.BinDataLen);
    // Without outputs per row the order line is "OutputBitOrder = " with no number, which the
    // reader warns about as the format has it.
    const int expectedWarnings = doc.OutputsPerRow < 1 ? 1 : 0;
    FUZZ_CHECK(static_cast<int>(againFeedback.messages.size()) == expectedWarnings);
    FUZZ_CHECK(againFeedback.count(messages::kUnreadableHeader, messages::kWarning) == expectedWarnings);
    FUZZ_CHECK(again.Cells == doc.Cells);
    FUZZ_CHECK(againEdits.BitSizeXEdit == std::to_string(doc.BitSizeX));
    FUZZ_CHECK(againEdits.BitSizeYEdit == std::to_string(doc.BitSizeY));
    FUZZ_CHECK(againEdits.BitGapEdit == std::to_string(doc.BitGap));
    FUZZ_CHECK(againEdits.ColGapEdit == std::to_string(doc.ColGap));
    FUZZ_CHECK(againEdits.BitsPerRowEdit == std::to_string(doc.BitsPerRow));
    FUZZ_CHECK(againEdits.BitsPerOutputEdit == std::to_string(doc.BitsPerOutput));
    FUZZ_CHECK(again.ReverseOutputs == doc.ReverseOutputs);
    FUZZ_CHECK(again.ReverseWithinOutCol == doc.ReverseWithinOutCol);
    FUZZ_CHECK(again.ROMLayout == doc.ROMLayout);
    const int32_t outputs = doc.OutputsPerRow;
    if (outputs >= 1 && outputs <= kOutputBitOrderSize) {
        for (int32_t b = 0; b < outputs; ++b)
            FUZZ_CHECK(again.OutputBitOrder[static_cast<size_t>(b)] ==
                       doc.OutputBitOrder[static_cast<size_t>(b)]);
        if (outputs < kOutputBitOrderSize)
            FUZZ_CHECK(again.OutputBitOrder[static_cast<size_t>(outputs)] == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::MemoryFile file;
    file.assign(data, size);

    Document doc;
    doc.Cells.assign(size % 97, 0x85);  // earlier cells, which only a whole load replaces
    doc.BinDataLen = static_cast<int32_t>(doc.Cells.size());
    const std::vector<uint8_t> earlierCells = doc.Cells;
    LayoutTexts edits;
    edits.BitGapEdit = "not a number";  // a text that only a header line replaces
    const LayoutTexts startEdits = edits;
    fuzz::RecordingFeedback feedback;

    const int32_t loaded = doc.LoadBitProject(file.path(), edits, feedback);
    const ReferenceHeader ref(data, size, startEdits);

    FUZZ_CHECK(loaded >= 0);
    // A load that fails leaves the cells in use as they were.
    if (loaded == 0)
        FUZZ_CHECK(doc.Cells == earlierCells && doc.BinDataLen == static_cast<int32_t>(earlierCells.size()));
    if (loaded > 0) FUZZ_CHECK(loaded == doc.BinDataLen);
    FUZZ_CHECK(doc.Cells.size() >= static_cast<size_t>(doc.BinDataLen));
    FUZZ_CHECK(feedback.captions.size() == 1 &&
               feedback.captions[0] == std::string(kCaptionPrefix) + file.path());
    const int warnings = feedback.count(messages::kUnreadableHeader, messages::kWarning);
    const int errors = feedback.count(messages::kUnreadableData, messages::kErrorUpper) +
                       feedback.count(messages::kNoMemory, messages::kError);
    FUZZ_CHECK(warnings == (ref.warned ? 1 : 0));
    FUZZ_CHECK(errors == (loaded == 0 ? 1 : 0));
    FUZZ_CHECK(static_cast<int>(feedback.messages.size()) == warnings + errors);

    if (ref.exact) {
        FUZZ_CHECK(edits == ref.edits);
        FUZZ_CHECK(doc.ReverseOutputs == ref.doc.ReverseOutputs);
        FUZZ_CHECK(doc.ReverseWithinOutCol == ref.doc.ReverseWithinOutCol);
        FUZZ_CHECK(doc.ROMLayout == ref.doc.ROMLayout);
        FUZZ_CHECK(doc.OutputBitOrder == ref.doc.OutputBitOrder);
        const bool bodyComplete = ref.bodyFound && ref.binDataLen > 0 &&
                                  size - ref.bodyStart >= static_cast<size_t>(ref.binDataLen);
        FUZZ_CHECK(loaded == (bodyComplete ? ref.binDataLen : 0));
    }
    if (loaded > 0) {
        FUZZ_CHECK(ref.bodyFound && doc.Cells.size() == static_cast<size_t>(loaded));
        FUZZ_CHECK(std::memcmp(doc.Cells.data(), data + ref.bodyStart, doc.Cells.size()) == 0);
        CheckRoundTrip(doc, edits);
    }

    // The refresh after the load exports with the loaded layout: a result or a shown error.
    try {
        const int32_t bytes = doc.ExportBin(edits);
        FUZZ_CHECK(bytes == 0 || (bytes == doc.BinDataLen / 8 && doc.ExportLen == bytes));
        FUZZ_CHECK(doc.ExportData.size() == static_cast<size_t>(doc.ExportLen));
    } catch (const Error&) {
    }
    return 0;
}
