#pragma once
// The fourteen tabs of the dictionaries window as data: caption, grid,
// table, columns and titles, which tabs pick rows for the position editor,
// which only a voivodeship installation shows, which can be imported into,
// and the filter toggles of the logical columns. Also what the window does
// with a tab's table without needing a widget: incremental search, the
// filter toggles and the spreadsheet export.
#include "data/Dane.h"
#include "dictionaries/Import.h"
#include "output/SheetExport.h"

#include <QString>
#include <QVector>
#include <optional>

namespace fenwa::dictionaries {

struct DictionaryColumn {
    QString field;
    QString title;
    int width = 0;          // pixels; 0 lets the grid choose
    bool check = false;     // a logical field shown as a check box
    // A click on the title sets this filter expression and flips whether
    // the filter applies; empty: no toggle.
    QString filter{};
};

// A common upper title over columns named by their fields ("Adres" over
// street and town); the window draws it as a band of the grid's header.
struct HeaderBand {
    QString title;
    QStringList fields;
};

struct DictionaryTab {
    QString object;         // "Tab_kontr": also the name of its print layout
    QString caption;
    QString grid;           // "XDBGrid10"
    QString file;           // "kontr.db"
    QVector<DictionaryColumn> columns;
    bool picks = false;     // a double click picks a row for the position editor
    bool voivodeshipOnly = false;
    std::optional<ImportKind> import{};
    QVector<HeaderBand> bands{};

    // The table's file name without ".db": the column of the registers that
    // refers to the dictionary ("kontr").
    QString dictionaryName() const { return file.chopped(3); }
};

// The tabs in window order; a page number of the position editor is an
// index into this list.
const QVector<DictionaryTab> &dictionaryTabs();
// The index of the tab object ("Tab_kontr"), -1 when unknown.
int tabIndex(const QString &object);
// The data module's table of a tab.
data::Table *dictionaryTable(data::TF_Dane &dane, const DictionaryTab &tab);

// One key typed into a grid while its table is browsed: a control character
// (below code 32) clears `szukany`, any other is appended and the table goes
// to the nearest row at or after it in its current order. Errors of the
// positioning are swallowed. Returns false (the key is not consumed) while
// the table is being edited.
bool incrementalSearch(data::Table &table, QString &szukany, QChar key);

// A click on the title of `column`: when the column has a filter toggle, the
// table's filter becomes its expression and whether it applies flips; returns
// whether the column has one.
bool toggleFilter(data::Table &table, const DictionaryColumn &column);

// The export of a tab: "Słownik: " + caption over the columns, "Lp" and the
// titles, then every row of the table in its current order and filter, every
// field but Id as text ("True"/"False" for logical ones). Sheet column i + 2
// is pixelWidths[i] / 9 characters wide. The table's cursor ends on the last row.
output::SheetResult exportDictionary(const output::SheetEnvironment &env, const DictionaryTab &tab,
                                     data::Table &table, const QVector<int> &pixelWidths);

} // namespace fenwa::dictionaries
