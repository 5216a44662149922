#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zandrel {

/// The select-pattern window: asks for the column selection pattern in hexadecimal. It is made
/// once and reused, so the pattern typed last is offered again.
class TSelPatForm : public QDialog {
    Q_OBJECT

public:
    explicit TSelPatForm(QWidget* parent = nullptr);

    QPushButton* OKBitBtn;      ///< "OK": closes with the modal result 1; the default button
    QPushButton* CancelBitBtn;  ///< "Cancel": closes with the modal result 2; Esc
    QLineEdit* PatEdit;
    QLabel* Label1;

    /// The modal results of the two buttons.
    static constexpr int kModalResultOK = 1;
    static constexpr int kModalResultCancel = 2;
};

}  // namespace zandrel
