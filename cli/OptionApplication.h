#pragma once

#include "cli/CommandLine.h"
#include "core/Document.h"
#include "core/LayoutTexts.h"

namespace zandrel::cli {

/// Puts each layout value given on the command line into its layout edit's text.
void applyLayoutOverrides(const LayoutOverrides& layout, LayoutTexts& edits);

/// Sets the export options given on the command line, over what the input brought.
void applyExportOverrides(const ExportOverrides& options, Document& doc);

/// Flips the value of every cell held, leaving the other flags alone.
void invertCells(Document& doc);

}  // namespace zandrel::cli
