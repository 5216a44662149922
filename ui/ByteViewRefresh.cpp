#include "ui/ByteViewRefresh.h"

#include "ui/Hexfrm.h"

namespace zandrel {

int32_t ExportAndShowBytes(Document& document, const LayoutTexts& edits, THexForm& byteView) {
    const int32_t result = document.ExportBin(edits);
    if (result > 0) byteView.ShowBytes(document.ExportData.data(), document.ExportLen);
    return result;
}

}  // namespace zandrel
