#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <string>
#include <vector>

#include "FakeDialogs.h"
#include "core/Document.h"
#include "ui/ByteViewRefresh.h"
#include "ui/Exportfrm.h"
#include "ui/FormBounds.h"
#include "ui/Hexfrm.h"

using namespace zandrel;
using zandrel::testing::ErrorBoxInstalled;
using zandrel::testing::FakeDialogs;

namespace {

std::string identityText(int outputs) {
    std::string text;
    for (int i = 0; i < outputs; ++i) text += (i ? " " : "") + std::to_string(i);
    return text;
}

/// The export options window on a real document and byte view, as the main window will wire
/// them: the refresh exports and rebuilds the byte view when the bytes are new.
class ExportFormTest : public ::testing::Test {
protected:
    Document doc;
    LayoutTexts edits;
    FakeDialogs dialogs;
    ErrorBoxInstalled errors{dialogs};
    THexForm byteView;
    int refreshes = 0;
    int rebuilds = 0;
    TExportForm form{doc, dialogs, TExportForm::Owner{[this] { return edits; }, [this] { refresh(); }}};

    void refresh() {
        ++refreshes;
        if (ExportAndShowBytes(doc, edits, byteView) > 0) ++rebuilds;
    }

    /// Loads `count` cells with a fixed irregular pattern (or all set), exports them once as a
    /// load would, and starts the counts afresh.
    void load(const char* bitsPerRow, const char* bitsPerOutput, int32_t count, bool allSet = false) {
        edits.BitsPerRowEdit = bitsPerRow;
        edits.BitsPerOutputEdit = bitsPerOutput;
        doc.replaceCells(count);
        uint32_t state = 12345;
        for (uint8_t& cell : doc.Cells) {
            state = state * 1103515245u + 12345u;
            cell = allSet || (state >> 16) % 3 == 0 ? CELL_VALUE : 0;
        }
        ExportAndShowBytes(doc, edits, byteView);
        refreshes = rebuilds = 0;
    }

    void open() {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    std::vector<uint8_t> shownBytes() const {
        return {byteView.ByteCopy(), byteView.ByteCopy() + byteView.ByteCopyLen()};
    }
    std::vector<int32_t> order(int count) const {
        return {doc.OutputBitOrder.begin(), doc.OutputBitOrder.begin() + count};
    }
    void typeOrder(const char* text) {
        form.OutputBitOrderEdit->setFocus();
        form.OutputBitOrderEdit->setText(text);
    }
};

TEST_F(ExportFormTest, WindowAndControlsAsTheFormGivesThem) {
    EXPECT_EQ(form.windowTitle(), "Export options");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ROMLayoutRadioGroup->title(), "ROM layout");
    EXPECT_EQ(form.ROMLayoutRadioGroup->button(1)->text(), "Mirrored halves (1 bit per output column)");
    EXPECT_EQ(form.ROMLayoutRadioGroup->ItemIndex(), 0);
    EXPECT_EQ(form.EndianRadioGroup->title(), "Endianness");
    EXPECT_EQ(form.EndianRadioGroup->button(0)->text(), "Little endian (least significant byte first)");
    EXPECT_EQ(form.EndianRadioGroup->ItemIndex(), 1);
    EXPECT_EQ(form.AdditionalOptionsGroupBox->title(), "Additional options");
    EXPECT_EQ(form.OutputBitOrderLabel->text(), "Output bit order:");
    EXPECT_EQ(form.ReverseOutputsCheckbox->text(),
              "Reverse output bit order (bit 0 = rightmost output column)");
    EXPECT_EQ(form.ReverseWithinOutColCheckbox->text(),
              "Addresses run right-to-left (byte 0 = rightmost bit within output column)");
    EXPECT_EQ(form.OutputBitOrderEdit->parentWidget(), form.AdditionalOptionsGroupBox);
    // The form's places, enlarged alike where the font at hand is wider than the form's.
    const QSizeF scale = form.designScale();
    EXPECT_EQ(form.OutputBitOrderEdit->geometry(), ScaledRect({88, 80, 275, 21}, scale));
    EXPECT_EQ(form.EndianRadioGroup->geometry(), ScaledRect({8, 96, 225, 49}, scale));
    EXPECT_EQ(form.AdditionalOptionsGroupBox->geometry(), ScaledRect({248, 8, 372, 113}, scale));
    for (const QWidget* control :
         {static_cast<QWidget*>(form.ReverseOutputsCheckbox),
          static_cast<QWidget*>(form.ReverseWithinOutColCheckbox),
          static_cast<QWidget*>(form.OutputBitOrderLabel), static_cast<QWidget*>(form.ROMLayoutRadioGroup)}) {
        EXPECT_GE(control->width(), control->sizeHint().width()) << control->objectName().toStdString();
    }
    EXPECT_EQ(refreshes, 0);  // building the window runs no handler
}

TEST_F(ExportFormTest, OpeningLoadsTheFieldsAndRunsTheHandlersOfChangedControls) {
    load("32", "1", 256, /*allSet=*/true);
    doc.ReverseOutputs = 1;
    doc.ReverseWithinOutCol = 0;
    doc.ROMLayout = 5;
    open();
    EXPECT_TRUE(form.ReverseOutputsCheckbox->Checked());
    EXPECT_FALSE(form.ReverseWithinOutColCheckbox->Checked());
    EXPECT_EQ(form.OutputBitOrderEdit->text().toStdString(), identityText(32));
    EXPECT_EQ(form.OutputBitOrderEdit->cursorPosition(), 0);  // shown from its start
    EXPECT_EQ(form.ROMLayoutRadioGroup->ItemIndex(), 1);      // limited to the items
    // Two controls changed, so two handlers ran, each writing its field back and refreshing;
    // every bit is set, so the bytes stayed the same and the byte view was not rebuilt.
    EXPECT_EQ(doc.ROMLayout, 1);
    EXPECT_EQ(doc.ReverseOutputs, 1);
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(rebuilds, 0);

    form.close();
    refreshes = 0;
    open();  // nothing changed meanwhile: no handler runs
    EXPECT_EQ(refreshes, 0);
}

TEST_F(ExportFormTest, NegativeROMLayoutSelectsNoItemAndClosingWritesMinusOne) {
    load("32", "1", 64);
    doc.ROMLayout = -3;
    open();
    EXPECT_EQ(form.ROMLayoutRadioGroup->ItemIndex(), -1);
    EXPECT_EQ(refreshes, 0);
    form.close();
    EXPECT_EQ(doc.ROMLayout, -1);
}

TEST_F(ExportFormTest, EndianModeIsNeverLoadedOnlyWritten) {
    load("32", "1", 64);
    doc.EndianMode = 0;
    open();
    EXPECT_EQ(form.EndianRadioGroup->ItemIndex(), 1);
    EXPECT_EQ(doc.EndianMode, 0);
    form.close();
    EXPECT_EQ(doc.EndianMode, 1);
}

TEST_F(ExportFormTest, ReversalBoxesWriteTheirFieldsAndRebuildOnlyOnNewBytes) {
    load("32", "1", 256);
    open();
    const std::vector<uint8_t> before = shownBytes();
    QTest::mouseClick(form.ReverseOutputsCheckbox, Qt::LeftButton);
    EXPECT_EQ(doc.ReverseOutputs, 1);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_NE(shownBytes(), before);
    EXPECT_EQ(shownBytes(), doc.ExportData);

    // One column per output group: reading it right to left changes nothing.
    QTest::mouseClick(form.ReverseWithinOutColCheckbox, Qt::LeftButton);
    EXPECT_EQ(doc.ReverseWithinOutCol, 1);
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(rebuilds, 1);

    QTest::mouseClick(form.ReverseOutputsCheckbox, Qt::LeftButton);
    EXPECT_EQ(doc.ReverseOutputs, 0);
    EXPECT_EQ(shownBytes(), before);
}

TEST_F(ExportFormTest, EndiannessReversesEachGroupOfAWordsBytes) {
    load("32", "1", 256);  // 32-bit words
    open();
    const std::vector<uint8_t> bigEndian = shownBytes();
    QTest::mouseClick(form.EndianRadioGroup->button(0), Qt::LeftButton);
    EXPECT_EQ(doc.EndianMode, 0);
    EXPECT_EQ(rebuilds, 1);
    const std::vector<uint8_t> littleEndian = shownBytes();
    ASSERT_EQ(littleEndian.size(), bigEndian.size());
    for (size_t i = 0; i < littleEndian.size(); ++i)
        EXPECT_EQ(littleEndian[i], bigEndian[i / 4 * 4 + 3 - i % 4]);
}

TEST_F(ExportFormTest, EndiannessOfByteWideWordsChangesNoByte) {
    load("8", "1", 256);
    open();
    QTest::mouseClick(form.EndianRadioGroup->button(0), Qt::LeftButton);
    EXPECT_EQ(doc.EndianMode, 0);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(ExportFormTest, ROMLayoutIsStoredAndEnablesTheAdditionalOptions) {
    load("32", "1", 64);
    open();
    form.ReverseOutputsCheckbox->setEnabled(false);
    form.OutputBitOrderLabel->setEnabled(false);
    QTest::mouseClick(form.ROMLayoutRadioGroup->button(1), Qt::LeftButton);
    EXPECT_EQ(doc.ROMLayout, 1);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(rebuilds, 0);  // the layout does not change the bytes
    EXPECT_TRUE(form.ReverseOutputsCheckbox->isEnabled());
    EXPECT_TRUE(form.OutputBitOrderLabel->isEnabled());
}

TEST_F(ExportFormTest, EnterWithAnInvalidOrderAsksAndNoSkipsTheRefresh) {
    load("4", "1", 64);  // four outputs
    open();
    const std::vector<uint8_t> before = shownBytes();
    typeOrder("0 1 1 3");
    dialogs.yesNoAnswers = {false};
    QTest::keyClick(form.OutputBitOrderEdit, Qt::Key_Return);
    ASSERT_EQ(dialogs.count("askYesNo"), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "WARNING");
    EXPECT_NE(dialogs.boxes[0].text.find("range 0 .. 3\n"), std::string::npos);
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(shownBytes(), before);
    EXPECT_EQ(order(4), (std::vector<int32_t>{0, 1, 1, 3}));  // kept for the next refresh
    EXPECT_EQ(form.OutputBitOrderEdit->text(), "0 1 1 3");
    EXPECT_TRUE(form.OutputBitOrderEdit->hasFocus());

    dialogs.yesNoAnswers = {true};
    QTest::keyClick(form.OutputBitOrderEdit, Qt::Key_Return);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_NE(shownBytes(), before);
}

TEST_F(ExportFormTest, LeavingTheOrderEditReadsItAndRefreshesAValidOrder) {
    load("4", "1", 64);
    open();
    typeOrder("3 2 1 0");
    QTest::keyClick(form.OutputBitOrderEdit, Qt::Key_Tab);
    EXPECT_FALSE(form.OutputBitOrderEdit->hasFocus());
    EXPECT_EQ(order(4), (std::vector<int32_t>{3, 2, 1, 0}));
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_TRUE(dialogs.boxes.empty());

    // An emptied edit reads nothing: the order stays, and the refresh follows.
    typeOrder("");
    QTest::keyClick(form.OutputBitOrderEdit, Qt::Key_Tab);
    EXPECT_EQ(order(4), (std::vector<int32_t>{3, 2, 1, 0}));
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(rebuilds, 1);
}

TEST_F(ExportFormTest, ClosingWithAnEmptyOrUnreadableOrderRestoresTheIdentity) {
    for (const char* text : {"", "abc"}) {
        SCOPED_TRACE(text);
        load("1024", "32", 2048);  // 32 outputs
        open();
        doc.OutputBitOrder[5] = 9;
        doc.OutputBitOrder[40] = 77;  // beyond the outputs: left alone
        form.OutputBitOrderEdit->setText(text);
        form.close();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.OutputBitOrderEdit->text().toStdString(), identityText(32));
        EXPECT_EQ(doc.OutputBitOrder[5], 5);
        EXPECT_EQ(doc.OutputBitOrder[40], 77);
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_EQ(refreshes, 1);  // FormClose
    }
}

TEST_F(ExportFormTest, ClosingWithAnInvalidOrderAsksAndNoKeepsTheWindowOpen) {
    load("4", "1", 64);
    open();
    form.OutputBitOrderEdit->setText("0 1 2 4");
    dialogs.yesNoAnswers = {false};
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(order(4), (std::vector<int32_t>{0, 1, 2, 4}));

    dialogs.yesNoAnswers = {true};
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(rebuilds, 1);  // exported with the invalid order
    EXPECT_EQ(dialogs.count("askYesNo"), 2u);
}

TEST_F(ExportFormTest, ClosingWritesEveryControlOverTheFields) {
    load("32", "1", 64);
    open();
    form.ReverseWithinOutColCheckbox->setChecked(true);
    // Something else (a project load) changes the fields while the window is open.
    doc.ReverseWithinOutCol = 0;
    doc.ReverseOutputs = 1;
    doc.ROMLayout = 1;
    doc.EndianMode = 0;
    form.close();
    EXPECT_EQ(doc.ReverseWithinOutCol, 1);
    EXPECT_EQ(doc.ReverseOutputs, 0);
    EXPECT_EQ(doc.ROMLayout, 0);
    EXPECT_EQ(doc.EndianMode, 1);
}

TEST_F(ExportFormTest, IdentityFillNeverPassesTheEntriesOfTheOrder) {
    edits.BitsPerRowEdit = "4096";  // 2048 outputs per row, more than the order has entries
    edits.BitsPerOutputEdit = "2";
    doc.ReadLayoutParams(edits);
    doc.OutputBitOrder.fill(-1);
    form.OutputBitOrderEdit->setText("");
    bool CanClose = false;
    form.FormCloseQuery(CanClose);
    EXPECT_TRUE(CanClose);
    for (int32_t k = 0; k < kOutputBitOrderSize; ++k)
        ASSERT_EQ(doc.OutputBitOrder[static_cast<size_t>(k)], k);
    EXPECT_LT(form.OutputBitOrderEdit->text().size(), kOutputBitOrderSize);
}

TEST_F(ExportFormTest, ExportErrorsReachTheErrorReportAndAbandonOnlyTheirCommand) {
    load("32", "1", 64);
    doc.ROMLayout = 1;
    edits.BitsPerOutputEdit = "0";
    open();
    // The window's loading stopped at the order text: the layout has a zero divisor.
    ASSERT_EQ(dialogs.count("error"), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "Division by zero.");
    EXPECT_EQ(dialogs.boxes[0].caption, "Zandrel: The ROM bit manipulation tool");
    EXPECT_EQ(form.ROMLayoutRadioGroup->ItemIndex(), 0);

    QTest::mouseClick(form.ReverseOutputsCheckbox, Qt::LeftButton);
    EXPECT_EQ(doc.ReverseOutputs, 1);  // written before the refresh failed
    EXPECT_EQ(dialogs.count("error"), 2u);

    // A failing close leaves the window open; once the layout is sound it closes.
    form.OutputBitOrderEdit->setText("0");
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(dialogs.count("error"), 3u);
    edits.BitsPerOutputEdit = "1";
    form.OutputBitOrderEdit->setText(QString::fromStdString(identityText(32)));
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(dialogs.count("error"), 3u);
}

}  // namespace
