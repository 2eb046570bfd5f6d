#pragma once
// The dictionaries window: one tab per dictionary table with its grid, the
// navigator bound to the active tab, the context menu of row commands,
// import, search, print, export, the entry statement and the personal-data
// information. Opened modally at a tab from the main window's dictionary
// commands, or by the position editor to pick a row (double click).
//
// The result is OK when the window closed by a pick or by the menu item
// "Wyjście" (Alt+F4), Cancel when it closed by the button "Wyjście" or the
// title bar.
#include "common/ui/CommandMenu.h"
#include "common/ui/DbGrid.h"
#include "common/ui/DbNavigator.h"
#include "data/Dane.h"
#include "dictionaries/DictionaryTabs.h"
#include "dictionaries/EntryStatement.h"

#include <QDialog>
#include <functional>
#include <optional>

class QPushButton;
class QTabWidget;

namespace fenwa::dictionaries::ui {

class TF_Slowniki : public QDialog {
    Q_OBJECT
public:
    TF_Slowniki(data::TF_Dane &dane, QWidget *parent = nullptr);

    // The incremental-search text typed so far.
    QString szukany;

    // Shows the window modally at the tab object ("Tab_kontr"); returns the result.
    int showAt(const QString &tabObject);
    // The position editor's "..." buttons: the window modally at page (an
    // index of dictionaryTabs()); the Id of the row picked by a double click
    // or taken by OK, nothing on Cancel, for an empty table or a page this
    // installation does not show.
    std::optional<qlonglong> pick(int page);

    // The tab shown ("Tab_kontr") and its table.
    const DictionaryTab &activeTab() const;
    data::Table *activeTable() const;
    fenwa::ui::DbGrid *grid(int page) const { return grids_[page]; }
    // Pages count the tabs of dictionaryTabs(), also those this installation
    // does not show. The page of the active tab; whether a page is shown.
    int currentPage() const;
    bool pageShown(int page) const;
    // Makes the tab of the page the active one (also what a caller's opening does).
    void setPage(int page);

    // Wiring from outside the subsystem (the application sets them):
    // the search dialog; the desktop opener of exports; the period dialog of
    // the entry statement (false: cancelled); the unit code of a unit name;
    // the start folder of the import's file dialog (the previous generation's
    // data folder); the file dialog itself, for tests (empty: cancelled); a print run (default:
    // the preview window); the modal run of the window (default: exec()).
    std::function<void(QWidget *owner)> onSearch;
    std::function<bool(const QString &path)> openFile;
    std::function<bool(EntryRequest &request)> askPeriod;
    std::function<QString(const QString &unitName)> unitCodeOf;
    std::function<QString()> importFolder;
    std::function<QString(const ImportSource &source)> chooseImportFile;
    std::function<void(const QString &layout, const output::ReportSource &source, const QString &title)> onPrint;
    std::function<int(QDialog &)> runModal;
    // Where "slownik.txt" is written: the user's private folder.
    QString dumpFolder;

    void Drukuj();
    void Eksport();
    void Importuj();
    void Zapisy();
    void Informacje();
    void updateMenu();

    QTabWidget *pageControl1;
    fenwa::ui::DbNavigator *XDBNavigator1;
    QPushButton *BitBtn5, *BitBtn4, *BitBtn2, *BitBtn1;
    fenwa::ui::CommandMenu *PopupMenu1;
    QAction *mDodaj, *mUsun, *mPopraw, *mZapisz, *mRezygnuj, *mImportuj, *mSzukaj, *mDrukuj, *mEksport, *mZapisy,
        *mInformacje, *mWyjscie;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tabChanged();
    void bindNavigator();
    void record(const std::function<void(data::Table &)> &command);
    void titleClicked(int page, int column);

    data::TF_Dane &dane_;
    QVector<fenwa::ui::DbGrid *> grids_;   // one per tab of dictionaryTabs()
    QVector<QWidget *> pages_;
    bool picking_ = false;
};

} // namespace fenwa::dictionaries::ui
