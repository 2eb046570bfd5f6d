#pragma once
// The document groups window: the groups of the open register's month.
#include "common/ui/CommandMenu.h"
#include "common/ui/DbGrid.h"
#include "common/ui/DbNavigator.h"
#include "data/Dane.h"
#include "register/GroupsLogic.h"

#include <QDialog>
#include <functional>

class QPushButton;

namespace fenwa::reg::ui {

class TF_GrDok : public QDialog {
    Q_OBJECT
public:
    TF_GrDok(data::TF_Dane &dane, QWidget *parent = nullptr);

    GroupsLogic &logic() { return logic_; }
    // The search dialog's entry point and the desktop opener of exports.
    std::function<void(QWidget *owner)> onSearch;
    std::function<bool(const QString &path)> openFile;
    // A print run; replaceable for tests (default: the preview window).
    std::function<void(const QString &layout)> onPrint;

    void Pozycje();
    void Drukuj();
    void Eksport();
    void updateButtons();
    void updateMenu();

    fenwa::ui::DbGrid *XDBGrid1;
    fenwa::ui::DbNavigator *XDBNavigator1;
    QPushButton *BitBtn1, *BitBtn3, *BitBtn5, *BitBtn4, *BitBtn2, *BitBtn6;
    fenwa::ui::CommandMenu *PopupMenu1;
    QAction *mPozycje, *mDodaj, *mUsun, *mPopraw, *mZapisz, *mRezygnuj, *mKopiuj, *mWklej, *mZamknij,
        *mOtworz, *mSzukaj, *mDrukuj, *mEksport, *mSuma, *mInformacje, *mWyjscie;

    // Closes with a result; whatever way the window closes, the current group
    // goes to the main window's fields and T_Gr closes.
    void done(int result) override;

    // The settings file section of the grid's column layout, restored when
    // the window shows and written when it closes.
    static constexpr const char *kGridLayoutSection = "F_GrDok.XDBGrid1";

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    void record(const std::function<void(data::Table &)> &command);
    void bindGrid();

    data::TF_Dane &dane_;
    GroupsLogic logic_;
};

} // namespace fenwa::reg::ui
