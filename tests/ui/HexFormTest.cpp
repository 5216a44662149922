#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "ui/Hexfrm.h"

using namespace zandrel;

namespace {

/// The dump as the byte view must show it, built step by step the plain way: every line with
/// "%0*X:", " %02X", padding, "  " and the characters, joined by "\n".
std::string referenceDump(const std::vector<uint8_t>& bytes) {
    const int length = static_cast<int>(bytes.size());
    char buffer[32];
    int width = std::snprintf(buffer, sizeof buffer, "%X", length);
    if (width < 4) width = 4;
    std::vector<std::string> lines;
    std::string line, characters;
    int p = 0;
    for (; p < length; ++p) {
        if (p % 16 == 0) {
            if (p > 0) lines.push_back(line + "  " + characters);
            std::snprintf(buffer, sizeof buffer, "%0*X:", width, p);
            line = buffer;
            characters.clear();
        }
        std::snprintf(buffer, sizeof buffer, " %02X", bytes[static_cast<size_t>(p)]);
        line += buffer;
        const uint8_t b = bytes[static_cast<size_t>(p)];
        characters += (b >= 32 && b <= 126) ? static_cast<char>(b) : '.';
    }
    for (; p % 16 != 0; ++p) line += "   ";
    lines.push_back(line + "  " + characters);
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    return text;
}

std::vector<uint8_t> counting(size_t count, uint8_t first = 0) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

class HexFormTest : public ::testing::Test {
protected:
    THexForm form;
    DumpView& memo = *form.HexMemo;

    /// Shows the window at its own size, so the view has its real number of visible lines.
    void showWindow() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void show(const std::vector<uint8_t>& bytes) {
        form.ShowBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    std::string shownText() const { return memo.textRange(0, memo.textLength()); }
    std::vector<std::string> shownLines() const {
        std::vector<std::string> lines;
        for (int32_t i = 0; i < memo.lineCount(); ++i) lines.push_back(memo.lineText(i));
        return lines;
    }
};

TEST_F(HexFormTest, WindowAndMenuAsTheFormGivesThem) {
    EXPECT_EQ(form.windowTitle(), "Byte view");
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(form.PopupMenu1->actions().size(), 3);
    EXPECT_EQ(form.PopupMenu1->actions()[0], form.Updatebyteview1);
    EXPECT_EQ(form.Updatebyteview1->text(), "&Redraw byte view");
    EXPECT_EQ(form.Copy1->text(), "&Copy selection");
    EXPECT_EQ(form.Savebinfile1->text(), "&Save .bin file...");
    EXPECT_EQ(form.ByteCopyLen(), 0);
    const QFontMetrics metrics(memo.font());
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));  // monospaced
    EXPECT_EQ(memo.palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(memo.palette().color(QPalette::Text), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(memo.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(HexFormTest, ShowsTheDumpOfEverySize) {
    struct Case {
        size_t length;
        int32_t lines;
        int width;
    };
    for (const Case c : {Case{0, 1, 4}, Case{1, 1, 4}, Case{16, 1, 4}, Case{17, 2, 4}, Case{255, 16, 4},
                         Case{0xFFFF, 4096, 4}, Case{0x10000, 4096, 5}, Case{0x10001, 4097, 5}}) {
        SCOPED_TRACE(c.length);
        const std::vector<uint8_t> bytes = counting(c.length, 0x20);
        show(bytes);
        EXPECT_EQ(memo.lineCount(), c.lines);
        EXPECT_EQ(memo.addressWidth(), c.width);
        EXPECT_EQ(shownText(), referenceDump(bytes));
        EXPECT_EQ(form.ByteCopyLen(), static_cast<int32_t>(c.length));
    }
}

TEST_F(HexFormTest, EdgeLinesSpelledOut) {
    show({});
    EXPECT_EQ(shownLines(), std::vector<std::string>{"  "});

    show(counting(16, 0x41));
    EXPECT_EQ(shownLines(), std::vector<std::string>{
                                "0000: 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP"});

    std::vector<uint8_t> seventeen = counting(17, 0x41);
    show(seventeen);
    EXPECT_EQ(shownLines()[1], "0010: 51" + std::string(45, ' ') + "  Q");

    const std::vector<uint8_t> big(0x10000, 0xFF);
    show(big);
    EXPECT_EQ(memo.lineText(0).substr(0, 6), "00000:");
    EXPECT_EQ(memo.lineText(4095).substr(0, 6), "0FFF0:");
}

TEST_F(HexFormTest, CharacterColumnLinesUpAndShowsOnlyPrintables) {
    std::vector<uint8_t> bytes = counting(16, 0x41);
    bytes.push_back(0x7E);
    bytes.push_back(0x7F);
    show(bytes);
    ASSERT_EQ(memo.lineCount(), 2);
    EXPECT_EQ(memo.lineLength(0), 71);
    EXPECT_EQ(memo.lineLength(1), 57);
    EXPECT_EQ(memo.lineText(0).substr(55), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(memo.lineText(1).substr(55), "~.");

    show({31, 32, 126, 127, 255, 0, '0'});
    EXPECT_EQ(memo.lineText(0).substr(55), ". ~...0");
    EXPECT_EQ(memo.lineText(0).substr(0, 27), "0000: 1F 20 7E 7F FF 00 30 ");
}

TEST_F(HexFormTest, AShrinkingDumpLeavesNothingBehind) {
    show(counting(1000));
    show(counting(100, 7));
    EXPECT_EQ(memo.lineCount(), 7);
    EXPECT_EQ(shownText(), referenceDump(counting(100, 7)));
    EXPECT_EQ(memo.textRange(0, 1 << 30), shownText());
}

TEST_F(HexFormTest, SelectionSurvivesARefreshLimitedToTheNewText) {
    show(counting(1000));
    memo.setSelStart(400);
    memo.setSelLength(300);
    show(counting(1000, 1));
    EXPECT_EQ(memo.SelStart(), 400);
    EXPECT_EQ(memo.SelLength(), 300);

    // 100 bytes: six full lines of 71 characters and a line break each, and a last line of 59.
    show(counting(100));
    ASSERT_EQ(memo.textLength(), 6 * 72 + 59);
    EXPECT_EQ(memo.SelStart(), 400);
    EXPECT_EQ(memo.SelLength(), 91);

    memo.setSelStart(480);
    memo.setSelLength(5);
    show(counting(16));
    EXPECT_EQ(memo.SelStart(), 71);
    EXPECT_EQ(memo.SelLength(), 0);

    show({});
    EXPECT_EQ(memo.SelStart(), 2);
}

TEST_F(HexFormTest, SelectionWritesAreLimitedToTheText) {
    show(counting(20));
    const int64_t total = memo.textLength();
    memo.setSelStart(-5);
    EXPECT_EQ(memo.SelStart(), 0);
    memo.setSelStart(total + 10);
    EXPECT_EQ(memo.SelStart(), total);
    memo.setSelStart(10);
    memo.setSelLength(1 << 30);
    EXPECT_EQ(memo.SelLength(), total - 10);
    memo.setSelLength(-3);
    EXPECT_EQ(memo.SelLength(), 0);
    // Setting the start collapses the selection there.
    memo.setSelLength(4);
    memo.setSelStart(12);
    EXPECT_EQ(memo.SelLength(), 0);
}

TEST_F(HexFormTest, ACaretSelectedBackwardsStaysAtItsPlace) {
    show(counting(64));
    memo.select(150, 80);
    show(counting(64, 9));
    EXPECT_EQ(memo.anchor(), 150);
    EXPECT_EQ(memo.caret(), 80);
}

TEST_F(HexFormTest, TheCaretIsScrolledIntoViewAfterShowBytes) {
    showWindow();
    show(counting(0x10000));
    memo.setSelStart(memo.textLength());
    memo.verticalScrollBar()->setValue(0);
    show(counting(0x10000, 3));
    const int32_t caretLine = memo.lineOfPosition(memo.caret());
    EXPECT_EQ(caretLine, 4095);
    EXPECT_LE(memo.firstVisibleLine(), caretLine);
    EXPECT_LT(caretLine, memo.firstVisibleLine() + memo.visibleLineCount());

    // A caret already in sight does not move the view.
    memo.verticalScrollBar()->setValue(2000);
    memo.setSelStart(memo.lineStart(2005) + 3);
    show(counting(0x10000, 4));
    EXPECT_EQ(memo.firstVisibleLine(), 2000);
}

struct CopyCase {
    const char* name;
    int32_t line;
    int32_t column;
    int64_t length;
    std::vector<uint8_t> bytes;  // the selected bytes put on the clipboard beside the text
};

class HexFormCopyTest : public HexFormTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(HexFormCopyTest, CopyPutsExactlyTheSelectedCharacters) {
    const CopyCase& c = GetParam();
    const std::vector<uint8_t> bytes = counting(40, 0x41);
    show(bytes);
    const std::string reference = referenceDump(bytes);
    const int64_t start = memo.lineStart(c.line) + c.column;
    memo.setSelStart(start);
    memo.setSelLength(c.length);
    QApplication::clipboard()->clear();
    form.Copy1->trigger();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text().toStdString(),
              reference.substr(static_cast<size_t>(start), static_cast<size_t>(c.length)));
    const QByteArray data = mime->data("application/octet-stream");
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.end()), c.bytes);
    EXPECT_EQ(memo.SelStart(), start);  // copying does nothing to the view
}

INSTANTIATE_TEST_SUITE_P(
    Selections, HexFormCopyTest,
    ::testing::Values(CopyCase{"TwoWholeBytes", 0, 6, 5, {0x41, 0x42}},
                      CopyCase{"CutDigitsAtBothEnds", 0, 7, 6, {0x42}}, CopyCase{"OneDigitOnly", 0, 6, 1, {}},
                      CopyCase{"CharactersOnly", 0, 55, 16, {}},
                      CopyCase{"AcrossALineBreak", 0, 48, 32, {0x4F, 0x50, 0x51}},
                      CopyCase{"EveryLine", 0, 0, 1000, std::vector<uint8_t>(counting(40, 0x41))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HexFormTest, CtrlCCopiesAndAnEmptySelectionLeavesTheClipboardAlone) {
    show(counting(32, 0x30));
    memo.setSelStart(6);
    memo.setSelLength(2);
    QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "30");
    memo.setSelLength(0);
    form.Copy1->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "30");
}

TEST_F(HexFormTest, TypedKeysChangeNothing) {
    const std::vector<uint8_t> bytes = counting(48, 0x61);
    show(bytes);
    memo.setSelStart(10);
    memo.setSelLength(4);
    QTest::keyClicks(&memo, "xyz 0123!");
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Tab})
        QTest::keyClick(&memo, key);
    QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&memo, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(shownText(), referenceDump(bytes));
    EXPECT_EQ(std::vector<uint8_t>(form.ByteCopy(), form.ByteCopy() + form.ByteCopyLen()), bytes);

    char key = 'q';
    form.HexMemoKeyPress(key);
    EXPECT_EQ(key, '\0');
}

TEST_F(HexFormTest, RedrawUsesTheCopyNotTheCallersBuffer) {
    form.Updatebyteview1->trigger();  // before anything was shown
    EXPECT_EQ(shownText(), "  ");

    std::vector<uint8_t> exported = counting(40);
    show(exported);
    exported.assign(40, 0xEE);  // the caller's buffer changes; the view kept its own copy
    form.Updatebyteview1->trigger();
    EXPECT_EQ(shownText(), referenceDump(counting(40)));

    // A later export of another length replaced the copy: redraw shows that one.
    show(counting(21, 5));
    form.Updatebyteview1->trigger();
    EXPECT_EQ(shownText(), referenceDump(counting(21, 5)));
    EXPECT_EQ(form.ByteCopyLen(), 21);
}

TEST_F(HexFormTest, SaveRunsTheOwnersCommand) {
    int saves = 0;
    form.SaveBinCommand = [&] { ++saves; };
    form.Savebinfile1->trigger();
    EXPECT_EQ(saves, 1);
}

TEST_F(HexFormTest, KeyboardMovesAndExtendsTheSelection) {
    showWindow();
    show(counting(0x1000));
    memo.setFocus();
    memo.setSelStart(memo.lineStart(3) + 10);
    QTest::keyClick(&memo, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&memo, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(memo.SelStart(), memo.lineStart(3) + 10);
    EXPECT_EQ(memo.SelLength(), 2);
    QTest::keyClick(&memo, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(memo.caret(), memo.lineStart(4) + 12);
    QTest::keyClick(&memo, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(memo.caret(), memo.lineStart(4) + 71);
    QTest::keyClick(&memo, Qt::Key_Right, Qt::ShiftModifier);  // the line break is one character
    EXPECT_EQ(memo.caret(), memo.lineStart(5));
    QTest::keyClick(&memo, Qt::Key_Left);  // collapses at the selection's start
    EXPECT_EQ(memo.caret(), memo.lineStart(3) + 10);
    EXPECT_EQ(memo.SelLength(), 0);
    QTest::keyClick(&memo, Qt::Key_Home);
    EXPECT_EQ(memo.caret(), memo.lineStart(3));
    QTest::keyClick(&memo, Qt::Key_PageDown);
    EXPECT_EQ(memo.lineOfPosition(memo.caret()), 3 + memo.visibleLineCount());
    QTest::keyClick(&memo, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(memo.caret(), memo.textLength());
    EXPECT_EQ(memo.firstVisibleLine() + memo.visibleLineCount(), memo.lineCount());
    QTest::keyClick(&memo, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(memo.SelStart(), 0);
    EXPECT_EQ(memo.SelLength(), memo.textLength());
    QTest::keyClick(&memo, Qt::Key_Up);
    EXPECT_EQ(memo.caret(), 0);
    QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(memo.SelLength(), memo.textLength());
}

TEST_F(HexFormTest, MouseSelectsByPressDragAndShiftPress) {
    showWindow();
    show(counting(0x400));
    QWidget* surface = memo.viewport();
    auto pointOf = [&](int32_t line, int32_t column) {
        const QRect cell = memo.positionRect(memo.lineStart(line) + column);
        return QPoint(cell.left() + 1, cell.center().y());
    };
    QTest::mousePress(surface, Qt::LeftButton, {}, pointOf(2, 6));
    QTest::mouseMove(surface, pointOf(4, 8));
    QMouseEvent move(QEvent::MouseMove, pointOf(4, 8), surface->mapToGlobal(pointOf(4, 8)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, pointOf(4, 8));
    EXPECT_EQ(memo.SelStart(), memo.lineStart(2) + 6);
    EXPECT_EQ(memo.caret(), memo.lineStart(4) + 8);

    QTest::mouseClick(surface, Qt::LeftButton, Qt::ShiftModifier, pointOf(1, 0));
    EXPECT_EQ(memo.anchor(), memo.lineStart(2) + 6);
    EXPECT_EQ(memo.caret(), memo.lineStart(1));

    QTest::mouseClick(surface, Qt::LeftButton, {}, pointOf(0, 3));
    EXPECT_EQ(memo.SelStart(), 3);
    EXPECT_EQ(memo.SelLength(), 0);

    QTest::mouseDClick(surface, Qt::LeftButton, {}, pointOf(1, 7));  // inside "10", line 1's first byte
    EXPECT_EQ(memo.selectedText(), "10");
}

TEST_F(HexFormTest, PaintsWithoutTouchingLinesOutOfSight) {
    showWindow();
    show(counting(0x20000));
    memo.verticalScrollBar()->setValue(memo.verticalScrollBar()->maximum());
    memo.setSelStart(memo.lineStart(memo.lineCount() - 2) + 5);
    memo.setSelLength(200);
    const QPixmap picture = form.grab();
    EXPECT_EQ(picture.size(), form.size());
    // Right of the 71 columns lies the dump's black background.
    const int right = memo.viewport()->width() - 3;
    EXPECT_EQ(picture.toImage().pixelColor(right, 5), QColor(Qt::black));
}

}  // namespace
