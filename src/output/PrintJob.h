#pragma once
// One print run: a layout, its text parameters and the rows of its source,
// resolved into the texts every cell prints and the footer's totals. The
// renderer (output/ui) only measures and draws what this holds.
#include "output/PrintLayout.h"
#include "output/ReportSource.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVector>

namespace fenwa::output {

// The layout's text parameters, by name without regard to case:
// `Tytul`, `IW`, `Stopka_raportu`, `Kryterium`.
class PrintParameters {
public:
    void set(const QString &name, const QString &value) { values_.insert(name.toLower(), value); }
    QString get(const QString &name) const { return values_.value(name.toLower()); }
    void clear() { values_.clear(); }

    // "Wydruk z programu <title> - <version>, użytkownik: <login>" and
    // "Data Wydruku: <date>" on the next line.
    static QString stopkaRaportu(const QString &appTitle, const QString &version,
                                 const QString &login, const QDate &today);
    // The inspectorate's name, street and city, one a line.
    static QString iw(const QString &name, const QString &street, const QString &city);

    // Not printed: the folder the preview's "Zapisz jako" proposes (the export folder).
    QString saveFolder;

private:
    QHash<QString, QString> values_;
};

struct PrintJob {
    const PrintLayout *layout = nullptr;
    QString tytul, iw, stopka;
    QString saveFolder;                   // see PrintParameters
    QStringList headings;                 // per column, lines joined by '\n'
    // rows[r][c][p]: the text of part p of column c in row r.
    QVector<QVector<QStringList>> rows;
    QVector<double> totals;               // per column; used where the column is totalled
    QStringList missingFields;            // fields the layout names but the source lacks

    int rowCount() const { return rows.size(); }
};

// Builds the job; every row of the source in its order. Fields the source lacks
// print empty and are listed in `missingFields`.
PrintJob preparePrint(const PrintLayout &layout, const PrintParameters &params,
                      const ReportSource &source);

} // namespace fenwa::output
