#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QMenu;

namespace zandrel {

/// A read-only text view of the hex dump of a block of bytes.
///
/// The text is the dump lines (core/HexDump.h) joined by one "\n" each, with no line end after
/// the last line; character positions count in that text, so the "\n" between two lines is one
/// character, as a rich edit counts its line breaks. Nothing of the text is kept: each visible
/// line is formatted when it is painted, and a position maps to its line by arithmetic, so
/// setBytes and painting cost the same for 64 bytes and for megabytes.
///
/// The selection is a range of characters between an anchor and the caret. The user sets it
/// with the mouse (press, drag, shift+press, double-click on a word) and the keyboard (arrows,
/// Home/End, Ctrl+Home/Ctrl+End, PageUp/PageDown, each with Shift to extend, Ctrl+A); Ctrl+C
/// copies it. Typed characters change nothing.
class DumpView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit DumpView(QWidget* parent = nullptr);

    /// Shows the dump of the `length` bytes at `data` (a negative length counts as 0). The view
    /// does not copy them: they must stay valid and unchanged until the next setBytes. The
    /// selection is kept, limited to the new text; the scroll position is kept where it can be.
    void setBytes(const uint8_t* data, int32_t length);

    const uint8_t* data() const { return data_; }
    int32_t length() const { return length_; }

    // The text.
    int32_t lineCount() const { return lineCount_; }
    int addressWidth() const { return width_; }
    int64_t textLength() const;
    int64_t lineStart(int32_t line) const;
    int32_t lineLength(int32_t line) const;
    int32_t lineOfPosition(int64_t position) const;
    std::string lineText(int32_t line) const;
    /// The characters from `start` (inclusive) to `end` (exclusive), both limited to the text.
    std::string textRange(int64_t start, int64_t end) const;

    // The selection, as a rich edit has it.
    int64_t SelStart() const;
    int64_t SelLength() const;
    /// Collapses the selection at `start`, limited to 0 .. textLength().
    void setSelStart(int64_t start);
    /// Extends the selection from SelStart by `length` characters, limited to the text's end;
    /// a negative length counts as 0.
    void setSelLength(int64_t length);
    int64_t anchor() const { return anchor_; }
    int64_t caret() const { return caret_; }
    /// Sets anchor and caret (each limited to the text); the caret may lie before the anchor.
    void select(int64_t anchor, int64_t caret);
    void selectAll();

    std::string selectedText() const;
    /// The bytes whose two hexadecimal digits both lie inside the selection, in order.
    std::vector<uint8_t> selectedBytes() const;
    /// Puts the selected text on the clipboard, with the selected bytes (selectedBytes) as
    /// "application/octet-stream" when there are any. An empty selection leaves it alone.
    void copyToClipboard() const;

    /// Scrolls so that the caret's line and column are in sight (EM_SCROLLCARET).
    void scrollCaretIntoView();
    int32_t firstVisibleLine() const;
    int32_t visibleLineCount() const;

    /// Called with each typed character; whatever it does, the character reaches no text.
    std::function<void(char& Key)> OnKeyPress;

    /// The menu shown on a right click (or the menu key); none: no menu.
    void setContextMenu(QMenu* menu) { contextMenu_ = menu; }

    /// The text position nearest to a point of the viewport.
    int64_t positionAt(const QPoint& viewportPoint) const;
    /// The character cell at `position` in viewport coordinates; the caret is its left edge.
    QRect positionRect(int64_t position) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int charWidth() const { return charWidth_; }
    int lineHeight() const { return lineHeight_; }
    int32_t fullLineLength() const { return width_ + 67; }
    void updateScrollRange();
    void moveCaret(int64_t position, bool extend);
    int64_t positionOf(int32_t line, int32_t column) const;
    int32_t columnOf(int64_t position) const;
    void paintLine(QPainter& painter, int32_t line, int y, std::string& buffer) const;
    void typeKey(QKeyEvent* event);

    const uint8_t* data_ = nullptr;
    int32_t length_ = 0;
    int width_ = 4;
    int32_t lineCount_ = 1;

    int64_t anchor_ = 0;
    int64_t caret_ = 0;
    int32_t preferredColumn_ = -1;  // kept while moving up and down
    int horizontalOffset_ = 0;      // pixels scrolled to the right (no horizontal bar)
    bool selecting_ = false;

    int charWidth_ = 8;
    int lineHeight_ = 15;
    QMenu* contextMenu_ = nullptr;
};

}  // namespace zandrel
