#include "ui/Exportfrm.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QShowEvent>
#include <algorithm>

#include "core/OutputBitOrder.h"
#include "ui/ErrorReport.h"
#include "ui/FormBounds.h"
#include "ui/Text.h"

namespace zandrel {

TExportForm::TExportForm(Document& document, Dialogs& dialogs, Owner owner, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      document_(document),
      dialogs_(dialogs),
      owner_(std::move(owner)) {
    buildControls();
    ROMLayoutRadioGroup->OnClick = [this] { ROMLayoutRadioGroupClick(); };
    EndianRadioGroup->OnClick = [this] { EndianRadioGroupClick(); };
    ReverseOutputsCheckbox->OnClick = [this] { ReverseOutputsCheckboxClick(); };
    ReverseWithinOutColCheckbox->OnClick = [this] { ReverseWithinOutColCheckboxClick(); };
    OutputBitOrderEdit->OnExit = [this] { OutputBitOrderEditExit(); };
    OutputBitOrderEdit->OnKeyPress = [this](char& Key) { OutputBitOrderEditKeyPress(Key); };
}

void TExportForm::buildControls() {
    setObjectName(QStringLiteral("ExportForm"));
    setWindowTitle(QStringLiteral("Export options"));
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setStyleHint(QFont::SansSerif);
    formFont.setPointSize(8);
    setFont(formFont);

    // The item indexes of the form: set before the handlers are bound, so nothing runs.
    ROMLayoutRadioGroup = new RadioGroup(QStringLiteral("ROM layout"),
                                         {QStringLiteral("Standard (1 bit per output column)"),
                                          QStringLiteral("Mirrored halves (1 bit per output column)")},
                                         1, this);
    ROMLayoutRadioGroup->setObjectName(QStringLiteral("ROMLayoutRadioGroup"));
    ROMLayoutRadioGroup->setItemIndex(0);

    AdditionalOptionsGroupBox = new QGroupBox(QStringLiteral("Additional options"), this);
    AdditionalOptionsGroupBox->setObjectName(QStringLiteral("AdditionalOptionsGroupBox"));

    OutputBitOrderLabel = new QLabel(QStringLiteral("Output bit order:"), AdditionalOptionsGroupBox);
    OutputBitOrderLabel->setObjectName(QStringLiteral("OutputBitOrderLabel"));

    ReverseOutputsCheckbox =
        new CheckBox(QStringLiteral("Reverse output bit order (bit 0 = rightmost output column)"),
                     AdditionalOptionsGroupBox);
    ReverseOutputsCheckbox->setObjectName(QStringLiteral("ReverseOutputsCheckbox"));

    ReverseWithinOutColCheckbox = new CheckBox(
        QStringLiteral("Addresses run right-to-left (byte 0 = rightmost bit within output column)"),
        AdditionalOptionsGroupBox);
    ReverseWithinOutColCheckbox->setObjectName(QStringLiteral("ReverseWithinOutColCheckbox"));

    OutputBitOrderEdit = new Edit(AdditionalOptionsGroupBox);
    OutputBitOrderEdit->setObjectName(QStringLiteral("OutputBitOrderEdit"));
    OutputBitOrderLabel->setBuddy(OutputBitOrderEdit);

    EndianRadioGroup = new RadioGroup(QStringLiteral("Endianness"),
                                      {QStringLiteral("Little endian (least significant byte first)"),
                                       QStringLiteral("Big endian (most significant byte first)")},
                                      1, this);
    EndianRadioGroup->setObjectName(QStringLiteral("EndianRadioGroup"));
    EndianRadioGroup->setItemIndex(1);

    placeControls();

    QWidget* order[] = {ROMLayoutRadioGroup->button(0),
                        ROMLayoutRadioGroup->button(1),
                        ReverseOutputsCheckbox,
                        ReverseWithinOutColCheckbox,
                        OutputBitOrderEdit,
                        EndianRadioGroup->button(0),
                        EndianRadioGroup->button(1)};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TExportForm::placeControls() {
    // Places and sizes in the form's pixels; the controls in the group box relative to it.
    const std::pair<QWidget*, QRect> design[] = {
        {ROMLayoutRadioGroup, {8, 8, 225, 65}},      {AdditionalOptionsGroupBox, {248, 8, 372, 113}},
        {ReverseOutputsCheckbox, {16, 24, 297, 17}}, {ReverseWithinOutColCheckbox, {16, 48, 349, 17}},
        {OutputBitOrderLabel, {8, 84, 76, 13}},      {OutputBitOrderEdit, {88, 80, 275, 21}},
        {EndianRadioGroup, {8, 96, 225, 49}}};
    for (const auto& [control, rect] : design) control->setGeometry(rect);
    scale_ = TextFitScale({{ROMLayoutRadioGroup, {225, 65}},
                           {EndianRadioGroup, {225, 49}},
                           {ReverseOutputsCheckbox, {297, 17}},
                           {ReverseWithinOutColCheckbox, {349, 17}},
                           {OutputBitOrderLabel, {76, 13}},
                           {OutputBitOrderEdit, {0, 21}}});
    for (const auto& [control, rect] : design) control->setGeometry(ScaledRect(rect, scale_));
    SetFormBounds(*this, 553, 122, 651, 190);
    resize(ScaledRect(QRect(QPoint(0, 0), size()), scale_).size());
}

void TExportForm::showOrderText() {
    OutputBitOrderEdit->setText(
        ToQString(document_.OutputBitOrderArrayToStr(layoutTexts(), kOutputBitOrderSize)));
    OutputBitOrderEdit->setCursorPosition(0);  // the order's start in sight, as an edit shows a new text
}

LayoutTexts TExportForm::layoutTexts() const {
    return owner_.layoutTexts ? owner_.layoutTexts() : LayoutTexts{};
}

void TExportForm::refresh() {
    if (owner_.refresh) owner_.refresh();
}

bool TExportForm::orderAccepted() {
    if (document_.OutputBitOrderIsPermutation()) return true;
    return dialogs_.askYesNo(OutputBitOrderWarning(document_.OutputsPerRow), kOutputBitOrderWarningCaption);
}

// --- Opening and closing ----------------------------------------------------------------------

void TExportForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Becoming visible, not coming back from being minimised.
    if (!event->spontaneous()) RunCommand([this] { FormShow(); });
}

void TExportForm::closeEvent(QCloseEvent* event) {
    // An error in either step abandons the close: the window stays open.
    bool closes = false;
    RunCommand([&] {
        bool CanClose = true;
        FormCloseQuery(CanClose);
        if (!CanClose) return;
        FormClose();
        closes = true;
    });
    if (closes) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TExportForm::FormShow() {
    ReverseOutputsCheckbox->setChecked(document_.ReverseOutputs != 0);
    ReverseWithinOutColCheckbox->setChecked(document_.ReverseWithinOutCol != 0);
    showOrderText();
    ROMLayoutRadioGroup->setItemIndex(document_.ROMLayout);
    // The endianness group is never loaded: it is the only writer of EndianMode.
}

void TExportForm::FormCloseQuery(bool& CanClose) {
    CanClose = true;
    const int32_t read = document_.OutputBitOrderStrToArray(ToStdString(OutputBitOrderEdit->text()));
    if (read == 0) {
        // The identity for the current outputs, never past the entries of the order.
        const int32_t outputs = std::clamp(document_.OutputsPerRow, 0, kOutputBitOrderSize);
        for (int32_t k = 0; k < outputs; ++k) document_.OutputBitOrder[static_cast<size_t>(k)] = k;
        showOrderText();
        return;
    }
    if (!orderAccepted()) CanClose = false;
}

void TExportForm::FormClose() {
    document_.ReverseOutputs = ReverseOutputsCheckbox->Checked() ? 1 : 0;
    document_.ReverseWithinOutCol = ReverseWithinOutColCheckbox->Checked() ? 1 : 0;
    document_.ROMLayout = static_cast<int8_t>(ROMLayoutRadioGroup->ItemIndex());
    document_.EndianMode = EndianRadioGroup->ItemIndex();
    EnableAdditionalOptions();
    refresh();
}

// --- The controls -----------------------------------------------------------------------------

void TExportForm::ReverseOutputsCheckboxClick() {
    document_.ReverseOutputs = ReverseOutputsCheckbox->Checked() ? 1 : 0;
    refresh();
}

void TExportForm::ReverseWithinOutColCheckboxClick() {
    document_.ReverseWithinOutCol = ReverseWithinOutColCheckbox->Checked() ? 1 : 0;
    refresh();
}

void TExportForm::OutputBitOrderEditExit() {
    document_.OutputBitOrderStrToArray(ToStdString(OutputBitOrderEdit->text()));
    if (!orderAccepted()) return;
    refresh();
}

void TExportForm::OutputBitOrderEditKeyPress(char& Key) {
    if (Key == '\r') OutputBitOrderEditExit();
}

void TExportForm::ROMLayoutRadioGroupClick() {
    document_.ROMLayout = static_cast<int8_t>(ROMLayoutRadioGroup->ItemIndex());
    EnableAdditionalOptions();
    refresh();
}

void TExportForm::EndianRadioGroupClick() {
    document_.EndianMode = EndianRadioGroup->ItemIndex();
    refresh();
}

void TExportForm::EnableAdditionalOptions() {
    ReverseOutputsCheckbox->setEnabled(true);
    ReverseWithinOutColCheckbox->setEnabled(true);
    OutputBitOrderEdit->setEnabled(true);
    OutputBitOrderLabel->setEnabled(true);
}

}  // namespace zandrel
