#include <gtest/gtest.h>

#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include "FakeDialogs.h"
#include "core/Errors.h"
#include "ui/CheckBox.h"
#include "ui/Dialogs.h"
#include "ui/Edit.h"
#include "ui/ErrorReport.h"
#include "ui/RadioGroup.h"

using namespace zandrel;
using zandrel::testing::ErrorBoxInstalled;
using zandrel::testing::FakeDialogs;

namespace {

TEST(ErrorReportTest, FullStopRule) {
    struct Case {
        const char* message;
        const char* shown;
    };
    for (const Case c : {Case{"Division by zero", "Division by zero."}, Case{"Error 42", "Error 42."},
                         Case{"Done.", "Done."}, Case{"Stop!", "Stop!"}, Case{"(none)", "(none)"},
                         Case{"", ""}, Case{"a-", "a-"}, Case{"path/", "path/."}, Case{"\xE9", "\xE9."}}) {
        EXPECT_EQ(ErrorReportText(c.message), c.shown) << c.message;
    }
}

TEST(ErrorReportTest, EscapedErrorsReachTheErrorBoxTitledWithTheApplication) {
    FakeDialogs dialogs;
    ErrorBoxInstalled installed(dialogs);
    bool after = false;
    RunCommand([] { throw DivisionByZero(); });
    RunCommand([] { throw 7; });
    RunCommand([&] { after = true; });
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].kind, "error");
    EXPECT_EQ(dialogs.boxes[0].text, "Division by zero.");
    EXPECT_EQ(dialogs.boxes[0].caption, "Zandrel: The ROM bit manipulation tool");
    EXPECT_EQ(dialogs.boxes[1].text, "");
    EXPECT_TRUE(after);
}

TEST(DialogsTest, DefaultExtensionOnlyForNamesWithoutOne) {
    struct Case {
        const char* path;
        const char* ext;
        const char* result;
    };
    for (const Case c :
         {Case{"/roms/a", ".bin", "/roms/a.bin"}, Case{"/roms/a.rom", ".bin", "/roms/a.rom"},
          Case{"/ro.ms/a", "bin", "/ro.ms/a.bin"}, Case{"C:\\x.y\\rom", ".bit", "C:\\x.y\\rom.bit"},
          Case{"/roms/a", "", "/roms/a"}, Case{"", ".bin", ""}}) {
        EXPECT_EQ(WithDefaultExt(c.path, c.ext), c.result) << c.path;
    }
}

class RadioGroupTest : public ::testing::Test {
protected:
    RadioGroup group{"ROM layout", {"first", "second", "third"}};
    int clicks = 0;
    void SetUp() override {
        group.resize(225, 90);
        group.OnClick = [this] { ++clicks; };
    }
};

TEST_F(RadioGroupTest, ItemIndexIsLimitedAndClicksOnlyOnAnotherItem) {
    EXPECT_EQ(group.ItemIndex(), -1);
    struct Step {
        int set;
        int index;
        int clicks;
    };
    for (const Step s : {Step{1, 1, 1}, Step{1, 1, 1}, Step{5, 2, 2}, Step{2, 2, 2}, Step{-1, -1, 2},
                         Step{-9, -1, 2}, Step{0, 0, 3}}) {
        group.setItemIndex(s.set);
        EXPECT_EQ(group.ItemIndex(), s.index) << s.set;
        EXPECT_EQ(clicks, s.clicks) << s.set;
        for (int i = 0; i < group.count(); ++i) EXPECT_EQ(group.button(i)->isChecked(), i == s.index);
    }
}

TEST_F(RadioGroupTest, HandlerSeesTheNewIndex) {
    int seen = -2;
    group.OnClick = [&] { seen = group.ItemIndex(); };
    group.setItemIndex(2);
    EXPECT_EQ(seen, 2);
}

TEST_F(RadioGroupTest, UserChoiceClicksOnceAndTheChosenItemNotAgain) {
    group.show();
    QTest::mouseClick(group.button(1), Qt::LeftButton);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(group.button(1), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(RadioGroupTest, ErrorsOfASetReachTheCallerAndThoseOfAUserChoiceTheReport) {
    FakeDialogs dialogs;
    ErrorBoxInstalled installed(dialogs);
    group.OnClick = [] { throw DivisionByZero(); };
    EXPECT_THROW(group.setItemIndex(1), DivisionByZero);
    EXPECT_EQ(group.ItemIndex(), 1);
    group.show();
    QTest::mouseClick(group.button(2), Qt::LeftButton);
    EXPECT_EQ(group.ItemIndex(), 2);
    ASSERT_EQ(dialogs.count("error"), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "Division by zero.");
}

TEST(RadioGroupLayoutTest, ItemsFillColumnsFromTheTop) {
    RadioGroup group("", {"Select Bit", "Select Row", "Select Column", "Set Bit"}, 2);
    group.resize(217, 48);
    EXPECT_TRUE(group.title().isEmpty());
    EXPECT_EQ(group.button(0)->x(), group.button(1)->x());
    EXPECT_LT(group.button(0)->y(), group.button(1)->y());
    EXPECT_GT(group.button(2)->x(), group.button(0)->x());
    EXPECT_EQ(group.button(2)->y(), group.button(0)->y());
}

TEST(CheckBoxTest, ClickRunsExactlyWhenTheStateChanges) {
    CheckBox box("Reverse");
    int clicks = 0;
    bool seen = false;
    box.OnClick = [&] {
        ++clicks;
        seen = box.Checked();
    };
    box.setChecked(false);
    EXPECT_EQ(clicks, 0);
    box.setChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(seen);
    box.setChecked(true);
    EXPECT_EQ(clicks, 1);
    static_cast<QCheckBox&>(box).setChecked(false);  // through the base class as well
    EXPECT_EQ(clicks, 2);
    box.show();
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(clicks, 3);
    EXPECT_TRUE(box.Checked());
}

TEST(CheckBoxTest, ErrorsOfASetReachTheCallerAndThoseOfAClickTheReport) {
    FakeDialogs dialogs;
    ErrorBoxInstalled installed(dialogs);
    CheckBox box("Reverse");
    box.OnClick = [] { throw DivisionByZero(); };
    EXPECT_THROW(box.setChecked(true), DivisionByZero);
    EXPECT_TRUE(box.Checked());
    box.show();
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(dialogs.count("error"), 1u);
}

class EditTest : public ::testing::Test {
protected:
    QWidget window;
    Edit* edit = new Edit(&window);
    QLineEdit* other = new QLineEdit(&window);
    std::string keys;
    int exits = 0;

    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        edit->OnKeyPress = [this](char& Key) {
            keys += Key;
            if (Key == '\r' || Key == 'x') Key = '\0';
        };
        edit->OnExit = [this] { ++exits; };
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }
};

TEST_F(EditTest, TypedCharactersPassThroughTheHandlerWhichMaySwallowThem) {
    QTest::keyClicks(edit, "1x2");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Left);  // no character: the handler is not asked
    EXPECT_EQ(keys, "1x2\r");
    EXPECT_EQ(edit->text(), "12");
}

TEST_F(EditTest, LeavingForAnotherControlIsAnExitSwitchingWindowsIsNot) {
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(exits, 1);
    edit->setFocus();
    QFocusEvent deactivate(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(edit, &deactivate);
    EXPECT_EQ(exits, 1);
}

}  // namespace
