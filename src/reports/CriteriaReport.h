#pragma once
// The multi-criteria report: expenditure or costs of a period totalled by an
// ordered choice of criteria (chapter, paragraph, source, disease, species,
// activity, tests, purchase, contractor, laboratory, quantity, ASF area),
// optionally per unit of measure, for one unit or for the voivodeship
// inspectorate with its subordinate units; written to a sheet with a subtotal
// row after each run of equal values of the first criterion.
//
// A consolidated run is one statement: the registers' partial sums joined by
// UNION ALL inside "FROM (" ... ")" and summed again; no work table is written.
// The quantity total is the column suma_ilosci (in both stages), so that it
// never shares its name with the quantity criterion "ilosc".
#include "data/Query.h"
#include "output/SheetExport.h"
#include "reports/ReportRequest.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::reports {

struct MultiCriterion {
    QString label;        // as the criteria dialog lists it: "rozdziały"
    QString select;       // select item: "par.par par"
    QString group;        // GROUP BY item: "par.par"
    QString name;         // second-stage name, ORDER BY item: "par"
    QString join;         // join line with {D} for the data folder; empty: none
    QString heading;      // sheet column heading
    bool voivodeshipOnly = false;
};

// The thirteen criteria in their fixed order (the order of the join lines).
const QVector<MultiCriterion> &multiCriteria();
// The labels the dialog offers at first: all but "pracownie", which a
// voivodeship installation appends.
QStringList availableCriteria(bool voivodeship);
// A criterion by its label; null when unknown.
const MultiCriterion *findMultiCriterion(const QString &label);

// The statement's lines for the included criteria (labels, in the chosen
// order). Unknown labels are left out.
QStringList criteriaStatement(const QString &folder, const ReportRequest &request, const QStringList &included,
                              const QStringList &others = {});

// "Zestawienie wydatków wg wybranych kryteriów za okres od … do … - <unit>".
QString criteriaTitle(const ReportRequest &request);

// Writes the statement to `dumpFile` (when given) and opens it on `q`.
// EngineError when the chosen unit has no register for the year.
void openCriteria(data::Query &q, const ReportRequest &request, const QStringList &included,
                  const QString &dumpFile = QString());

// The sheet for a result of `fieldCount` fields: Lp, the criteria's headings,
// [Jednostka miary, Ilość,] the three amounts; subtotals of the amounts after
// each run of equal values in column 2.
output::SheetDesign criteriaSheet(const ReportRequest &request, const QStringList &included, int fieldCount);

} // namespace fenwa::reports
