#pragma once
// The login window: asks for the login and password and carries the
// current-user record for the whole run.
#include "common/Registry.h"
#include "common/CurrentUser.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace fenwa::app {

class TF_Logowania : public QDialog {
    Q_OBJECT
public:
    // "Anuluj" ends the dialog with this result; Esc and the title-bar button with Rejected.
    static constexpr int Abort = 3;

    // Reads the last login from the registry into E_Login.
    explicit TF_Logowania(Registry &registry, QWidget *parent = nullptr);
    // Writes the text of E_Login to the registry as the last login.
    ~TF_Logowania() override;

    // The current-user record (wersja is set here; the rest after the login check).
    CurrentUser record;

    QLabel *Label1;
    QLineEdit *E_Login;
    QLabel *Label2;
    QLineEdit *E_Haslo;
    QLabel *Image1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;

    // Sets haslo to the digest of E_Haslo whenever the window closes.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    Registry &registry_;
};

} // namespace fenwa::app
