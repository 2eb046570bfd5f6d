#pragma once
// "Zapisy": every position of one unit's register within a period of one
// year that uses a dictionary entry (a contractor, a disease, a financing
// source...), for print (`Rep_Slownik`) or the spreadsheet.
//
// The statement names the dictionary's column bare, as the positions and
// groups tables call it ("kontr", "rozdz"): the engine resolves a name that
// both the positions and the units of measure hold ("jm") to the positions,
// the first table of the join, which is the entry's use.
#include "data/Dataset.h"
#include "output/SheetExport.h"

#include <QDate>
#include <QStringList>

namespace fenwa::dictionaries {

// What the period dialog gives: the period, the unit's name, whether
// quantities go to the sheet, and whether the sheet (not the print) was asked for.
struct EntryRequest {
    QDate from;
    QDate to;
    QString unit;
    bool quantities = false;
    bool toSheet = false;
};

// Told when the period spans two years.
inline const QString kOneYearOnly = QStringLiteral("Raport może być wykonany tylko w ramach jednego roku");

// "Zapisy: " + caption + " = " + a double quote + the current row's values
// after Id, blank ones left out, joined by a comma and a double quote.
QString entryTitle(const data::Dataset &row, const QString &caption);
// The title followed by " za okres od dd.MM.yyyy do dd.MM.yyyy".
QString entryHeading(const QString &title, const QDate &from, const QDate &to);

// The six lines of the statement over the register `suffix` ("_2016_2003.db")
// in the data folder fd, for the entry `id` of `dictionary` ("kontr").
QStringList entryStatement(const QString &fd, const QString &suffix, const QString &dictionary, qint64 id,
                           const QDate &from, const QDate &to);

// The sheet: headings, widths and fields of the statement's columns; ilosc
// and jm only with quantities.
output::SheetDesign entrySheet(const QString &heading, bool quantities);

} // namespace fenwa::dictionaries
