#include "ui/Hexfrm.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>
#include <cstring>

#include "ui/ErrorReport.h"
#include "ui/FormBounds.h"

namespace zandrel {

THexForm::THexForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HexForm"));
    setWindowTitle(QStringLiteral("Byte view"));
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setStyleHint(QFont::SansSerif);
    formFont.setPixelSize(11);
    setFont(formFont);
    SetFormBounds(*this, 554, 113, 625, 407);

    HexMemo = new DumpView(this);
    HexMemo->setObjectName(QStringLiteral("HexMemo"));
    HexMemo->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(HexMemo);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Updatebyteview1 = PopupMenu1->addAction(QStringLiteral("&Redraw byte view"));
    Copy1 = PopupMenu1->addAction(QStringLiteral("&Copy selection"));
    Savebinfile1 = PopupMenu1->addAction(QStringLiteral("&Save .bin file..."));
    Updatebyteview1->setObjectName(QStringLiteral("Updatebyteview1"));
    Copy1->setObjectName(QStringLiteral("Copy1"));
    Savebinfile1->setObjectName(QStringLiteral("Savebinfile1"));
    HexMemo->setContextMenu(PopupMenu1);

    connect(Updatebyteview1, &QAction::triggered, this,
            [this] { RunCommand([this] { Updatebyteview1Click(); }); });
    connect(Copy1, &QAction::triggered, this, [this] { RunCommand([this] { Copy1Click(); }); });
    connect(Savebinfile1, &QAction::triggered, this, [this] { RunCommand([this] { Savebinfile1Click(); }); });
    HexMemo->OnKeyPress = [this](char& Key) { HexMemoKeyPress(Key); };

    HexMemo->setBytes(nullptr, 0);
}

void THexForm::ShowBytes(const uint8_t* data, int32_t length) {
    if (length < 0) length = 0;
    // The view paints from the copy, so the copy comes first; the result is the same as
    // rebuilding the text and then keeping the bytes.
    keepCopy(data, length);
    showCopy();
}

void THexForm::ShowChangedBytes(const uint8_t* data, int32_t length, const std::vector<int32_t>& changed) {
    if (length != byteCopyLen_) {
        ShowBytes(data, length);
        return;
    }
    for (int32_t index : changed)
        if (index >= 0 && index < length) byteCopy_[static_cast<size_t>(index)] = data[index];
    showCopy();
}

void THexForm::showCopy() {
    const int64_t anchor = HexMemo->anchor();
    const int64_t caret = HexMemo->caret();
    HexMemo->setBytes(byteCopy_.data(), byteCopyLen_);
    HexMemo->select(anchor, caret);
    HexMemo->scrollCaretIntoView();
    HexMemo->viewport()->update();
}

void THexForm::keepCopy(const uint8_t* data, int32_t length) {
    if (length != byteCopyLen_) {
        std::vector<uint8_t> fresh(static_cast<size_t>(length));
        if (length > 0) std::memcpy(fresh.data(), data, static_cast<size_t>(length));
        byteCopy_.swap(fresh);
    } else if (length > 0) {
        // The redraw passes the copy itself as `data`.
        std::memmove(byteCopy_.data(), data, static_cast<size_t>(length));
    }
    byteCopyLen_ = length;
}

void THexForm::HexMemoKeyPress(char& Key) { Key = '\0'; }

void THexForm::Updatebyteview1Click() { ShowBytes(byteCopy_.data(), byteCopyLen_); }

void THexForm::Copy1Click() { HexMemo->copyToClipboard(); }

void THexForm::Savebinfile1Click() {
    if (SaveBinCommand) SaveBinCommand();
}

}  // namespace zandrel
