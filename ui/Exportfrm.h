#pragma once

#include <QSizeF>
#include <QWidget>
#include <functional>

#include "core/Document.h"
#include "core/LayoutTexts.h"
#include "ui/CheckBox.h"
#include "ui/Dialogs.h"
#include "ui/Edit.h"
#include "ui/RadioGroup.h"

class QGroupBox;
class QLabel;

namespace zandrel {

/// The export options window: shows the document's export options when it opens, writes each
/// change straight into the document and then refreshes the export and the byte view. It holds
/// no document state of its own; closing it only hides it.
class TExportForm : public QWidget {
    Q_OBJECT

public:
    /// What the window needs from the window that owns the document.
    struct Owner {
        /// The current texts of the six layout edits.
        std::function<LayoutTexts()> layoutTexts;
        /// Runs ExportBin and, when it returned more than 0, ShowBytes on the byte view.
        std::function<void()> refresh;
    };

    TExportForm(Document& document, Dialogs& dialogs, Owner owner, QWidget* parent = nullptr);

    RadioGroup* ROMLayoutRadioGroup;
    QGroupBox* AdditionalOptionsGroupBox;
    QLabel* OutputBitOrderLabel;
    CheckBox* ReverseOutputsCheckbox;
    CheckBox* ReverseWithinOutColCheckbox;
    Edit* OutputBitOrderEdit;
    RadioGroup* EndianRadioGroup;

    /// Loads the controls from the document as the window becomes visible; a control whose
    /// state changes runs its click handler.
    void FormShow();
    /// Reads the order edit; an empty or unreadable one restores the identity order. An order
    /// that is no permutation asks; any answer but Yes sets CanClose to false.
    void FormCloseQuery(bool& CanClose);
    /// Writes every control into the document and refreshes.
    void FormClose();

    void ReverseOutputsCheckboxClick();
    void ReverseWithinOutColCheckboxClick();
    void OutputBitOrderEditExit();
    /// Enter (Key '\r') runs OutputBitOrderEditExit; the key goes on to the edit.
    void OutputBitOrderEditKeyPress(char& Key);
    void ROMLayoutRadioGroupClick();
    void EndianRadioGroupClick();

    /// Enables the two reversal boxes, the order edit and its label.
    void EnableAdditionalOptions();

    /// How much the form's places and sizes were enlarged so that every text fits in the font
    /// used; (1, 1) where the form's own font is at hand.
    QSizeF designScale() const { return scale_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void placeControls();
    void showOrderText();
    void refresh();
    LayoutTexts layoutTexts() const;
    /// The order warning when the order is no permutation; true when the caller may go on.
    bool orderAccepted();

    Document& document_;
    Dialogs& dialogs_;
    Owner owner_;
    QSizeF scale_{1.0, 1.0};
};

}  // namespace zandrel
