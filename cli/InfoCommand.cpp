#include <string>

#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "cli/InputLoading.h"
#include "cli/OutputFile.h"
#include "core/Int32.h"
#include "core/OutputBitOrder.h"

namespace zandrel::cli {

namespace {

class Summary {
public:
    void add(std::string_view key, std::string_view value) {
        text_.append(key).append(": ").append(value).push_back('\n');
    }
    void add(std::string_view key, int32_t value) { add(key, std::to_string(value)); }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

/// Rows that hold at least one cell, a partial last row included, as the bit map counts them.
int32_t rowCount(const Document& doc) {
    return i32::div(i32::sub(i32::add(doc.BinDataLen, doc.BitsPerRow), 1), doc.BitsPerRow);
}

std::string_view endianName(int32_t endianMode) { return endianMode == 1 ? "big" : "little"; }

}  // namespace

int runInfo(const CliOptions& options, StderrFeedback& feedback) {
    PreparedDocument prepared = prepareDocument(options, feedback);
    Document& doc = prepared.doc;
    const int32_t rows = rowCount(doc);
    // The order text runs ReadLayoutParams again, with the same texts.
    const std::string order = doc.OutputBitOrderArrayToStr(prepared.edits, kOutputBitOrderWholeTextSize);
    const bool orderValid = doc.OutputBitOrderIsPermutation();
    // An export has a byte for every 8 bits; the summary does not run it, so it can describe a
    // layout that the export refuses.
    const int32_t exportBytes = doc.BinDataLen >= 8 ? doc.BinDataLen / 8 : 0;

    Summary summary;
    summary.add("Input", options.input);
    summary.add("InputFormat", inputFormatName(prepared.format));
    summary.add("Bits", doc.BinDataLen);
    summary.add("Rows", rows);
    summary.add("BitSizeX", doc.BitSizeX);
    summary.add("BitSizeY", doc.BitSizeY);
    summary.add("BitGap", doc.BitGap);
    summary.add("ColGap", doc.ColGap);
    summary.add("BitsPerRow", doc.BitsPerRow);
    summary.add("BitsPerOutput", doc.BitsPerOutput);
    summary.add("OutputsPerRow", doc.OutputsPerRow);
    summary.add("ReverseOutputs", doc.ReverseOutputs);
    summary.add("ReverseWithinOutCol", doc.ReverseWithinOutCol);
    summary.add("ROMLayout", doc.ROMLayout);
    summary.add("Endian", endianName(doc.EndianMode));
    summary.add("OutputBitOrder", order);
    summary.add("OutputBitOrderValid", orderValid ? "yes" : "no");
    summary.add("ExportBytes", exportBytes);
    writeOutput(kStdoutName, reinterpret_cast<const uint8_t*>(summary.text().data()), summary.text().size(),
                {});
    return kExitSuccess;
}

}  // namespace zandrel::cli
