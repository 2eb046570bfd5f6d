#pragma once
// The users window: the rows of the users table with their rights, the
// current user's row set apart, the commands of the menu bar on the users
// table, the passwords and the broadcast message.
#include "admin/IniFile.h"
#include "admin/UsersLogic.h"
#include "admin/ui/UstawHaslo.h"
#include "common/ui/DbGrid.h"
#include "common/ui/DbNavigator.h"
#include "data/Dane.h"

#include <QDialog>

class QMenuBar;
class QPushButton;

namespace fenwa::admin {

class TF_User : public QDialog {
    Q_OBJECT
public:
    TF_User(data::TF_Dane &dane, IniFile &ini, TF_UstawHaslo &ustawHaslo, QWidget *parent = nullptr);

    UsersLogic &logic() { return logic_; }
    // Asks for the broadcast text; replaceable for tests (default: an input dialog).
    UsersLogic::AskText askText;

    // The menu commands.
    void Zmien();
    void ResetujHaslo();
    void Alert();
    void updateMenu();

    QMenuBar *MainMenu1;
    QAction *Zmien1, *UsunHaslo1, *Dodaj1, *Usun1, *Popraw1, *Zapisz1, *Anuluj1, *Alert1;
    fenwa::ui::DbGrid *XDBGrid1;
    fenwa::ui::DbNavigator *XDBNavigator1;
    QPushButton *BitBtn1;

    // Refuses to close while a row is being edited or inserted.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void record(const std::function<void(data::Table &)> &command);

    data::TF_Dane &dane_;
    IniFile &ini_;
    TF_UstawHaslo &ustawHaslo_;
    UsersLogic logic_;
};

} // namespace fenwa::admin
