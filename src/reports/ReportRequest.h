#pragma once
// What a summary report is asked for: the period, the unit, expenditure or
// costs, quantities, and whether it sums the voivodeship inspectorate with
// every subordinate unit; the pieces of statements and titles every report
// of the period shares.
#include "data/Database.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace fenwa::reports {

// Shown when the period's two dates lie in different years.
inline const QString kOneYearText = QStringLiteral("Raport może być wykonany tylko w ramach jednego roku");

struct ReportRequest {
    QDate od;                   // first day of the period
    QDate doDnia;               // last day
    QString unitName;           // as chosen in the dialog
    QString code;               // its unit code
    bool koszty = false;        // costs (Kosz) instead of expenditure (Wyd)
    bool ilosci = false;        // with units of measure and quantities
    bool zbiorczy = false;      // the unit with every subordinate unit
    QStringList subordinates;   // codes of the subordinate units, in table order

    int year() const { return od.year(); }
    // Both dates in one year: the only periods a report covers.
    bool oneYear() const { return od.year() == doDnia.year(); }
    // "_" + year + "_" + code + ".db"
    QString suffix() const;
    // "p.Data BETWEEN "MM/DD/YYYY" AND "MM/DD/YYYY" AND Wyd=True" (Kosz=True for costs).
    QString condition() const;
    // " za okres od dd.MM.yyyy do dd.MM.yyyy"
    QString periodText() const;
    // "wydatków" or "kosztów".
    QString ofWhat() const;
};

// The suffixes of the registers a report adds to the chosen unit's in a
// consolidated run: the subordinate units' of the same year, in table order,
// those without their positions or groups file left out.
QStringList consolidatedSuffixes(const data::Database &db, const ReportRequest &request);

} // namespace fenwa::reports
