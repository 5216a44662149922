// The settings file: read when the main window is made, written when it is destroyed.

#include "core/Errors.h"
#include "core/StrToInt.h"
#include "ui/FormBounds.h"
#include "ui/Mainfrm.h"
#include "ui/Text.h"

namespace zandrel {

namespace {

constexpr const char* kFormSection = "ZandrelForm";
constexpr const char* kExportSection = "Export";
constexpr const char* kDefaultOrder = "0 1 2 3 4 5 6 7";

/// A layout edit with its settings key and the number it falls back to.
struct LayoutKey {
    Edit* TMainForm::*edit;
    const char* key;
    int32_t fallback;
};

constexpr LayoutKey kLayoutKeys[] = {
    {&TMainForm::BitSizeXEdit, "BitSizeX", 4},
    {&TMainForm::BitSizeYEdit, "BitSizeY", 4},
    {&TMainForm::BitGapEdit, "BitGap", 2},
    {&TMainForm::ColGapEdit, "ColGap", 4},
    {&TMainForm::BitsPerRowEdit, "BitsPerRow", 1024},
    {&TMainForm::BitsPerOutputEdit, "BitsPerOutput", 32},
};

}  // namespace

int32_t TMainForm::editNumber(const Edit* edit, int32_t fallback) {
    return StrToIntDef(ToStdString(edit->text()), fallback);
}

void TMainForm::FormCreate() {
    std::unique_ptr<SettingsStore> settings = openSettings_ ? openSettings_() : nullptr;
    if (!settings) return;
    const int32_t top = settings->ReadInteger(kFormSection, "Top", 0);
    const int32_t left = settings->ReadInteger(kFormSection, "Left", 0);
    const int32_t width = settings->ReadInteger(kFormSection, "Width", outerWidth());
    const int32_t height = settings->ReadInteger(kFormSection, "Height", outerHeight());
    SetFormBounds(*this, left, top, width, height);

    for (const LayoutKey& layout : kLayoutKeys) {
        Edit* edit = this->*layout.edit;
        const int32_t number =
            settings->ReadInteger(kFormSection, layout.key, editNumber(edit, layout.fallback));
        edit->setText(QString::number(number));
    }
    doc_.WorkingDir = settings->ReadString(kFormSection, "WorkingDir", "");
    doc_.ReverseOutputs = settings->ReadInteger(kExportSection, "ReverseOutputs", 0);
    doc_.ReverseWithinOutCol = settings->ReadInteger(kExportSection, "ReverseWithinOutCol", 0);
    doc_.ROMLayout = static_cast<int8_t>(settings->ReadInteger(kExportSection, "ROMLayout", 0) & 0xFF);
    doc_.OutputBitOrderStrToArray(settings->ReadString(kExportSection, "OutputBitOrder", kDefaultOrder));
}

void TMainForm::FormDestroy() {
    // A layout that cannot be read must not cost the user the rest of the settings.
    bool layoutRead = true;
    try {
        doc_.ReadLayoutParams(layoutTexts());
    } catch (const DivisionByZero&) {
        layoutRead = false;
    }
    std::unique_ptr<SettingsStore> settings = openSettings_ ? openSettings_() : nullptr;
    if (settings) writeSettings(*settings, layoutRead);
    doc_.Cells.clear();
    doc_.Cells.shrink_to_fit();
}

void TMainForm::writeSettings(SettingsStore& settings, bool layoutRead) {
    settings.WriteInteger(kFormSection, "Top", y());
    settings.WriteInteger(kFormSection, "Left", x());
    settings.WriteInteger(kFormSection, "Width", outerWidth());
    settings.WriteInteger(kFormSection, "Height", outerHeight());
    for (const LayoutKey& layout : kLayoutKeys)
        settings.WriteInteger(kFormSection, layout.key, editNumber(this->*layout.edit, layout.fallback));
    settings.WriteString(kFormSection, "WorkingDir", doc_.WorkingDir);
    settings.WriteInteger(kExportSection, "ReverseOutputs", doc_.ReverseOutputs);
    settings.WriteInteger(kExportSection, "ReverseWithinOutCol", doc_.ReverseWithinOutCol);
    settings.WriteInteger(kExportSection, "ROMLayout", doc_.ROMLayout);
    // Without a readable layout the order is written for the outputs of the last good one.
    const std::string order = layoutRead ? doc_.OutputBitOrderArrayToStr(layoutTexts(), kOutputBitOrderSize)
                                         : doc_.OutputBitOrderText(kOutputBitOrderSize);
    settings.WriteString(kExportSection, "OutputBitOrder", order);
    settings.Flush();
}

int TMainForm::outerWidth() const { return width() + 2 * kFrameBorder; }

int TMainForm::outerHeight() const { return height() + 2 * kFrameBorder + kFrameCaption; }

}  // namespace zandrel
