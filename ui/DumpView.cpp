#include "ui/DumpView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "core/HexDump.h"
#include "ui/ErrorReport.h"

namespace zandrel {

namespace {

constexpr int kLeftMargin = 2;
constexpr int kTopMargin = 1;
constexpr int kBytesPerLine = 16;

/// Every character as wide as any other: the columns of the dump must line up.
bool monospaced(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QLatin1Char('0'));
    return width > 0 && metrics.horizontalAdvance(QLatin1Char('i')) == width &&
           metrics.horizontalAdvance(QLatin1Char('W')) == width &&
           metrics.horizontalAdvance(QLatin1Char('.')) == width;
}

QFont dumpFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    if (monospaced(font)) return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(13);
    return fixed;
}

bool isWordCharacter(char c) { return c != ' '; }

}  // namespace

DumpView::DumpView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(dumpFont());
    const QFontMetrics metrics(font());
    charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    lineHeight_ = std::max(1, metrics.height());

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::Text, QColor(0xC0, 0xC0, 0xC0));  // silver
    setPalette(colours);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setCursor(Qt::IBeamCursor);

    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    updateScrollRange();
}

// --- The text ---------------------------------------------------------------------------------

void DumpView::setBytes(const uint8_t* data, int32_t length) {
    if (length < 0) length = 0;
    data_ = length > 0 ? data : nullptr;
    length_ = length;
    width_ = DumpAddressWidth(length);
    lineCount_ = DumpLineCount(length);
    select(anchor_, caret_);
    updateScrollRange();
    viewport()->update();
}

int64_t DumpView::lineStart(int32_t line) const {
    return static_cast<int64_t>(line) * (fullLineLength() + 1);
}

int32_t DumpView::lineLength(int32_t line) const {
    if (line < lineCount_ - 1) return fullLineLength();
    if (length_ == 0) return 2;  // the separator alone
    const int32_t bytesInLastLine = length_ - (lineCount_ - 1) * kBytesPerLine;
    return width_ + 1 + 3 * kBytesPerLine + 2 + bytesInLastLine;
}

int64_t DumpView::textLength() const { return lineStart(lineCount_ - 1) + lineLength(lineCount_ - 1); }

int32_t DumpView::lineOfPosition(int64_t position) const {
    if (position <= 0) return 0;
    const int64_t line = position / (fullLineLength() + 1);
    return static_cast<int32_t>(std::min<int64_t>(line, lineCount_ - 1));
}

int32_t DumpView::columnOf(int64_t position) const {
    return static_cast<int32_t>(position - lineStart(lineOfPosition(position)));
}

int64_t DumpView::positionOf(int32_t line, int32_t column) const {
    line = std::clamp(line, 0, lineCount_ - 1);
    return lineStart(line) + std::clamp(column, 0, lineLength(line));
}

std::string DumpView::lineText(int32_t line) const {
    std::string text;
    if (line < 0 || line >= lineCount_) return text;
    AppendDumpLine(text, data_, length_, line, width_);
    return text;
}

std::string DumpView::textRange(int64_t start, int64_t end) const {
    const int64_t total = textLength();
    start = std::clamp<int64_t>(start, 0, total);
    end = std::clamp<int64_t>(end, start, total);
    std::string text;
    if (start == end) return text;
    text.reserve(static_cast<size_t>(end - start));
    std::string line;
    for (int32_t i = lineOfPosition(start); i < lineCount_; ++i) {
        const int64_t from = lineStart(i);
        if (from >= end) break;
        line.clear();
        AppendDumpLine(line, data_, length_, i, width_);
        const int64_t first = std::max(start, from) - from;
        const int64_t last = std::min<int64_t>(end, from + static_cast<int64_t>(line.size())) - from;
        if (last > first) text.append(line, static_cast<size_t>(first), static_cast<size_t>(last - first));
        if (end > from + static_cast<int64_t>(line.size()) && i < lineCount_ - 1) text += '\n';
    }
    return text;
}

// --- The selection ----------------------------------------------------------------------------

int64_t DumpView::SelStart() const { return std::min(anchor_, caret_); }

int64_t DumpView::SelLength() const { return std::max(anchor_, caret_) - SelStart(); }

void DumpView::setSelStart(int64_t start) { select(start, start); }

void DumpView::setSelLength(int64_t length) {
    const int64_t start = SelStart();
    select(start, start + std::max<int64_t>(0, length));
}

void DumpView::select(int64_t anchor, int64_t caret) {
    const int64_t total = textLength();
    anchor_ = std::clamp<int64_t>(anchor, 0, total);
    caret_ = std::clamp<int64_t>(caret, 0, total);
    preferredColumn_ = -1;
    viewport()->update();
}

void DumpView::selectAll() { select(0, textLength()); }

std::string DumpView::selectedText() const { return textRange(SelStart(), SelStart() + SelLength()); }

std::vector<uint8_t> DumpView::selectedBytes() const {
    std::vector<uint8_t> bytes;
    const int64_t start = SelStart();
    const int64_t end = start + SelLength();
    if (start == end || length_ == 0) return bytes;
    for (int32_t line = lineOfPosition(start); line < lineCount_; ++line) {
        const int64_t from = lineStart(line);
        if (from >= end) break;
        const int32_t firstByte = line * kBytesPerLine;
        const int32_t count = std::min(kBytesPerLine, length_ - firstByte);
        for (int32_t j = 0; j < count; ++j) {
            // Byte j's digits follow its space: columns W + 2 + 3j and W + 3 + 3j.
            const int64_t highDigit = from + width_ + 2 + 3 * j;
            if (highDigit >= start && highDigit + 1 < end) bytes.push_back(data_[firstByte + j]);
        }
    }
    return bytes;
}

void DumpView::copyToClipboard() const {
    if (SelLength() == 0) return;
    auto* mime = new QMimeData;
    const std::string text = selectedText();
    mime->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    const std::vector<uint8_t> bytes = selectedBytes();
    if (!bytes.empty()) {
        mime->setData(
            QStringLiteral("application/octet-stream"),
            QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    }
    QApplication::clipboard()->setMimeData(mime);
}

// --- Scrolling --------------------------------------------------------------------------------

int32_t DumpView::visibleLineCount() const {
    return std::max(1, (viewport()->height() - kTopMargin) / lineHeight());
}

int32_t DumpView::firstVisibleLine() const { return verticalScrollBar()->value(); }

void DumpView::updateScrollRange() {
    const int32_t visible = visibleLineCount();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, lineCount_ - visible));
    bar->setPageStep(visible);
    bar->setSingleStep(1);
}

void DumpView::scrollCaretIntoView() {
    const int32_t line = lineOfPosition(caret_);
    const int32_t first = firstVisibleLine();
    const int32_t visible = visibleLineCount();
    if (line < first) {
        verticalScrollBar()->setValue(line);
    } else if (line >= first + visible) {
        verticalScrollBar()->setValue(line - visible + 1);
    }
    const int caretX = kLeftMargin + columnOf(caret_) * charWidth();
    const int viewWidth = viewport()->width();
    int offset = horizontalOffset_;
    if (caretX < offset) offset = std::max(0, caretX - viewWidth / 4);
    if (caretX + charWidth() > offset + viewWidth) offset = caretX + charWidth() - viewWidth + viewWidth / 4;
    if (caretX < viewWidth - charWidth()) offset = 0;  // the line's start in sight when it can be
    if (offset != horizontalOffset_) {
        horizontalOffset_ = std::max(0, offset);
        viewport()->update();
    }
}

void DumpView::scrollContentsBy(int, int) { viewport()->update(); }

void DumpView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

// --- Painting ---------------------------------------------------------------------------------

void DumpView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(font());
    const QRect area = event->rect();
    const int32_t first = firstVisibleLine();
    const int32_t firstPainted = first + std::max(0, (area.top() - kTopMargin) / lineHeight());
    const int32_t lastPainted = static_cast<int32_t>(std::min<int64_t>(
        lineCount_ - 1, static_cast<int64_t>(first) + (area.bottom() - kTopMargin) / lineHeight()));
    std::string buffer;
    buffer.reserve(static_cast<size_t>(fullLineLength()));
    for (int32_t line = firstPainted; line <= lastPainted; ++line) {
        paintLine(painter, line, kTopMargin + (line - first) * lineHeight(), buffer);
    }
    if (hasFocus()) {
        const QRect cell = positionRect(caret_);
        painter.fillRect(QRect(cell.left(), cell.top(), 1, cell.height()), palette().color(QPalette::Text));
    }
}

void DumpView::paintLine(QPainter& painter, int32_t line, int y, std::string& buffer) const {
    buffer.clear();
    AppendDumpLine(buffer, data_, length_, line, width_);
    const int64_t from = lineStart(line);
    const int32_t size = static_cast<int32_t>(buffer.size());
    const int64_t selStart = SelStart();
    const int64_t selEnd = selStart + SelLength();
    // The selected columns of this line; the line break counts as one more column.
    const int32_t selFirst = static_cast<int32_t>(std::clamp<int64_t>(selStart - from, 0, size + 1));
    const int32_t selLast = static_cast<int32_t>(std::clamp<int64_t>(selEnd - from, 0, size + 1));
    const int baseline = y + painter.fontMetrics().ascent();
    const int left = kLeftMargin - horizontalOffset_;
    auto drawPiece = [&](int32_t begin, int32_t end, const QColor& colour) {
        if (end <= begin) return;
        painter.setPen(colour);
        painter.drawText(left + begin * charWidth(), baseline,
                         QString::fromLatin1(buffer.data() + begin, end - begin));
    };
    const QColor text = palette().color(QPalette::Text);
    if (selLast > selFirst) {
        painter.fillRect(
            QRect(left + selFirst * charWidth(), y, (selLast - selFirst) * charWidth(), lineHeight()),
            palette().color(QPalette::Highlight));
    }
    drawPiece(0, std::min(selFirst, size), text);
    drawPiece(std::min(selFirst, size), std::min(selLast, size), palette().color(QPalette::HighlightedText));
    drawPiece(std::min(selLast, size), size, text);
}

// --- Input ------------------------------------------------------------------------------------

int64_t DumpView::positionAt(const QPoint& point) const {
    const int32_t row = (point.y() - kTopMargin) < 0 ? -1 : (point.y() - kTopMargin) / lineHeight();
    const int32_t line =
        std::clamp<int64_t>(static_cast<int64_t>(firstVisibleLine()) + row, 0, lineCount_ - 1);
    const int x = point.x() + horizontalOffset_ - kLeftMargin;
    const int32_t column = x <= 0 ? 0 : (x + charWidth() / 2) / charWidth();
    return positionOf(line, column);
}

QRect DumpView::positionRect(int64_t position) const {
    position = std::clamp<int64_t>(position, 0, textLength());
    const int32_t row = lineOfPosition(position) - firstVisibleLine();
    return QRect(kLeftMargin + columnOf(position) * charWidth() - horizontalOffset_,
                 kTopMargin + row * lineHeight(), charWidth(), lineHeight());
}

void DumpView::moveCaret(int64_t position, bool extend) {
    select(extend ? anchor_ : position, position);
    scrollCaretIntoView();
}

void DumpView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyToClipboard();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int32_t line = lineOfPosition(caret_);
    const int32_t column = columnOf(caret_);
    auto verticalMove = [&](int32_t lines) {
        const int32_t wanted = preferredColumn_ >= 0 ? preferredColumn_ : column;
        const int32_t target = std::clamp<int64_t>(static_cast<int64_t>(line) + lines, 0, lineCount_ - 1);
        moveCaret(positionOf(target, wanted), extend);
        preferredColumn_ = wanted;
    };
    switch (event->key()) {
        case Qt::Key_Left:
            if (!extend && SelLength() > 0) {
                moveCaret(SelStart(), false);
            } else {
                moveCaret(std::max<int64_t>(0, caret_ - 1), extend);
            }
            return;
        case Qt::Key_Right:
            if (!extend && SelLength() > 0) {
                moveCaret(SelStart() + SelLength(), false);
            } else {
                moveCaret(std::min(textLength(), caret_ + 1), extend);
            }
            return;
        case Qt::Key_Up:
            verticalMove(-1);
            return;
        case Qt::Key_Down:
            verticalMove(1);
            return;
        case Qt::Key_PageUp:
            verticalScrollBar()->setValue(firstVisibleLine() - visibleLineCount());
            verticalMove(-visibleLineCount());
            return;
        case Qt::Key_PageDown:
            verticalScrollBar()->setValue(firstVisibleLine() + visibleLineCount());
            verticalMove(visibleLineCount());
            return;
        case Qt::Key_Home:
            moveCaret(control ? 0 : lineStart(line), extend);
            return;
        case Qt::Key_End:
            moveCaret(control ? textLength() : lineStart(line) + lineLength(line), extend);
            return;
        default:
            break;
    }
    if (!event->text().isEmpty() && !control) {
        typeKey(event);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void DumpView::typeKey(QKeyEvent* event) {
    event->accept();
    const QChar c = event->text().front();
    char key = c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?';
    // A read-only view: the handler decides nothing about the text, which never changes.
    if (OnKeyPress) RunCommand([&] { OnKeyPress(key); });
}

void DumpView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    moveCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    selecting_ = true;
}

void DumpView::mouseMoveEvent(QMouseEvent* event) {
    if (!selecting_ || !(event->buttons() & Qt::LeftButton)) return;
    QPoint point = event->position().toPoint();
    // Dragging past the top or bottom edge scrolls one line per movement.
    if (point.y() < 0) {
        verticalScrollBar()->setValue(firstVisibleLine() - 1);
        point.setY(0);
    } else if (point.y() >= viewport()->height()) {
        verticalScrollBar()->setValue(firstVisibleLine() + 1);
        point.setY(viewport()->height() - 1);
    }
    moveCaret(positionAt(point), true);
}

void DumpView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) selecting_ = false;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void DumpView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int64_t position = positionAt(event->position().toPoint());
    const int32_t line = lineOfPosition(position);
    const std::string text = lineText(line);
    const int32_t size = static_cast<int32_t>(text.size());
    auto wordAt = [&](int32_t column) {
        return column >= 0 && column < size && isWordCharacter(text[static_cast<size_t>(column)]);
    };
    int32_t begin = columnOf(position);
    if (!wordAt(begin) && wordAt(begin - 1)) --begin;  // just after a word takes that word
    selecting_ = false;
    if (!wordAt(begin)) return;
    int32_t end = begin + 1;
    while (wordAt(begin - 1)) --begin;
    while (wordAt(end)) ++end;
    select(lineStart(line) + begin, lineStart(line) + end);
    scrollCaretIntoView();
}

void DumpView::contextMenuEvent(QContextMenuEvent* event) {
    if (contextMenu_) contextMenu_->exec(event->globalPos());
}

void DumpView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void DumpView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

}  // namespace zandrel
