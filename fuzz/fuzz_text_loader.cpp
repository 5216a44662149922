// The bit text loader on any file: the cells, the detected row and group lengths, the warnings
// and the layout edits against the loader's rules applied one character at a time; then the
// export that the refresh after a load runs.

#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "core/LoadMessages.h"

using namespace zandrel;

namespace {

struct ReferenceText {
    std::vector<uint8_t> bits;
    int32_t bitsPerRow = 0;
    int32_t bitsPerOutput = 0;
    int warnings = 0;

    ReferenceText(const uint8_t* data, size_t size) {
        for (size_t p = 0; p < size; ++p) {
            const char c = static_cast<char>(data[p]);
            if (c == '0' || c == '1') bits.push_back(c == '1');
            if (c == '?') ++warnings;
            const auto count = static_cast<int32_t>(bits.size());
            if (c == '\n' && bitsPerRow == 0 && count != 0) bitsPerRow = count;
            if (c == ' ' && bitsPerOutput == 0 && count != 0) bitsPerOutput = count;
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::MemoryFile file;
    file.assign(data, size);

    // Earlier cells of about the file's size: their storage may be taken over by the load.
    Document doc;
    doc.Cells.assign(size + size % 5, 0xFF);
    doc.BinDataLen = static_cast<int32_t>(doc.Cells.size());
    LayoutTexts edits;
    edits.BitsPerOutputEdit = "keep";
    fuzz::RecordingFeedback feedback;

    const int32_t loaded = doc.LoadTextFile(file.path(), edits, feedback);
    const ReferenceText ref(data, size);

    FUZZ_CHECK(loaded == static_cast<int32_t>(ref.bits.size()));
    FUZZ_CHECK(doc.BinDataLen == loaded);
    FUZZ_CHECK(doc.Cells.size() == size);
    for (size_t i = 0; i < doc.Cells.size(); ++i)
        FUZZ_CHECK(doc.Cells[i] == (i < ref.bits.size() ? ref.bits[i] : 0));
    FUZZ_CHECK(doc.BitsPerRow == ref.bitsPerRow && doc.BitsPerOutput == ref.bitsPerOutput);
    FUZZ_CHECK(edits.BitsPerRowEdit == std::to_string(ref.bitsPerRow));
    FUZZ_CHECK(edits.BitsPerOutputEdit ==
               (ref.bitsPerOutput != 0 ? std::to_string(ref.bitsPerOutput) : "keep"));
    FUZZ_CHECK(feedback.count(messages::kUnknownBits, messages::kWarning) == ref.warnings);
    FUZZ_CHECK(static_cast<int>(feedback.messages.size()) == ref.warnings);
    FUZZ_CHECK(feedback.captions.size() == 1 &&
               feedback.captions[0] == std::string(kCaptionPrefix) + file.path());

    // The refresh after the load exports with the detected layout: a result or a shown error.
    try {
        const int32_t bytes = doc.ExportBin(edits);
        FUZZ_CHECK(bytes == 0 || (bytes == loaded / 8 && doc.ExportLen == bytes));
        FUZZ_CHECK(doc.ExportData.size() == static_cast<size_t>(doc.ExportLen));
    } catch (const Error&) {
    }
    return 0;
}
