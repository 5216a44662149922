#include "MainFormFixture.h"
#include "core/Errors.h"

using namespace zandrel;
using zandrel::testing::MainFormTest;

namespace {

std::string identity(int outputs) {
    std::string text;
    for (int i = 0; i < outputs; ++i) text += (i ? " " : "") + std::to_string(i);
    return text;
}

}  // namespace

TEST_F(MainFormTest, FirstRunWritesAllFifteenKeysInOrder) {
    start();
    main->move(0, 0);
    main->document().WorkingDir = "/roms/";
    closeWindows();
    EXPECT_EQ(readFile(settingsPath),
              "[ZandrelForm]\nTop=0\nLeft=0\nWidth=1260\nHeight=368\nBitSizeX=4\nBitSizeY=4\nBitGap=2\n"
              "ColGap=4\nBitsPerRow=1024\nBitsPerOutput=32\nWorkingDir=/roms/\n[Export]\nReverseOutputs=0\n"
              "ReverseWithinOutCol=0\nROMLayout=0\nOutputBitOrder=" +
                  identity(32) + "\n");
}

TEST_F(MainFormTest, SettingsAreReadByTheirRules) {
    writeFile("zandrel.ini",
              "[ZandrelForm]\nWidth=900\nHeight=300\nBitSizeX=0x10\nBitsPerRow=abc\nBitGap=-1\n"
              "WorkingDir=/data/roms/\n[Export]\nROMLayout=257\nReverseOutputs=1\nOutputBitOrder=7 6 5 4 3 2 "
              "1 0\n");
    start();
    EXPECT_EQ(main->BitSizeXEdit->text(), "16");
    EXPECT_EQ(main->BitsPerRowEdit->text(), "1024");
    EXPECT_EQ(main->BitGapEdit->text(), "-1");
    EXPECT_EQ(main->width(), 900 - 16);
    const Document& doc = main->document();
    EXPECT_EQ(doc.WorkingDir, "/data/roms/");
    EXPECT_EQ(doc.ROMLayout, 1);
    EXPECT_EQ(doc.ReverseOutputs, 1);
    EXPECT_EQ(doc.ReverseWithinOutCol, 0);
    EXPECT_EQ(doc.OutputBitOrder[0], 7);
    EXPECT_EQ(doc.OutputBitOrder[7], 0);
    EXPECT_EQ(doc.OutputBitOrder[8], 8);
    EXPECT_EQ(doc.EndianMode, 1) << "no file holds the endianness";
}

TEST_F(MainFormTest, LaterRunsUpdateTheFileInPlace) {
    writeFile("zandrel.ini", "[Export]\nROMLayout=1\n; mine\n[ZandrelForm]\nBitsPerRow=64\nExtra=kept\n");
    start();
    main->BitSizeXEdit->setText("not a number");
    closeWindows();
    const std::string text = readFile(settingsPath);
    EXPECT_EQ(
        text.rfind("[Export]\nROMLayout=1\n; mine\nReverseOutputs=0\nReverseWithinOutCol=0\nOutputBitOrder=",
                   0),
        0u)
        << text;
    EXPECT_NE(text.find("[ZandrelForm]\nBitsPerRow=64\nExtra=kept\nTop="), std::string::npos) << text;
    EXPECT_NE(text.find("BitSizeX=4\n"), std::string::npos) << "an unreadable edit saves its fallback";
}

TEST_F(MainFormTest, AnUnreadableLayoutStillSavesEverySetting) {
    start();
    main->document().WorkingDir = "/kept/";
    main->BitsPerOutputEdit->setText("0");
    closeWindows();
    const std::string text = readFile(settingsPath);
    EXPECT_NE(text.find("BitsPerOutput=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("WorkingDir=/kept/\n"), std::string::npos) << text;
    EXPECT_NE(text.find("OutputBitOrder=" + identity(32) + "\n"), std::string::npos) << text;
}

TEST_F(MainFormTest, AStartUpLayoutThatDividesByZeroIsAStartUpError) {
    writeFile("zandrel.ini", "[ZandrelForm]\nBitsPerOutput=0\n");
    EXPECT_THROW(start(), DivisionByZero);
}
