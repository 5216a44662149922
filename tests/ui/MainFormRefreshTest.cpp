// Random edits, selection commands and layout changes, refreshed as the window refreshes them
// (only what changed), must show and export exactly what a full rebuild gives.

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <random>

#include "MainFormFixture.h"
#include "core/HexDump.h"

using namespace zandrel;
using zandrel::testing::MainFormTest;

namespace {

/// The bytes a fresh document with the same cells and options exports.
std::vector<uint8_t> fullExport(const Document& doc, const LayoutTexts& edits) {
    Document fresh;
    fresh.Cells = doc.Cells;
    fresh.BinDataLen = doc.BinDataLen;
    fresh.ReverseOutputs = doc.ReverseOutputs;
    fresh.ReverseWithinOutCol = doc.ReverseWithinOutCol;
    fresh.EndianMode = doc.EndianMode;
    fresh.OutputBitOrder = doc.OutputBitOrder;
    fresh.ExportBin(edits);
    return fresh.ExportData;
}

QImage shownOnScreen(QWidget* viewport) {
    // Repaints are posted; a resize or a newly shown window may post more while they run.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
    }
    const QPoint origin = viewport->mapTo(viewport->window(), QPoint(0, 0));
    return viewport->screen()
        ->grabWindow(viewport->window()->winId(), origin.x(), origin.y(), viewport->width(),
                     viewport->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB888);
}

QImage drawnAfresh(QWidget* viewport) {
    return viewport->grab().toImage().convertToFormat(QImage::Format_RGB888);
}

}  // namespace

TEST_F(MainFormTest, IncrementalRefreshEqualsAFullRebuild) {
    start();
    main->resize(700, 400);
    // 40 rows of 64 bits in groups of 8, some of it random, and a partial last row.
    std::mt19937 random(20261211);
    std::string text;
    for (int i = 0; i < 2600; ++i) {
        text += (random() % 3 == 0) ? '1' : '0';
        if (i % 64 == 7) text += ' ';
        if (i % 64 == 63) text += '\n';
    }
    writeFile("rom.txt", text);
    open("rom.txt");
    main->BitSizeXEdit->setText("6");
    main->BitSizeYEdit->setText("5");
    enterIn(main->BitSizeXEdit);
    main->Byteviewhex1Click();
    Document& doc = main->document();
    QWidget* viewport = main->BitImageEnView->viewport();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    QTest::qWait(20);

    for (int step = 0; step < 160; ++step) {
        const int choice = static_cast<int>(random() % 20);
        if (choice < 12) {
            // A press or a drag move over a random point of the picture.
            main->ActionRadioGroup->setItemIndex(static_cast<int>(random() % 4));
            const QPoint p = clientOf(static_cast<int>(random() % static_cast<unsigned>(doc.ImageWidth)),
                                      static_cast<int>(random() % static_cast<unsigned>(doc.ImageHeight)));
            if (doc.DragMode != 0 && random() % 3 != 0) {
                main->BitImageEnViewMouseMove(p.x(), p.y());
            } else {
                main->BitImageEnViewMouseDown(static_cast<int>(random() % 3), p.x(), p.y());
            }
        } else if (choice == 12) {
            main->SelAllButtonClick();
        } else if (choice == 13) {
            main->ClearSelButtonClick();
        } else if (choice == 14 || choice == 15) {
            main->InvertSelButtonClick();
        } else if (choice == 16) {
            const char* patterns[] = {"8", "F0", "1", "A5C"};
            const char* pattern = patterns[random() % 4];
            dialogs.modalAnswers.push_back([pattern](QDialog& window) {
                static_cast<TSelPatForm&>(window).PatEdit->setText(pattern);
                return TSelPatForm::kModalResultOK;
            });
            main->Selectpattern1Click();
        } else if (choice == 17) {
            const char* rows[] = {"64", "48", "100", "32"};
            main->BitsPerRowEdit->setText(rows[random() % 4]);
            enterIn(main->BitsPerRowEdit);
        } else if (choice == 18) {
            doc.ReverseOutputs = !doc.ReverseOutputs;
            main->RefreshExport();
        } else {
            main->BitImageEnView->setZoom(main->BitImageEnView->ZoomX() * (random() % 2 ? 1.25 : 0.8),
                                          QPoint(3, 3));
        }
        ASSERT_TRUE(dialogs.boxes.empty()) << "step " << step << ": " << dialogs.boxes.back().text;

        const std::vector<uint8_t> expected = fullExport(doc, main->layoutTexts());
        ASSERT_EQ(doc.ExportData, expected) << "step " << step;
        ASSERT_EQ(hexForm->ByteCopyLen(), doc.ExportLen) << "step " << step;
        for (int32_t line = 0; line < DumpLineCount(doc.ExportLen); ++line)
            ASSERT_EQ(hexForm->HexMemo->lineText(line), DumpLine(expected.data(), doc.ExportLen, line))
                << "step " << step << " line " << line;
        // What the screen shows after the partial repaints, then a repaint of everything.
        const QImage shown = shownOnScreen(viewport);
        const QImage fresh = drawnAfresh(viewport);
        ASSERT_TRUE(shown == fresh) << "step " << step;
    }
}
