#include "ui/Selpatfrm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/FormBounds.h"

namespace zandrel {

TSelPatForm::TSelPatForm(QWidget* parent) : QDialog(parent) {
    setObjectName("SelPatForm");
    setWindowTitle("Select pattern");
    SetFormBounds(*this, 718, 118, 439, 135);

    PatEdit = new QLineEdit(this);
    PatEdit->setObjectName("PatEdit");
    PatEdit->setGeometry(160, 16, 257, 21);

    Label1 = new QLabel("Column selection pattern (hex):", this);
    Label1->setObjectName("Label1");
    Label1->move(8, 20);
    Label1->adjustSize();

    OKBitBtn = new QPushButton("OK", this);
    OKBitBtn->setObjectName("OKBitBtn");
    OKBitBtn->setGeometry(122, 64, 75, 25);
    OKBitBtn->setDefault(true);
    connect(OKBitBtn, &QPushButton::clicked, this, [this] { done(kModalResultOK); });

    CancelBitBtn = new QPushButton("Cancel", this);
    CancelBitBtn->setObjectName("CancelBitBtn");
    CancelBitBtn->setGeometry(226, 64, 75, 25);
    connect(CancelBitBtn, &QPushButton::clicked, this, [this] { done(kModalResultCancel); });

    setTabOrder(PatEdit, OKBitBtn);
    setTabOrder(OKBitBtn, CancelBitBtn);
    PatEdit->setFocus();
}

}  // namespace zandrel
