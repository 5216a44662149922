#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "MainFormFixture.h"
#include "core/HexDump.h"
#include "ui/ErrorReport.h"

using namespace zandrel;
using zandrel::testing::MainFormTest;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

}  // namespace

TEST_F(MainFormTest, StartsWithTheFormsTextsAndAnEmptyGrid) {
    start();
    EXPECT_EQ(main->windowTitle().toStdString(), "Zandrel: The ROM bit manipulation tool");
    EXPECT_EQ(main->BitSizeXEdit->text(), "4");
    EXPECT_EQ(main->BitSizeYEdit->text(), "4");
    EXPECT_EQ(main->BitGapEdit->text(), "2");
    EXPECT_EQ(main->ColGapEdit->text(), "4");
    EXPECT_EQ(main->BitsPerRowEdit->text(), "1024");
    EXPECT_EQ(main->BitsPerOutputEdit->text(), "32");
    EXPECT_EQ(main->ActionRadioGroup->ItemIndex(), -1);
    const Document& doc = main->document();
    EXPECT_EQ(doc.OutputsPerRow, 32);
    EXPECT_EQ(doc.ImageWidth, 6277);
    EXPECT_EQ(doc.ImageHeight, 9);
    EXPECT_EQ(hexForm->ByteCopyLen(), 0);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainFormTest, EnterInALayoutEditRefreshesAndIsSwallowed) {
    start();
    writeFile("rom.bin", std::string(1024, '\x55'));
    open("rom.bin");
    main->BitsPerRowEdit->setText("100");
    EXPECT_EQ(main->document().BitsPerRow, 1024) << "typing alone changes nothing";
    enterIn(main->BitsPerRowEdit);
    EXPECT_EQ(main->BitsPerRowEdit->text(), "100");
    EXPECT_EQ(main->document().BitsPerRow, 100);
    EXPECT_EQ(main->document().ImageWidth, 621);
}

TEST_F(MainFormTest, AZeroDivisorIsShownByTheGeneralErrorReportAndTheWindowGoesOn) {
    start();
    writeFile("rom.bin", std::string(16, '\x0F'));
    open("rom.bin");
    const int32_t width = main->document().ImageWidth;
    main->BitsPerOutputEdit->setText("0");
    enterIn(main->BitsPerOutputEdit);
    ASSERT_EQ(dialogs.count("error"), 1u);
    EXPECT_EQ(dialogs.boxes.back().text, "Division by zero.");
    EXPECT_EQ(dialogs.boxes.back().caption, kApplicationTitle);
    EXPECT_EQ(main->document().ImageWidth, width);
    main->BitsPerOutputEdit->setText("32");
    enterIn(main->BitsPerOutputEdit);
    EXPECT_EQ(dialogs.count("error"), 1u);
}

TEST_F(MainFormTest, TheOpenCommandChoosesTheLoaderByTheLastFourCharacters) {
    struct Case {
        const char* name;
        std::string content;
        int32_t bits;
        const char* bitsPerRow;
    };
    const Case cases[] = {
        {"a.txt", "0101 1100\n1111 0000\n", 16, "8"},
        {"b.TXT", "01", 16, "1024"},
        {"c.bin", bytes({0x01, 0x80}), 16, "1024"},
    };
    start();
    for (const Case& c : cases) {
        writeFile(c.name, c.content);
        main->BitsPerRowEdit->setText("1024");
        open(c.name);
        EXPECT_EQ(main->document().BinDataLen, c.bits) << c.name;
        EXPECT_EQ(main->BitsPerRowEdit->text().toStdString(), c.bitsPerRow) << c.name;
        EXPECT_EQ(main->windowTitle().toStdString(), "Zandrel: " + path(c.name));
        EXPECT_EQ(main->document().ShownBitCount, c.bits) << "the refresh followed";
    }
    EXPECT_EQ(main->document().WorkingDir, dir.string() + "/");
    EXPECT_EQ(dialogs.fileDialogs.back().start.InitialDir, dir.string() + "/");
}

TEST_F(MainFormTest, ACancelledOrFailedOpenKeepsTheCells) {
    start();
    writeFile("rom.bin", bytes({0x01, 0x80}));
    open("rom.bin");
    const std::string caption = main->windowTitle().toStdString();
    dialogs.fileAnswers.push_back(std::nullopt);
    main->OpenBinFileButtonClick();
    open("missing.bin");
    EXPECT_EQ(main->document().BinDataLen, 16);
    EXPECT_EQ(main->windowTitle().toStdString(), caption);
    ASSERT_EQ(dialogs.count("message"), 1u);
    EXPECT_EQ(dialogs.boxes.back().text, "Unable to open input binary file. Aborting.");
    EXPECT_EQ(dialogs.boxes.back().caption, "Error");
}

TEST_F(MainFormTest, PointerReadOutFollowsTheBitmapPosition) {
    start();
    writeFile("rom.bin", std::string(1024, '\0'));
    open("rom.bin");
    struct Case {
        int x, y;
        const char *bit, *group, *row, *fullCol, *col;
    };
    const Case cases[] = {{5, 5, "0", "1", "0", "0", "32"},
                          {7, 7, "1025", "1", "1", "1", "1"},
                          {193, 7, "1056", "2", "1", "32", "32"},
                          {203, 7, "1057", "2", "1", "33", "1"}};
    for (const Case& c : cases) {
        const QPoint p = clientOf(c.x, c.y);
        main->BitImageEnViewMouseMove(p.x(), p.y());
        EXPECT_EQ(main->BitNumberLabel->text(), c.bit) << c.x;
        EXPECT_EQ(main->GroupLabel->text(), c.group) << c.x;
        EXPECT_EQ(main->RowLabel->text(), c.row) << c.x;
        EXPECT_EQ(main->FullColLabel->text(), c.fullCol) << c.x;
        EXPECT_EQ(main->ColLabel->text(), c.col) << c.x;
    }
}

TEST_F(MainFormTest, PressDragAndReleaseActOnTheCellsUnderThePointer) {
    start();
    writeFile("rom.bin", std::string(1024, '\0'));
    open("rom.bin");
    const Document& doc = main->document();

    QPoint p = clientOf(7, 7);
    main->BitImageEnViewMouseDown(0, p.x(), p.y());
    EXPECT_EQ(doc.Cells[0], 0) << "no action chosen";
    EXPECT_EQ(doc.DragMode, 0);

    main->ActionRadioGroup->setItemIndex(0);  // Select Bit
    main->BitImageEnViewMouseDown(0, p.x(), p.y());
    EXPECT_EQ(doc.Cells[0], CELL_SELECTED);
    EXPECT_EQ(doc.DragMode, 1);
    p = clientOf(13, 7);
    main->BitImageEnViewMouseMove(p.x(), p.y());
    EXPECT_EQ(doc.Cells[1], CELL_SELECTED) << "the drag goes on selecting";
    main->BitImageEnViewMouseUp(0, p.x(), p.y());
    EXPECT_EQ(doc.DragMode, 0);

    p = clientOf(10, 7);  // between cells 0 and 1
    main->BitImageEnViewMouseDown(0, p.x(), p.y());
    EXPECT_EQ(doc.DragMode, 0);
    main->ActionRadioGroup->setItemIndex(1);  // Select Row
    main->BitImageEnViewMouseDown(0, p.x(), p.y());
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(doc.Cells[static_cast<size_t>(i)], CELL_SELECTED) << i;
    EXPECT_EQ(doc.Cells[1024], 0);

    main->ActionRadioGroup->setItemIndex(3);  // Set Bit
    p = clientOf(7, 7);
    main->BitImageEnViewMouseDown(2, p.x(), p.y());
    EXPECT_EQ(doc.DragMode, 3) << "the middle button hits and changes nothing";
    EXPECT_EQ(doc.Cells[0], CELL_SELECTED);
    main->BitImageEnViewMouseDown(0, p.x(), p.y());
    EXPECT_EQ(doc.Cells[0], CELL_SELECTED | CELL_VALUE);
    main->BitImageEnViewMouseDown(1, p.x(), p.y());
    EXPECT_EQ(doc.Cells[0], CELL_SELECTED);
}

TEST_F(MainFormTest, HitsAtTwiceTheZoom) {
    start();
    writeFile("rom.bin", std::string(1024, '\0'));
    open("rom.bin");
    main->BitImageEnView->setZoom(200.0, QPoint(0, 0));
    main->ActionRadioGroup->setItemIndex(3);  // Set Bit
    BitView* view = main->BitImageEnView;
    const int y = 14 + view->ImageOriginY() - view->ViewY();
    main->BitImageEnViewMouseDown(0, 19 + view->ImageOriginX() - view->ViewX(), y);
    EXPECT_EQ(main->document().DragMode, 0) << "px 19 misses cell 0";
    main->BitImageEnViewMouseDown(0, 18 + view->ImageOriginX() - view->ViewX(), y);
    EXPECT_EQ(main->document().Cells[0], CELL_VALUE);
}

TEST_F(MainFormTest, MouseEventsOfTheViewReachTheHandlers) {
    start();
    writeFile("rom.bin", std::string(1024, '\0'));
    open("rom.bin");
    main->ActionRadioGroup->setItemIndex(3);
    const QPoint p = clientOf(7, 7);
    QWidget* viewport = main->BitImageEnView->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(main->document().Cells[0], CELL_VALUE);
    EXPECT_EQ(main->document().DragMode, 1);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(main->document().DragMode, 0);
    EXPECT_EQ(main->BitNumberLabel->text(), "") << "no move yet";
}

TEST_F(MainFormTest, SelectionCommandsChangeTheCellsAndTheByteViewFollows) {
    start();
    writeFile("rom.bin", std::string(1024, '\0'));
    open("rom.bin");
    main->Byteviewhex1Click();
    ASSERT_EQ(hexForm->ByteCopyLen(), 1024);
    EXPECT_TRUE(hexForm->isVisible());

    main->SelAllButton->click();
    EXPECT_EQ(main->document().Cells[8191], CELL_SELECTED);
    EXPECT_EQ(hexForm->HexMemo->lineText(0), DumpLine(main->document().ExportData.data(), 1024, 0));
    main->InvertSelButton->click();
    EXPECT_EQ(main->document().Cells[5], CELL_SELECTED | CELL_VALUE);
    EXPECT_EQ(hexForm->ByteCopy()[0], 0xFF) << "the byte view follows the inverted bits";
    main->ClearSelButton->click();
    EXPECT_EQ(main->document().Cells[5], CELL_VALUE);

    dialogs.modalAnswers.push_back([](QDialog& window) {
        static_cast<TSelPatForm&>(window).PatEdit->setText("8");
        return TSelPatForm::kModalResultOK;
    });
    main->Selectpattern1->trigger();
    EXPECT_EQ(main->document().Cells[4], CELL_SELECTED | CELL_VALUE);
    EXPECT_EQ(main->document().Cells[5], CELL_VALUE);
    dialogs.modalAnswers.push_back([](QDialog& window) {
        static_cast<TSelPatForm&>(window).PatEdit->setText("xyz");
        return TSelPatForm::kModalResultOK;
    });
    main->Selectpattern1->trigger();
    ASSERT_EQ(dialogs.count("error"), 1u);
    EXPECT_EQ(dialogs.boxes.back().text, "Division by zero.");
    EXPECT_EQ(selPatForm->PatEdit->text(), "xyz") << "the window keeps the pattern typed last";
}

TEST_F(MainFormTest, SaveBinWritesTheExportAndKeepsTheFolder) {
    start();
    main->SaveBinButtonClick();
    ASSERT_EQ(dialogs.count("message"), 1u);
    EXPECT_EQ(dialogs.boxes.back().text, "No data to export.");
    EXPECT_EQ(dialogs.boxes.back().caption, "ERROR");
    EXPECT_TRUE(dialogs.fileDialogs.empty());

    writeFile("rom.bin", bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    open("rom.bin");
    dialogs.fileAnswers.push_back(path("out"));
    main->SaveBinButtonClick();
    EXPECT_EQ(readFile(path("out.bin")),
              std::string(main->document().ExportData.begin(), main->document().ExportData.end()));
    EXPECT_EQ(dialogs.fileDialogs.back().settings.DefaultExt, ".bin");
    EXPECT_TRUE(dialogs.fileDialogs.back().settings.OverwritePrompt);

    dialogs.fileAnswers.push_back(path("no-such-folder/out.bin"));
    main->SaveBinButtonClick();
    EXPECT_EQ(dialogs.boxes.back().text, "Unable to open .bin file to write!");
    EXPECT_EQ(main->document().WorkingDir, path("no-such-folder/"));

    // A folder of the chosen name cannot be opened as a file either, and stays a folder.
    std::filesystem::create_directory(path("taken.bin"));
    dialogs.boxes.clear();
    dialogs.fileAnswers.push_back(path("taken.bin"));
    main->SaveBinButtonClick();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes.back().text, "Unable to open .bin file to write!");
    EXPECT_TRUE(std::filesystem::is_directory(path("taken.bin")));
}

TEST_F(MainFormTest, SaveProjectAndReopenIt) {
    start();
    writeFile("rom.txt", "0101 1100\n1111 0000\n");
    open("rom.txt");
    main->SelAllButton->click();
    dialogs.fileAnswers.push_back(path("work"));
    main->SaveBitProjButtonClick();
    EXPECT_EQ(main->windowTitle().toStdString(), "Zandrel: " + path("work.bit"));
    writeFile("other.bin", std::string(4, '\0'));
    open("other.bin");
    open("work.bit");
    EXPECT_EQ(main->document().BinDataLen, 16);
    EXPECT_EQ(main->document().Cells[1], CELL_VALUE | CELL_SELECTED);
    EXPECT_EQ(main->BitsPerOutputEdit->text(), "4");
}

TEST_F(MainFormTest, SaveImageWritesThePictureByItsExtension) {
    start();
    writeFile("rom.bin", std::string(16, '\x5A'));
    open("rom.bin");
    dialogs.fileAnswers.push_back(path("grid"));
    main->SaveImageButtonClick();
    const std::string png = readFile(path("grid.png"));
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    dialogs.fileAnswers.push_back(path("grid.xyz"));
    main->SaveImageButton->click();
    EXPECT_EQ(dialogs.count("error"), 1u) << "an extension without a writer is reported";
    EXPECT_FALSE(std::filesystem::exists(path("grid.xyz")));
}

TEST_F(MainFormTest, ExportOptionsWindowOpensFromEveryBinding) {
    start();
    main->ExportOptsButton->click();
    EXPECT_TRUE(exportForm->isVisible());
    exportForm->hide();
    main->Exportbinary1->trigger();
    EXPECT_TRUE(exportForm->isVisible());
    exportForm->hide();
    main->Exportoptions1->trigger();
    EXPECT_TRUE(exportForm->isVisible());
    EXPECT_TRUE(dialogs.fileDialogs.empty());
}
