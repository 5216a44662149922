#pragma once

#include <cstdint>

#include "core/Document.h"
#include "core/LayoutTexts.h"

namespace zandrel {

class THexForm;

/// The last step of every refresh: exports the document with the layout edits' texts and,
/// when new bytes came out, shows them in the byte view, shown or hidden. Returns what
/// ExportBin returned; its errors (such as "Division by zero") pass to the caller.
int32_t ExportAndShowBytes(Document& document, const LayoutTexts& edits, THexForm& byteView);

}  // namespace zandrel
