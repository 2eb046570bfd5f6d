#pragma once
// The single-criterion summary: the positions of a period totalled by
// chapter, paragraph, financing source, disease or animal species, as
// expenditure or costs, with or without units of measure and quantities, for
// one unit or for the voivodeship inspectorate with its subordinate units.
//
// A consolidated run is one statement: each register's partial sums joined
// by UNION ALL (so two units with equal partial sums both count) and summed
// again over the criterion. No work table is written.
#include "data/Query.h"
#include "output/SheetExport.h"
#include "reports/ReportRequest.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::reports {

enum class Criterion { Rozdzialy = 0, Paragrafy, Zrodla, Choroby, Gatunki };

struct CriterionInfo {
    QString menuCaption;    // "wg rozdziałów"
    QString titleWord;      // "według rozdziałów"
    QString columnTitle;    // "Rozdział": the print's Kryterium and the sheet heading
};
const CriterionInfo &criterionInfo(Criterion c);

// The statement's lines. Without a consolidated run exactly the lines of the
// single report; with one, the partial statements of the chosen unit and of
// each register of `others` (suffixes, see consolidatedSuffixes) inside
// "FROM (" ... ")", joined by "UNION ALL", and summed again per criterion
// value (and unit of measure).
QStringList simpleStatement(const QString &folder, const ReportRequest &request, Criterion c,
                            const QStringList &others = {});

// "Wydatki według rozdziałów za okres od 01.03.2016 do 31.03.2016 - <unit>".
QString simpleTitle(const ReportRequest &request, Criterion c);

// Runs the report on `q` (its database and the request's registers); the
// result has Kryt, [Jm, ilosc,] Netto, podatki, Brutto, ordered by Kryt (and Jm).
// EngineError when the chosen unit has no register for the year.
void openSimple(data::Query &q, const ReportRequest &request, Criterion c);

// The sheet: Lp, the criterion, [Jednostka miary, Ilość,] the three amounts.
output::SheetDesign simpleSheet(const ReportRequest &request, Criterion c);
// One sheet row per result record: texts, and real numbers as numbers.
QVector<QVariant> sheetValues(const data::Query &q, int row);

} // namespace fenwa::reports
