#pragma once
// "Przeglądanie pozycji": the positions of one unit's register for a whole
// year in one read-only grid over the data module's query `Q_Rob`, filtered
// column by column (the filter's description in the title), ordered by a
// click on a title, found by typing, and sent to a CSV file or a sheet.
#include "common/ui/CommandMenu.h"
#include "common/ui/DbGrid.h"
#include "data/Dane.h"
#include "reports/Browser.h"
#include "reports/ui/Filtr.h"

#include <QDialog>
#include <functional>

class QPushButton;

namespace fenwa::reports::ui {

class TF_Zapisy : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *kGridLayoutSection = "F_Zapisy.XDBGrid1";

    TF_Zapisy(data::TF_Dane &dane, QWidget *parent = nullptr);

    // Asks for the register (the open dialog with its month list off): the
    // year and the unit's name; false when not confirmed. Given by the program.
    std::function<bool(int &year, QString &unit)> askRegister;
    // The private folder the statement is written to (test.txt).
    QString statementFolder;
    // Replaceable for tests: showing a modal dialog (default exec()), the
    // file name of the CSV export, opening a written file.
    std::function<int(QDialog &)> runDialog;
    std::function<QString()> askCsvPath;
    std::function<bool(const QString &path)> openFile;
    // The search dialog of the program, shown for this window.
    std::function<void(QWidget *owner)> onSearch;

    // "Przeglądanie pozycji": asks, opens the year and shows the window modally.
    void Przegladanie();
    // Opens the year of `unit` (false with the message, or silently for an
    // empty year) and prepares the window; Przegladanie shows it then.
    bool openYear(int year, const QString &unit);

    // Commands of the context menu on the current column.
    void UstawFiltr();
    void UsunFiltr();
    void UsunWszystkieFiltry();
    // Reopens the statement ordered by the field of `column` (a grid
    // column); the filter stays and the cursor returns to the same position.
    void orderBy(int column);
    void EksportCsv();
    void EksportExcel();
    // Closing removes every filter.
    void done(int result) override;

    const BrowserFilters &filtry() const { return filtry_; }
    QString filtr() const { return filtry_.filtr(); }
    QString kolumna;   // the field of the column the cursor is in
    QString pole;      // the field the list is ordered by
    QString szukany;   // typed so far

    fenwa::ui::DbGrid *XDBGrid1;
    QPushButton *Szukaj, *Csv, *Excel, *Zamknij;
    fenwa::ui::CommandMenu *menu;
    QAction *mDopasuj;
    TF_FiltrTekstowy *F_FiltrTekstowy;
    TF_FiltrReal *F_FiltrReal;
    TF_FiltrBool *F_FiltrBool;
    TF_FiltrDat *F_FiltrDat;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int show(QDialog &dialog) { return runDialog ? runDialog(dialog) : dialog.exec(); }
    void rebuild();
    // Reading the records again resets the grid: after `change` it returns
    // to the column and the scrolled position the user was at.
    void keepingView(const std::function<void()> &change);
    void updateFooter();
    void updateTitles();
    int currentColumn() const;   // index into columns_, -1 on "Lp"

    data::TF_Dane &dane_;
    data::Query &q_;
    QVector<BrowserColumn> columns_;
    BrowserFilters filtry_;
};

} // namespace fenwa::reports::ui
