#include <gtest/gtest.h>

#include "core/Path.h"

using namespace zandrel;

TEST(PathTest, DirectoryPartEndsAtTheLastSeparator) {
    EXPECT_EQ(DirectoryPart("/home/rom/dump.bin"), "/home/rom/");
    EXPECT_EQ(DirectoryPart("C:\\roms\\a.bit"), "C:\\roms\\");
    EXPECT_EQ(DirectoryPart("C:a.bit"), "C:");
    EXPECT_EQ(DirectoryPart("dir\\sub/x"), "dir\\sub/");
    EXPECT_EQ(DirectoryPart("/"), "/");
    EXPECT_EQ(DirectoryPart("name.txt"), "");
    EXPECT_EQ(DirectoryPart(""), "");
    EXPECT_EQ(DirectoryPart("/roms/\xC3\xA9t\xC3\xA9.bin"), "/roms/");
}

TEST(PathTest, OpenDialogStartsInTheWorkingDirectory) {
    DialogStart dialog{"/old/", "/old/a.bin"};
    PrepareOpenDialog(dialog, "");
    EXPECT_EQ(dialog.InitialDir, "/old/");
    EXPECT_EQ(dialog.FileName, "/old/a.bin");
    PrepareOpenDialog(dialog, "/work/");
    EXPECT_EQ(dialog.InitialDir, "/work/");
    EXPECT_EQ(dialog.FileName, "");
}

TEST(PathTest, SaveDialogKeepsItsFileWhileTheWorkingDirectoryHoldsIt) {
    DialogStart dialog{"/start/", "/roms/last.bit"};
    PrepareSaveDialog(dialog, "/roms/");
    EXPECT_EQ(dialog.InitialDir, "/start/");
    EXPECT_EQ(dialog.FileName, "/roms/last.bit");
    PrepareSaveDialog(dialog, "");
    EXPECT_EQ(dialog.FileName, "/roms/last.bit");
    PrepareSaveDialog(dialog, "/Roms/");  // compared case-sensitively
    EXPECT_EQ(dialog.InitialDir, "/Roms/");
    EXPECT_EQ(dialog.FileName, "");
}
