#pragma once
// The plan realisation report: the gross amounts of a period's expenditure
// (or costs) laid out as a cross table, one row per chapter and financing
// source, one column per paragraph.
//
// The table is built in memory for the run that asks for it: two
// workstations (or two reports of one) running at once never share a work
// table, and nothing of the run is left in the data folder.
#include "data/Database.h"
#include "output/SheetExport.h"
#include "reports/ReportRequest.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::reports {

struct PlanTable {
    struct Row {
        QString rozdz;              // chapter code
        QString zf;                 // financing source name
        QVector<double> values;     // per paragraph column; 0 where there is none
    };
    // Paragraph codes, one a column: the chosen unit's in ascending order (as
    // text), then those met only in the subordinate units' registers, in the
    // order met.
    QStringList pars;
    QVector<Row> rows;              // in the order first met

    bool isEmpty() const { return pars.isEmpty(); }
    // Adds `brutto` to the cell of (rozdz, zf) and paragraph `par`, making the
    // row (at the end) and the column (at the right) when missing.
    void add(const QString &rozdz, const QString &zf, const QString &par, double brutto);
};

// The statement of the paragraph list of one register.
QStringList planParagraphStatement(const QString &folder, const ReportRequest &request, const QString &suffix);
// The statement of the sums per chapter, source and paragraph of one register.
QStringList planSumsStatement(const QString &folder, const ReportRequest &request, const QString &suffix);

// Builds the table. No position of the chosen unit in the period: an empty
// table. EngineError when the chosen unit has no register for the year; in a
// consolidated run a subordinate unit's register that cannot be read is left
// out and the others are summed.
PlanTable planRealisation(data::Database &db, const ReportRequest &request);

// "Realizacja planu wydatków w okresie od … do …".
QString planTitle(const ReportRequest &request);
// The sheet: "Rozdział", "Źródło finansowania", then "§" + code per paragraph.
output::SheetDesign planSheet(const ReportRequest &request, const PlanTable &table);
// One sheet row per table row: the two texts, then the amounts as numbers.
QVector<QVariant> planValues(const PlanTable::Row &row);

} // namespace fenwa::reports
