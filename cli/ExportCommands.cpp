#include <string>

#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "cli/OutputFile.h"
#include "core/HexDump.h"

namespace zandrel::cli {

namespace {

/// Runs the export of a prepared document; there must be at least one byte to export.
void exportBytes(const CliOptions& options, PreparedDocument& prepared) {
    Document& doc = prepared.doc;
    if (doc.BinDataLen < 8) throw CliFailure(kExitData, "ERROR", "No data to export.");
    // The export refuses a layout outside its domain first: that is the fault to name then,
    // rather than an order that such a layout cannot have.
    doc.ExportBin(prepared.edits);
    requireValidOrder(options, doc);
}

}  // namespace

int runExport(const CliOptions& options, StderrFeedback& feedback) {
    PreparedDocument prepared = prepareDocument(options, feedback);
    exportBytes(options, prepared);
    const Document& doc = prepared.doc;
    writeOutput(options.output, doc.ExportData.data(), static_cast<size_t>(doc.ExportLen),
                CannotCreate{"ERROR", "Unable to open .bin file to write!"});
    return kExitSuccess;
}

int runDump(const CliOptions& options, StderrFeedback& feedback) {
    PreparedDocument prepared = prepareDocument(options, feedback);
    exportBytes(options, prepared);
    const Document& doc = prepared.doc;
    const uint8_t* data = doc.ExportData.data();
    const int32_t length = doc.ExportLen;
    const int width = DumpAddressWidth(length);
    const int32_t lines = DumpLineCount(length);

    // The lines go out in blocks, so a dump of many thousand lines costs few writes and little memory.
    constexpr int32_t kLinesPerBlock = 4096;
    std::string block;
    for (int32_t first = 0; first < lines; first += kLinesPerBlock) {
        block.clear();
        AppendDumpLines(block, data, length, first, kLinesPerBlock, width);
        writeOutput(kStdoutName, reinterpret_cast<const uint8_t*>(block.data()), block.size(), {});
    }
    return kExitSuccess;
}

}  // namespace zandrel::cli
