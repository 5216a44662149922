#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/IniFile.h"
#include "core/Errors.h"

using zandrel::IniFile;
namespace fs = std::filesystem;

namespace {

class IniFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zandrel-ini-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        path_ = (dir_ / "zandrel.ini").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void writeFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string readFile() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    fs::path dir_;
    std::string path_;
};

}  // namespace

TEST_F(IniFileTest, MissingFileGivesTheDefaults) {
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("ZandrelForm", "Top", 7), 7);
    EXPECT_EQ(ini.ReadString("ZandrelForm", "WorkingDir", "none"), "none");
}

TEST_F(IniFileTest, ReadsIntegersByTheTextToIntegerRule) {
    writeFile(
        "[ZandrelForm]\r\nBitSizeX=0x10\r\nBitsPerRow=abc\r\nTop=-5\r\nLeft=\r\n[Export]\r\nROMLayout=$"
        "101\r\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("ZandrelForm", "BitSizeX", 4), 16);
    EXPECT_EQ(ini.ReadInteger("ZandrelForm", "BitsPerRow", 1024), 1024);
    EXPECT_EQ(ini.ReadInteger("zandrelform", "top", 0), -5);
    EXPECT_EQ(ini.ReadInteger("ZandrelForm", "Left", 3), 3);
    EXPECT_EQ(ini.ReadInteger("Export", "ROMLayout", 0), 257);
    EXPECT_EQ(ini.ReadInteger("Export", "BitSizeX", 9), 9) << "keys belong to their own section";
}

TEST_F(IniFileTest, TextValuesAreTrimmedAndCutAt2047Characters) {
    writeFile("[S]\nA =  some text  \nB=" + std::string(3000, 'x') + "\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadString("S", "A", ""), "some text");
    EXPECT_EQ(ini.ReadString("S", "B", "").size(), 2047u);
}

TEST_F(IniFileTest, FirstWritingFollowsTheOrderOfTheWrites) {
    IniFile ini(path_);
    ini.WriteInteger("ZandrelForm", "Top", 0);
    ini.WriteInteger("ZandrelForm", "Left", 0);
    ini.WriteString("ZandrelForm", "WorkingDir", "/roms/");
    ini.WriteInteger("Export", "ROMLayout", -1);
    ini.WriteString("Export", "OutputBitOrder", "0 1 2");
    ini.Flush();
    EXPECT_EQ(
        readFile(),
        "[ZandrelForm]\nTop=0\nLeft=0\nWorkingDir=/roms/\n[Export]\nROMLayout=-1\nOutputBitOrder=0 1 2\n");
}

TEST_F(IniFileTest, LaterWritingsUpdateInPlaceAndKeepTheFilesOrder) {
    writeFile("; kept comment\n[Export]\nROMLayout=1\n\n[ZandrelForm]\nLeft=3\nTop=4\nOther=keep\n");
    IniFile ini(path_);
    ini.WriteInteger("ZandrelForm", "Top", 10);
    ini.WriteInteger("ZandrelForm", "Left", 20);
    ini.WriteInteger("ZandrelForm", "Width", 30);
    ini.WriteInteger("Export", "ROMLayout", 0);
    ini.WriteInteger("Export", "ReverseOutputs", 1);
    ini.Flush();
    EXPECT_EQ(readFile(),
              "; kept comment\n[Export]\nROMLayout=0\nReverseOutputs=1\n\n[ZandrelForm]\nLeft=20\nTop=10\n"
              "Other=keep\nWidth=30\n");
}

TEST_F(IniFileTest, KeepsCarriageReturnLineEnds) {
    writeFile("[S]\r\nA=1\r\n");
    IniFile ini(path_);
    ini.WriteInteger("S", "B", 2);
    ini.Flush();
    EXPECT_EQ(readFile(), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST_F(IniFileTest, AValueEndsAtItsFirstLineBreakSoItCannotChangeOtherKeys) {
    writeFile("[ZandrelForm]\nWorkingDir=/old/\n[Export]\nReverseOutputs=0\n");
    IniFile ini(path_);
    ini.WriteString("ZandrelForm", "WorkingDir", "/roms/a\n[Export]\nReverseOutputs=1\n/");
    ini.WriteString("ZandrelForm", "Other", "b\r\nTop=7");
    ini.Flush();
    EXPECT_EQ(readFile(), "[ZandrelForm]\nWorkingDir=/roms/a\nOther=b\n[Export]\nReverseOutputs=0\n");
    IniFile again(path_);
    EXPECT_EQ(again.ReadInteger("Export", "ReverseOutputs", -1), 0);
    EXPECT_EQ(again.ReadInteger("ZandrelForm", "Top", -1), -1);
}

TEST_F(IniFileTest, AFailedWriteRaisesTheWriteError) {
    std::string unwritable = (dir_ / "missing-folder" / "zandrel.ini").string();
    IniFile ini(unwritable);
    ini.WriteInteger("S", "A", 2);
    try {
        ini.Flush();
        FAIL() << "expected the write to fail";
    } catch (const zandrel::Error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + unwritable);
    }
    EXPECT_FALSE(fs::exists(unwritable));
}

TEST_F(IniFileTest, NothingWrittenMeansNoFile) {
    IniFile ini(path_);
    ini.Flush();
    EXPECT_FALSE(fs::exists(path_));
}
