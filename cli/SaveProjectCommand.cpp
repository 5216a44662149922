#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "cli/OutputFile.h"

namespace zandrel::cli {

int runSaveProject(const CliOptions& options, StderrFeedback& feedback) {
    PreparedDocument prepared = prepareDocument(options, feedback);
    Document& doc = prepared.doc;
    // The project writer creates no file for an empty document and says nothing.
    if (doc.BinDataLen == 0) throw CliFailure(kExitData, "ERROR", "No data to save.");
    requireValidOrder(options, doc);
    // The writer replaces its file only once complete and reports its own failures.
    auto save = [&](const std::string& path) {
        return doc.SaveBitProject(path, prepared.edits, feedback) > 0;
    };
    writeOutputThroughFile(options.output, save,
                           CannotCreate{"Error", "Unable to open output binary file. Cannot save."});
    return kExitSuccess;
}

}  // namespace zandrel::cli
