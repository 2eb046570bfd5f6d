#pragma once
// The set-password dialog: the old password, the new one and its
// confirmation, each shown as "*". Its caption is set before each use.
#include "admin/UsersLogic.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace fenwa::admin {

class TF_UstawHaslo : public QDialog {
    Q_OBJECT
public:
    // The result of "Anuluj".
    static constexpr int Abort = 3;

    explicit TF_UstawHaslo(QWidget *parent = nullptr);

    // Shows the dialog modally under `caption` with empty edits; the three
    // texts when the user chose OK. The edits are emptied again either way,
    // so no password stays in the hidden dialog.
    std::optional<PasswordEntry> ask(const QString &caption);
    // What ask() runs to show the dialog; replaceable for tests (default: exec()).
    std::function<int(TF_UstawHaslo &)> run;

    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *BitBtn1, *BitBtn2;

private:
    void clearEdits();
};

} // namespace fenwa::admin
