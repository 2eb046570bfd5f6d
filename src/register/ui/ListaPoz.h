#pragma once
// The positions list: every position of the chosen document group, where
// positions are added and corrected (through the position editor, which the
// record rules open), deleted, copied and pasted (also into another group or
// register), summed per source document, printed and exported. Read-only
// for a closed group or a user without the edit right: copying, search,
// sums, information, print and export still work.
#include "common/ui/CommandMenu.h"
#include "common/ui/DbGrid.h"
#include "common/ui/DbNavigator.h"
#include "data/Dane.h"
#include "register/PositionsLogic.h"

#include <QDialog>
#include <functional>

class QPushButton;

namespace fenwa::reg::ui {

class TF_ListaPoz : public QDialog {
    Q_OBJECT
public:
    TF_ListaPoz(data::TF_Dane &dane, QWidget *parent = nullptr);

    PositionsLogic &logic() { return logic_; }
    // The search dialog's entry point and the desktop opener of exports.
    std::function<void(QWidget *owner)> onSearch;
    std::function<bool(const QString &path)> openFile;
    // A print run; replaceable for tests (default: the preview window).
    std::function<void(const QString &layout)> onPrint;
    // Where the export writes its statement ("poz.txt"): the user's private
    // folder. Empty: the statement is not written.
    QString statementFolder;

    void Drukuj();
    void Eksport();
    void updateMenu();
    // The footer: the number of positions under "Lp", the sums of the three amounts.
    void updateFooter();

    fenwa::ui::DbGrid *XDBGrid1;
    fenwa::ui::DbNavigator *XDBNavigator1;
    QPushButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4;   // "Szukaj", "Drukuj", "Eksportuj do Excel-a", "Wyjście"
    fenwa::ui::CommandMenu *PopupMenu1;
    QAction *mDodaj, *mUsun, *mPopraw, *mZapisz, *mRezygnuj, *mKopiuj, *mWklej, *mSzukaj, *mDrukuj, *mEksport,
        *mInformacje, *mSuma;

    // Closing drops a record still pending and writes the grid's layout.
    void done(int result) override;

    // The settings file section of the grid's column layout.
    static constexpr const char *kGridLayoutSection = "F_ListaPoz.XDBGrid1";

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void record(const std::function<void(data::Table &)> &command);
    void search();
    void bindGrid();

    data::TF_Dane &dane_;
    PositionsLogic logic_;
};

} // namespace fenwa::reg::ui
