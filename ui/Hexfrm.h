#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/DumpView.h"

class QAction;
class QMenu;

namespace zandrel {

/// The byte view: a hex dump of the last export that brought new bytes. It keeps its own copy
/// of those bytes, from which it can redraw itself, and offers redraw, copy and save in the
/// context menu of its text. Closing the window only hides it.
class THexForm : public QWidget {
    Q_OBJECT

public:
    explicit THexForm(QWidget* parent = nullptr);

    DumpView* HexMemo;
    QMenu* PopupMenu1;
    QAction* Updatebyteview1;  ///< "&Redraw byte view"
    QAction* Copy1;            ///< "&Copy selection"
    QAction* Savebinfile1;     ///< "&Save .bin file..."

    /// Shows the dump of the `length` bytes at `data` and keeps a copy of them; the selection
    /// stays at its character positions, limited to the new text, and the caret is scrolled
    /// into view. `data` is read only during the call and may be the view's own copy; with a
    /// length of 0 (or less) it is not read and may be null.
    void ShowBytes(const uint8_t* data, int32_t length);

    /// ShowBytes for a caller that knows the bytes differ from those last shown only at the
    /// indexes `changed` (and have the same length): only those are copied.
    void ShowChangedBytes(const uint8_t* data, int32_t length, const std::vector<int32_t>& changed);

    /// The bytes last shown.
    const uint8_t* ByteCopy() const { return byteCopy_.data(); }
    int32_t ByteCopyLen() const { return byteCopyLen_; }

    /// Typed characters never reach the view.
    void HexMemoKeyPress(char& Key);
    /// Rebuilds the view from the bytes last shown.
    void Updatebyteview1Click();
    /// Copies the selected text (and the selected bytes) to the clipboard.
    void Copy1Click();
    /// Runs the main window's "Save .bin" command.
    void Savebinfile1Click();

    /// The main window's SaveBinButtonClick, run by "&Save .bin file...".
    std::function<void()> SaveBinCommand;

private:
    void keepCopy(const uint8_t* data, int32_t length);
    /// Shows the copy, keeping the selection and bringing the caret into view.
    void showCopy();

    std::vector<uint8_t> byteCopy_;
    int32_t byteCopyLen_ = 0;
};

}  // namespace zandrel
