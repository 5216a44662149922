#pragma once

#include <string>

namespace zandrel {

/// The texts of the six layout edits of the main window, the authority for the layout.
/// Operations that read the layout take these texts, so they need no widget.
struct LayoutTexts {
    std::string BitSizeXEdit = "4";
    std::string BitSizeYEdit = "4";
    std::string BitGapEdit = "2";
    std::string ColGapEdit = "4";
    std::string BitsPerRowEdit = "1024";
    std::string BitsPerOutputEdit = "32";

    bool operator==(const LayoutTexts&) const = default;
};

}  // namespace zandrel
