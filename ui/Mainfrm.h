#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "core/CellOps.h"
#include "core/Document.h"
#include "core/LayoutTexts.h"
#include "core/Path.h"
#include "render/PointerReadout.h"
#include "ui/Dialogs.h"
#include "ui/DialogsFeedback.h"
#include "ui/Edit.h"
#include "ui/RadioGroup.h"
#include "ui/SettingsStore.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace zandrel {

class BitView;
class TExportForm;
class THexForm;
class TSelPatForm;

/// The main window: it owns the whole document, shows the bit map and binds every command.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    /// Opens the settings file; the window reads it in FormCreate and writes it in FormDestroy.
    using SettingsOpener = std::function<std::unique_ptr<SettingsStore>()>;

    /// Builds the controls, sets the document's start values and runs FormCreate.
    TMainForm(Dialogs& dialogs, SettingsOpener openSettings, QWidget* parent = nullptr);
    /// Runs FormDestroy.
    ~TMainForm() override;

    /// Connects the secondary windows, made after the main window.
    void attachWindows(TExportForm* exportForm, THexForm* hexForm, TSelPatForm* selPatForm);

    Document& document() { return doc_; }
    const Document& document() const { return doc_; }

    /// The texts of the six layout edits.
    LayoutTexts layoutTexts() const;

    // Controls, named as the form names them.
    QLabel* Label1;
    Edit* BitSizeXEdit;
    QLabel* Label2;
    Edit* BitSizeYEdit;
    QLabel* Label7;
    Edit* BitGapEdit;
    QLabel* Label8;
    Edit* ColGapEdit;
    QLabel* Label5;
    Edit* BitsPerRowEdit;
    QLabel* Label6;
    Edit* BitsPerOutputEdit;
    QPushButton* OpenBinFileButton;
    QPushButton* SaveBitProjButton;
    QPushButton* SaveImageButton;
    QPushButton* SaveBinButton;
    QPushButton* ByteViewButton;
    QPushButton* ExportOptsButton;
    QPushButton* SelAllButton;
    QPushButton* ClearSelButton;
    QPushButton* InvertSelButton;
    RadioGroup* ActionRadioGroup;
    QLabel* Label9;
    QLabel* BitNumberLabel;
    QLabel* Label13;
    QLabel* GroupLabel;
    QLabel* Label11;
    QLabel* RowLabel;
    QLabel* Label14;
    QLabel* FullColLabel;
    QLabel* Label12;
    QLabel* ColLabel;
    BitView* BitImageEnView;

    // Menu items.
    QMenu* File1;
    QAction* Openfile1;
    QAction* SaveBin1;
    QAction* SaveImage1;
    QAction* Exportbinary1;
    QAction* Exit1;
    QMenu* Edit1;
    QAction* SelectAll1;
    QAction* Unselect1;
    QAction* Selectpattern1;
    QMenu* Bits1;
    QAction* Invertselectedbits1;
    QMenu* View1;
    QAction* Byteviewhex1;
    QAction* Exportoptions1;

    // The file dialogs' state: each keeps its folder and file name from one use to the next.
    DialogStart FileOpenDialog;
    DialogStart BitFileSaveDialog;
    DialogStart JpgSaveDialog;
    DialogStart BinSaveDialog;

    // Handlers. Each may raise an error, which the event binding sends to the general error report.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    /// The full refresh: layout, bit map, view, export and byte view.
    void DrawBitsButtonClick();
    void OpenBinFileButtonClick();
    void SaveBitProjButtonClick();
    void SaveImageButtonClick();
    void SaveBinButtonClick();
    void Byteviewhex1Click();
    void ExportOptsButtonClick();
    void SelAllButtonClick();
    void ClearSelButtonClick();
    void InvertSelButtonClick();
    void Selectpattern1Click();
    void Exit1Click();
    /// Enter in a layout edit refreshes and is swallowed.
    void BitsPerRowEditKeyPress(char& Key);
    void BitImageEnViewMouseDown(int button, int x, int y);
    void BitImageEnViewMouseMove(int x, int y);
    void BitImageEnViewMouseUp(int button, int x, int y);

    /// Runs ExportBin and, when it brought new bytes, ShowBytes on the byte view: the step that
    /// every change of an export option ends with.
    void RefreshExport();

    // The file dialogs' fixed settings.
    static const FileDialogSettings& OpenDialogSettings();
    static const FileDialogSettings& ProjectSaveDialogSettings();
    static const FileDialogSettings& ImageSaveDialogSettings();
    static const FileDialogSettings& BinSaveDialogSettings();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Closing the main window ends the program, whatever other windows are open.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void bindCommands();
    void setEditTexts(const LayoutTexts& texts);
    void setCaption(std::string_view caption);
    /// Remembers cells a command changed, for the next refresh.
    void noteChanged(const CellChange& change);
    /// After a load: the next refresh draws and exports everything anew.
    void noteEverythingChanged();
    /// A full export ran: the cache follows the cells, unless there were too few to export.
    void everythingExported();
    /// ExportBin, over only the cells changed since the last export when nothing else changed.
    int32_t exportChangedCells(ExportChange& bytesChanged);
    /// ShowBytes of the export cache on the byte view; with `change`, only its bytes are new
    /// when the byte view showed the cache before.
    void showExport(const ExportChange* change = nullptr);
    void showReadout(const PointerReadout& readout);
    /// The hit test and the action for the pointer at client (x, y); true on a hit.
    bool actOnPointer(int x, int y, int32_t dragMode);
    void writeSettings(SettingsStore& settings, bool layoutRead);
    /// The window's outer frame size, as the settings file keeps it.
    int outerWidth() const;
    int outerHeight() const;
    /// A layout edit's number, or `fallback` when its text is not a number.
    static int32_t editNumber(const Edit* edit, int32_t fallback);

    Document doc_;
    Dialogs& dialogs_;
    DialogsFeedback feedback_;
    SettingsOpener openSettings_;
    TExportForm* exportForm_ = nullptr;
    THexForm* hexForm_ = nullptr;
    TSelPatForm* selPatForm_ = nullptr;

    // What the next refresh must redraw and re-export.
    struct DrawnLayout {
        int32_t BitSizeX, BitSizeY, BitGap, ColGap, BitsPerRow, BitsPerOutput, ShownBitCount;
        const uint8_t* cells;
        bool operator==(const DrawnLayout&) const = default;
    };
    DrawnLayout drawnLayout() const;
    bool pictureShown_ = false;
    DrawnLayout shownLayout_{};
    bool pictureInvalid_ = true;
    CellChangeList pictureChanges_;
    bool exportInvalid_ = true;
    /// Whether the byte view shows the export cache as it stands.
    bool byteViewInSync_ = false;
    CellChangeList exportChanges_;
};

}  // namespace zandrel
