#pragma once

#include "cli/CommandLine.h"
#include "cli/StderrFeedback.h"
#include "core/Document.h"
#include "core/LayoutTexts.h"

namespace zandrel::cli {

/// The document as a command sees it: loaded, with the command line's options applied and the
/// layout read.
struct PreparedDocument {
    Document doc;
    LayoutTexts edits;
    InputFormat format = InputFormat::Bin;
};

/// Loads the input, applies the options over what it brought and reads the layout.
/// Throws CliFailure or the core's Error (a layout value of 0 gives "Division by zero").
PreparedDocument prepareDocument(const CliOptions& options, StderrFeedback& feedback);

/// Refuses an output bit order that is not a permutation, unless the options allow it.
void requireValidOrder(const CliOptions& options, const Document& doc);

/// The commands; each returns the exit status or throws CliFailure or the core's Error.
int runExport(const CliOptions& options, StderrFeedback& feedback);
int runDump(const CliOptions& options, StderrFeedback& feedback);
int runSaveProject(const CliOptions& options, StderrFeedback& feedback);
int runInfo(const CliOptions& options, StderrFeedback& feedback);
int runRender(const CliOptions& options, StderrFeedback& feedback);

}  // namespace zandrel::cli
