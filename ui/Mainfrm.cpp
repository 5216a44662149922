#include "ui/Mainfrm.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>

#include "core/StrToInt.h"
#include "render/CellGeometry.h"
#include "render/HitTest.h"
#include "render/PointerReadout.h"
#include "ui/BitView.h"
#include "ui/ErrorReport.h"
#include "ui/Exportfrm.h"
#include "ui/FormBounds.h"
#include "ui/Hexfrm.h"
#include "ui/Selpatfrm.h"
#include "ui/Text.h"

namespace zandrel {

namespace {

// The main window's outer frame as the form gives it.
constexpr int kFormLeft = 191;
constexpr int kFormTop = 119;
constexpr int kFormWidth = 1260;
constexpr int kFormHeight = 368;

// The bit view fills the client area below the controls, 2 pixels from the sides, 3 from the bottom.
constexpr int kViewLeft = 2;
constexpr int kViewTop = 52;
constexpr int kViewRightMargin = 2;
constexpr int kViewBottomMargin = 3;

QLabel* makeLabel(QWidget* parent, const char* name, const char* text, int left, int top) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->setFixedHeight(13);
    label->adjustSize();
    return label;
}

Edit* makeEdit(QWidget* parent, const char* name, const char* text, int left, int top) {
    auto* edit = new Edit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setText(QString::fromLatin1(text));
    edit->setGeometry(left, top, 41, 21);
    return edit;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* text, int left, int top) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, 75, 21);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TMainForm::TMainForm(Dialogs& dialogs, SettingsOpener openSettings, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      feedback_(dialogs, [this](std::string_view caption) { setCaption(caption); }),
      openSettings_(std::move(openSettings)) {
    buildControls();
    buildMenu();
    bindCommands();
    // Errors of FormCreate are shown and the window is made all the same.
    RunCommand([this] { FormCreate(); });
}

TMainForm::~TMainForm() {
    RunCommand([this] { FormDestroy(); });
}

void TMainForm::attachWindows(TExportForm* exportForm, THexForm* hexForm, TSelPatForm* selPatForm) {
    exportForm_ = exportForm;
    hexForm_ = hexForm;
    selPatForm_ = selPatForm;
    if (hexForm_) hexForm_->SaveBinCommand = [this] { SaveBinButtonClick(); };
}

// --- The form -----------------------------------------------------------------------------------

void TMainForm::buildControls() {
    setObjectName("MainForm");
    setWindowTitle(kApplicationTitle);
    // The form was laid out for "MS Sans Serif"; where it is missing, a narrow sans serif keeps
    // the texts within the form's places.
    QFont formFont;
    formFont.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans Narrow",
                          "Nimbus Sans Narrow", "DejaVu Sans Condensed", "Arial Narrow"});
    formFont.setStyleHint(QFont::SansSerif);
    formFont.setPixelSize(11);
    setFont(formFont);

    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    client->setAutoFillBackground(true);
    client->setBackgroundRole(QPalette::Button);
    setCentralWidget(client);
    client->installEventFilter(this);

    Label1 = makeLabel(client, "Label1", "Bit Size X", 10, 5);
    BitSizeXEdit = makeEdit(client, "BitSizeXEdit", "4", 64, 2);
    Label2 = makeLabel(client, "Label2", "Bit Size Y", 10, 29);
    BitSizeYEdit = makeEdit(client, "BitSizeYEdit", "4", 64, 26);
    Label7 = makeLabel(client, "Label7", "Bit Gap", 138, 5);
    BitGapEdit = makeEdit(client, "BitGapEdit", "2", 178, 2);
    Label8 = makeLabel(client, "Label8", "Column Gap:", 112, 29);
    ColGapEdit = makeEdit(client, "ColGapEdit", "4", 178, 26);
    Label5 = makeLabel(client, "Label5", "Bits per Row:", 240, 5);
    BitsPerRowEdit = makeEdit(client, "BitsPerRowEdit", "1024", 308, 2);
    Label6 = makeLabel(client, "Label6", "Cols per Output:", 227, 29);
    BitsPerOutputEdit = makeEdit(client, "BitsPerOutputEdit", "32", 308, 26);
    OpenBinFileButton = makeButton(client, "OpenBinFileButton", "Open file", 360, 2);
    SaveBitProjButton = makeButton(client, "SaveBitProjButton", "Save project", 360, 26);
    SaveImageButton = makeButton(client, "SaveImageButton", "Save image", 440, 2);
    SaveBinButton = makeButton(client, "SaveBinButton", "Save .bin", 440, 26);
    ByteViewButton = makeButton(client, "ByteViewButton", "Byte view (hex)", 520, 2);
    ExportOptsButton = makeButton(client, "ExportOptsButton", "Export options", 520, 26);
    SelAllButton = makeButton(client, "SelAllButton", "Select all", 600, 2);
    ClearSelButton = makeButton(client, "ClearSelButton", "Unselect all", 600, 26);
    InvertSelButton = makeButton(client, "InvertSelButton", "Invert sel.", 680, 2);

    ActionRadioGroup =
        new RadioGroup(QString(), {"Select Bit", "Select Row", "Select Column", "Set Bit"}, 2, client);
    ActionRadioGroup->setObjectName("ActionRadioGroup");
    ActionRadioGroup->setGeometry(768, 0, 217, 48);

    Label9 = makeLabel(client, "Label9", "Bit Number:", 1001, 8);
    BitNumberLabel = makeLabel(client, "BitNumberLabel", "", 1060, 8);
    Label13 = makeLabel(client, "Label13", "Group:", 1112, 8);
    GroupLabel = makeLabel(client, "GroupLabel", "", 1148, 8);
    Label11 = makeLabel(client, "Label11", "Row:", 1192, 8);
    RowLabel = makeLabel(client, "RowLabel", "", 1224, 8);
    Label14 = makeLabel(client, "Label14", "Col:", 1126, 24);
    FullColLabel = makeLabel(client, "FullColLabel", "", 1148, 24);
    Label12 = makeLabel(client, "Label12", "Col:", 1199, 24);
    ColLabel = makeLabel(client, "ColLabel", "", 1224, 24);
    for (QLabel* readout : {BitNumberLabel, GroupLabel, RowLabel, FullColLabel, ColLabel})
        readout->setMinimumWidth(40);

    BitImageEnView = new BitView(client);
    BitImageEnView->setObjectName("BitImageEnView");
    BitImageEnView->setGeometry(kViewLeft, kViewTop, 1240, 255);

    // The tab order of the form.
    QWidget* order[] = {BitImageEnView,    BitSizeXEdit,     BitSizeYEdit,      BitGapEdit,
                        ColGapEdit,        BitsPerRowEdit,   BitsPerOutputEdit, OpenBinFileButton,
                        SaveBitProjButton, SaveImageButton,  SelAllButton,      ClearSelButton,
                        InvertSelButton,   ActionRadioGroup, ExportOptsButton,  SaveBinButton,
                        ByteViewButton};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    SetFormBounds(*this, kFormLeft, kFormTop, kFormWidth, kFormHeight);
}

void TMainForm::buildMenu() {
    auto item = [this](QMenu* menu, const char* name, const char* text) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    File1 = menuBar()->addMenu("&File");
    File1->setObjectName("File1");
    Openfile1 = item(File1, "Openfile1", "&Open file...");
    SaveBin1 = item(File1, "SaveBin1", "&Save project...");
    SaveImage1 = item(File1, "SaveImage1", "Save &image...");
    Exportbinary1 = item(File1, "Exportbinary1", "Export &binary...");
    Exit1 = item(File1, "Exit1", "E&xit");
    Edit1 = menuBar()->addMenu("&Edit");
    Edit1->setObjectName("Edit1");
    SelectAll1 = item(Edit1, "SelectAll1", "Select &all");
    Unselect1 = item(Edit1, "Unselect1", "U&nselect all");
    Selectpattern1 = item(Edit1, "Selectpattern1", "Select &pattern...");
    Bits1 = menuBar()->addMenu("&Bits");
    Bits1->setObjectName("Bits1");
    Invertselectedbits1 = item(Bits1, "Invertselectedbits1", "&Invert selected bits");
    View1 = menuBar()->addMenu("&View");
    View1->setObjectName("View1");
    Byteviewhex1 = item(View1, "Byteviewhex1", "Byte view... (&hex)");
    Exportoptions1 = item(View1, "Exportoptions1", "Export options...");
}

void TMainForm::bindCommands() {
    auto bind = [this](QObject* sender, void (TMainForm::*handler)()) {
        if (auto* button = qobject_cast<QPushButton*>(sender)) {
            connect(button, &QPushButton::clicked, this,
                    [this, handler] { RunCommand([&] { (this->*handler)(); }); });
        } else if (auto* action = qobject_cast<QAction*>(sender)) {
            connect(action, &QAction::triggered, this,
                    [this, handler] { RunCommand([&] { (this->*handler)(); }); });
        }
    };
    bind(OpenBinFileButton, &TMainForm::OpenBinFileButtonClick);
    bind(Openfile1, &TMainForm::OpenBinFileButtonClick);
    bind(SaveBitProjButton, &TMainForm::SaveBitProjButtonClick);
    bind(SaveBin1, &TMainForm::SaveBitProjButtonClick);
    bind(SaveImageButton, &TMainForm::SaveImageButtonClick);
    bind(SaveImage1, &TMainForm::SaveImageButtonClick);
    bind(SaveBinButton, &TMainForm::SaveBinButtonClick);
    bind(ByteViewButton, &TMainForm::Byteviewhex1Click);
    bind(Byteviewhex1, &TMainForm::Byteviewhex1Click);
    bind(ExportOptsButton, &TMainForm::ExportOptsButtonClick);
    bind(Exportbinary1, &TMainForm::ExportOptsButtonClick);
    bind(Exportoptions1, &TMainForm::ExportOptsButtonClick);
    bind(SelAllButton, &TMainForm::SelAllButtonClick);
    bind(SelectAll1, &TMainForm::SelAllButtonClick);
    bind(ClearSelButton, &TMainForm::ClearSelButtonClick);
    bind(Unselect1, &TMainForm::ClearSelButtonClick);
    bind(InvertSelButton, &TMainForm::InvertSelButtonClick);
    bind(Invertselectedbits1, &TMainForm::InvertSelButtonClick);
    bind(Selectpattern1, &TMainForm::Selectpattern1Click);
    bind(Exit1, &TMainForm::Exit1Click);

    for (Edit* edit : {BitSizeXEdit, BitSizeYEdit, BitGapEdit, ColGapEdit, BitsPerRowEdit, BitsPerOutputEdit})
        edit->OnKeyPress = [this](char& Key) { BitsPerRowEditKeyPress(Key); };

    BitImageEnView->OnMouseDown = [this](int button, int x, int y) {
        RunCommand([&] { BitImageEnViewMouseDown(button, x, y); });
    };
    BitImageEnView->OnMouseMove = [this](int x, int y) {
        RunCommand([&] { BitImageEnViewMouseMove(x, y); });
    };
    BitImageEnView->OnMouseUp = [this](int button, int x, int y) {
        RunCommand([&] { BitImageEnViewMouseUp(button, x, y); });
    };
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        // The bit view is anchored to all four sides; the other controls keep their places.
        const QSize client = static_cast<QResizeEvent*>(event)->size();
        BitImageEnView->setGeometry(kViewLeft, kViewTop,
                                    std::max(0, client.width() - kViewLeft - kViewRightMargin),
                                    std::max(0, client.height() - kViewTop - kViewBottomMargin));
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    QCoreApplication::quit();
}

LayoutTexts TMainForm::layoutTexts() const {
    LayoutTexts texts;
    texts.BitSizeXEdit = ToStdString(BitSizeXEdit->text());
    texts.BitSizeYEdit = ToStdString(BitSizeYEdit->text());
    texts.BitGapEdit = ToStdString(BitGapEdit->text());
    texts.ColGapEdit = ToStdString(ColGapEdit->text());
    texts.BitsPerRowEdit = ToStdString(BitsPerRowEdit->text());
    texts.BitsPerOutputEdit = ToStdString(BitsPerOutputEdit->text());
    return texts;
}

void TMainForm::setEditTexts(const LayoutTexts& texts) {
    auto set = [](Edit* edit, const std::string& text) {
        if (ToStdString(edit->text()) != text) edit->setText(ToQString(text));
    };
    set(BitSizeXEdit, texts.BitSizeXEdit);
    set(BitSizeYEdit, texts.BitSizeYEdit);
    set(BitGapEdit, texts.BitGapEdit);
    set(ColGapEdit, texts.ColGapEdit);
    set(BitsPerRowEdit, texts.BitsPerRowEdit);
    set(BitsPerOutputEdit, texts.BitsPerOutputEdit);
}

void TMainForm::setCaption(std::string_view caption) { setWindowTitle(ToQString(caption)); }

void TMainForm::FormShow() { DrawBitsButtonClick(); }

void TMainForm::Exit1Click() { close(); }

void TMainForm::BitsPerRowEditKeyPress(char& Key) {
    if (Key != '\r') return;
    Key = '\0';
    DrawBitsButtonClick();
}

void TMainForm::Byteviewhex1Click() {
    doc_.ExportBin(layoutTexts());
    everythingExported();
    if (!hexForm_) return;
    showExport();
    hexForm_->show();
    hexForm_->raise();
    hexForm_->activateWindow();
}

void TMainForm::ExportOptsButtonClick() {
    if (!exportForm_) return;
    exportForm_->show();
    exportForm_->raise();
    exportForm_->activateWindow();
}

void TMainForm::RefreshExport() {
    const int32_t result = doc_.ExportBin(layoutTexts());
    everythingExported();
    if (result > 0) showExport();
}

}  // namespace zandrel
