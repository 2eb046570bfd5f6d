#pragma once
// The spreadsheet as an .xlsx file written with libxlsxwriter. Cells and their
// formats are kept in memory (formats may be set on a range after its values,
// as the export steps do) and written in one pass by save().
#include "output/Spreadsheet.h"

#include <QHash>
#include <QVector>
#include <map>

namespace fenwa::output {

class XlsxSpreadsheet : public Spreadsheet {
public:
    XlsxSpreadsheet();
    ~XlsxSpreadsheet() override;

    void setLandscape() override { landscape_ = true; }
    void setColumnWidth(int col, double width) override;
    void setColumnNumberFormat(int col, const QString &format) override;
    void setNumberFormat(const CellRange &range, const QString &format) override;
    void format(const CellRange &range, const RangeFormat &f) override;
    void setRowHeight(int row, double points) override;
    void setRowLevel(int row, int level) override;

    void setText(int row, int col, const QString &text) override;
    void setNumber(int row, int col, double value) override;
    void setFormula(int row, int col, const QString &formula, double value) override;

    int lastRow() const override { return cells_.size(); }
    double columnWidth(int col) const override;

    void save(const QString &path) override;

    static constexpr double kDefaultWidth = 8.43;

    struct Style {
        QString font;            // empty: the default font
        double size = 0;
        bool bold = false;
        bool wrap = false;
        bool centre = false;
        bool left = false, right = false, top = false, bottom = false;
        QString numFormat;
        bool operator==(const Style &o) const;
    };
    struct Cell {
        enum Kind : unsigned char { Empty, Text, Number, Formula } kind = Empty;
        QString text;            // text or formula
        double number = 0;
        int style = 0;           // index into styles_; 0 = none
    };

private:
    Cell &at(int row, int col);
    void check(int row, int col) const;
    int styleIndex(const Style &s);
    template <typename F> void restyle(const CellRange &range, F change);

    bool landscape_ = false;
    QVector<QVector<Cell>> cells_;
    QVector<Style> styles_;
    std::map<int, double> widths_;
    std::map<int, QString> columnFormats_;
    std::map<int, double> heights_;
    std::map<int, int> levels_;
    QVector<CellRange> merges_;
};

} // namespace fenwa::output
