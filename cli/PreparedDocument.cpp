#include <string_view>

#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "cli/InputLoading.h"
#include "cli/OptionApplication.h"
#include "core/OutputBitOrder.h"

namespace zandrel::cli {

PreparedDocument prepareDocument(const CliOptions& options, StderrFeedback& feedback) {
    PreparedDocument prepared;
    prepared.format = options.inputFormat.value_or(inputFormatForPath(options.input));
    loadInput(options.input, prepared.format, prepared.doc, prepared.edits, feedback);
    applyLayoutOverrides(options.layout, prepared.edits);
    applyExportOverrides(options.exportOptions, prepared.doc);
    if (options.invert) invertCells(prepared.doc);
    prepared.doc.ReadLayoutParams(prepared.edits);
    return prepared;
}

void requireValidOrder(const CliOptions& options, const Document& doc) {
    if (options.allowInvalidOrder || doc.OutputBitOrderIsPermutation()) return;
    // The window asks whether to go on; here the first two paragraphs of that warning explain the
    // refusal and the option says how to go on anyway.
    const std::string warning = OutputBitOrderWarning(doc.OutputsPerRow);
    std::string refusal;
    size_t begin = 0;
    for (int paragraph = 0; paragraph < 2 && begin < warning.size(); ++paragraph) {
        size_t end = warning.find("\n\n", begin);
        if (end == std::string::npos) end = warning.size();
        if (!refusal.empty()) refusal.push_back('\n');
        refusal.append(warning, begin, end - begin);
        begin = end + 2;
    }
    refusal += "\n(--allow-invalid-order exports it anyway)";
    throw CliFailure(kExitData, "ERROR", refusal);
}

}  // namespace zandrel::cli
