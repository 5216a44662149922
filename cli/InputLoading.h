#pragma once

#include <string>
#include <string_view>

#include "cli/CommandLine.h"
#include "cli/StderrFeedback.h"
#include "core/Document.h"
#include "core/LayoutTexts.h"

namespace zandrel::cli {

/// The loader the open command picks: the last four characters ".txt" or ".bit", compared
/// exactly, choose the text or the project loader; any other name is raw binary.
InputFormat inputFormatForPath(std::string_view path);

/// "bin", "txt" or "bit".
std::string_view inputFormatName(InputFormat format);

/// Loads `path` with the loader of `format` into `doc`, the text and project loaders also into
/// `edits`. Throws CliFailure (exit status 2) when the loader reported an error.
void loadInput(const std::string& path, InputFormat format, Document& doc, LayoutTexts& edits,
               StderrFeedback& feedback);

}  // namespace zandrel::cli
