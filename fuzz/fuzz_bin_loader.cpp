// The raw binary loader on any file: eight cells per byte, least significant bit first, the
// caption and no message; then the export that the refresh after a load runs.

#include <string>

#include "FuzzSupport.h"
#include "core/Document.h"
#include "core/Errors.h"

using namespace zandrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::MemoryFile file;
    file.assign(data, size);

    // Earlier cells of about the new size, some set: their storage may be taken over by the load.
    Document doc;
    doc.Cells.assign(8 * size + size % 3, CELL_VALUE | CELL_SELECTED);
    doc.BinDataLen = static_cast<int32_t>(doc.Cells.size());
    fuzz::RecordingFeedback feedback;

    const int32_t loaded = doc.LoadBinFile(file.path(), feedback);
    FUZZ_CHECK(loaded == static_cast<int32_t>(8 * size));
    FUZZ_CHECK(doc.BinDataLen == loaded);
    FUZZ_CHECK(doc.Cells.size() == 8 * size);
    for (size_t i = 0; i < doc.Cells.size(); ++i) FUZZ_CHECK(doc.Cells[i] == ((data[i / 8] >> (i % 8)) & 1));
    FUZZ_CHECK(feedback.messages.empty());
    FUZZ_CHECK(feedback.captions.size() == 1 &&
               feedback.captions[0] == std::string(kCaptionPrefix) + file.path());

    // The start-up layout lies inside the export's domain, for any number of bits.
    LayoutTexts edits;
    try {
        const int32_t bytes = doc.ExportBin(edits);
        FUZZ_CHECK(bytes == 0 || (bytes == loaded / 8 && doc.ExportLen == bytes));
        FUZZ_CHECK(doc.ExportData.size() == static_cast<size_t>(doc.ExportLen));
    } catch (const Error&) {
        FUZZ_CHECK(false);
    }
    return 0;
}
