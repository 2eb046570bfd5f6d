#pragma once
// Reads back what the .xlsx writer wrote: the workbook is a ZIP of XML parts,
// read here with `unzip -p` and QXmlStreamReader.
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace testing_xlsx {

struct Font {
    QString name;
    double size = 0;
    bool bold = false;
};
struct Border {
    QString left, right, top, bottom, diagonal;
};
struct Xf {
    int font = 0, border = 0, numFmt = 0;
    QString horizontal, vertical;
    bool wrap = false;
};
struct Cell {
    QString type;      // "s" shared string, "n" number (empty type), "str" formula text
    QString value;     // the text, or the number as written
    QString formula;
    int style = 0;
};

struct Workbook {
    bool ok = false;
    QMap<QString, Cell> cells;          // "A1" -> cell
    QStringList merges;                 // "A1:J1"
    QMap<int, double> colWidths;        // 1-based
    QMap<int, double> rowHeights;       // 1-based, only explicit ones
    QMap<int, int> rowLevels;
    QString orientation;
    QString fitToWidth, paperSize;
    QVector<Font> fonts;
    QVector<Border> borders;
    QVector<Xf> xfs;
    QMap<int, QString> numFmts;

    QString text(const QString &ref) const { return cells.value(ref).value; }
    const Font &font(const QString &ref) const { return fonts[xfs[cells.value(ref).style].font]; }
    const Border &border(const QString &ref) const { return borders[xfs[cells.value(ref).style].border]; }
    const Xf &xf(const QString &ref) const { return xfs[cells.value(ref).style]; }
    QString numFmt(const QString &ref) const;
    int lastRow() const;
};

Workbook read(const QString &path);
QString unzipPart(const QString &path, const QString &part);

} // namespace testing_xlsx
