#pragma once
// The position browser: every position of one unit's register for a whole
// year, joined with its group, classification and dictionary names, filtered
// column by column, ordered by a title, found by typing and written to a CSV
// file. The window (`F_Zapisy`) holds no logic of its own beyond showing this.
#include "data/Dataset.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::reports {

// One grid column after "Lp": its title, the result's field, its width in
// pixels (0: the grid's choice), shown as a check box, title centred.
struct BrowserColumn {
    QString title;
    QString field;
    int width = 0;
    bool check = false;
    bool centredTitle = true;
};

// The 27 columns after "Lp"; 28 with "Pracownia" in a voivodeship installation.
QVector<BrowserColumn> browserColumns(bool voivodeship);

// Which text of the statement: as written to "test.txt", or as executed. The
// written text joins the financing source, the unit of measure, the activity
// and the contractor without OUTER, which would leave out every position that
// lacks one of them (older and imported data do) and make the count and sums
// too low; the executed text joins them with LEFT OUTER JOIN, so every
// position of the year is shown.
enum class BrowserText { AsWritten, Executed };

// The statement over the register `suffix` ("_2016_2003.db") of the data
// folder fd for the whole `year`; its last line is the ORDER BY line.
QStringList browserStatement(const QString &fd, const QString &suffix, int year, bool voivodeship,
                             BrowserText text = BrowserText::Executed);
// The statement ordered by `field` instead: its last line replaced.
QStringList orderedStatement(QStringList lines, const QString &field);

// The filter of each column (indexed like browserColumns): the expression in
// the filter language of datasets and the description shown above the title.
// Values enter the expression as quoted literals, never raw.
class BrowserFilters {
public:
    explicit BrowserFilters(int columns = 0) { resize(columns); }
    void resize(int columns);

    void setText(int column, const QString &field, const QString &value);
    void setBool(int column, const QString &field, bool value);
    void setDates(int column, const QString &field, const QDate &low, const QDate &high);
    // Bounds typed in the Polish form ("-1 234,50") or the plain one
    // ("1234.5"); anything else is refused with a Polish message in *error
    // and the column keeps its filter.
    bool setReal(int column, const QString &field, const QString &low, const QString &high, QString *error);

    void remove(int column);
    void clear();

    QString expression(int column) const { return expressions_.value(column); }
    QString description(int column) const { return descriptions_.value(column); }
    // The non-empty expressions in column order, joined with " and ".
    QString filtr() const;

private:
    void set(int column, const QString &expression, const QString &description);
    QStringList expressions_, descriptions_;
};

// The filter on the open result: switched on exactly when it is non-empty.
// The engine's message (EngineError) when it cannot be evaluated.
void applyFilter(data::Dataset &result, const QString &filtr);

// Footer of the grid: rows passing the filter and the sums of three amounts.
struct BrowserTotals {
    int rows = 0;
    double netto = 0, podatki = 0, brutto = 0;
};
BrowserTotals browserTotals(const data::Dataset &result);

// A typed key of the incremental search on `field`: a control character
// clears `szukany`, any other extends it and moves to the first row whose
// field begins with it, without regard to case. Nothing is found while no
// field is ordered (field empty). Returns whether a row was found.
bool incrementalSearch(data::Dataset &result, const QString &field, QString &szukany, QChar key);

// The CSV file: the titles of the given columns, then one line per row of
// the filtered result in its order, each field's plain text. Every field is
// quoted, inner double quotes doubled (RFC 4180); Windows-1250, lines ending
// in CR LF. A character the code page lacks is written as "?" and counted in
// *replaced. Written under a temporary name and renamed, so a failure leaves
// no half file under `path`; false with the system's message in *error.
bool writeCsv(const QString &path, data::Dataset &result, const QVector<BrowserColumn> &columns, int *replaced,
              QString *error);

// Told after an export that had to replace characters.
QString replacedCharactersText(int count);

} // namespace fenwa::reports
