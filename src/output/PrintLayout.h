#pragma once
// The nineteen page layouts of the program's printouts, as data: paper
// orientation, body area, column headings and the fields each column prints.
// Measurements are in inches, paper is A4. The renderer (output/ui) draws them.
#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::output {

enum class Align { Left, Centre, Right };

// One text of a data cell: fields joined by `joiner`, placed `dy` below the
// row's top (0: the first line).
struct PrintPart {
    QStringList fields;
    QString joiner;
    double dy = 0;
    Align align = Align::Left;
    double fontSize = 10;
    QString format;          // empty: the source field's display format
};

struct PrintColumn {
    QStringList heading;     // one caption, or two lines
    bool headingRule = false;          // the two heading lines split by a rule at half height
    double headingFontSize = 10;       // for a heading split by a rule: the size of both lines
    bool headingFromKryterium = false; // the caption is the `Kryterium` parameter
    double width = 1;
    bool memo = false;       // wraps within the column; the row grows to fit
    bool total = false;      // totalled in the footer ("Netto", "Podatki", "Brutto")
    QVector<PrintPart> parts;
};

struct PrintLayout {
    QString name;
    bool landscape = false;
    double left = 0.7, top = 0.2, width = 7.4;   // the body area
    double headerWidth = 7.4;                    // the header block
    double headingHeight = 0.3;
    double rowHeight = 0.3;
    bool totals = false;
    double razemWidth = 0;                       // the "Razem" box
    bool pageNumbers = false;
    QVector<PrintColumn> columns;

    double columnLeft(int i) const;              // from the body's left edge
    int firstTotalColumn() const;                // -1 without totals
};

// Page geometry shared by every layout.
namespace page {
constexpr double kA4Width = 8.27, kA4Height = 11.69;
constexpr double kHeaderBand = 0.8, kHeaderHeight = 0.7;
constexpr double kIwWidth = 3.0, kTitleLeft = 3.1, kTitleWidth = 4.5;
constexpr double kTotalsHeight = 0.3, kStopkaBelowTotals = 0.35, kStopkaBelowRows = 0.05;
constexpr double kPageNumberTop = 11.3, kPageNumberRight = 8.0, kPageNumberWidth = 2.0;
} // namespace page

const QVector<PrintLayout> &printLayouts();
// Found by name without regard to case (`Tab_gat` finds `Tab_Gat`); null when unknown.
const PrintLayout *findPrintLayout(const QString &name);

} // namespace fenwa::output
