#pragma once
// The operations every spreadsheet export uses: a new workbook with one sheet,
// page orientation, column widths and number formats, range formats (merge,
// centring, font, wrapping, the box of borders), cell values and formulas.
// Rows and columns count from 1, as a spreadsheet user counts them.
#include <QString>
#include <stdexcept>

namespace fenwa::output {

// Any failure of the spreadsheet: the file cannot be written, a bad argument.
class SheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CellRange {
    int r1 = 1, c1 = 1, r2 = 1, c2 = 1;
    static CellRange cell(int r, int c) { return {r, c, r, c}; }
};

// What one format operation sets on a range; unset members leave the cells as they are.
struct RangeFormat {
    bool merge = false;
    bool centre = false;          // horizontally and vertically
    QString fontName;             // empty: unchanged
    double fontSize = 0;          // 0: unchanged
    bool wrap = false;
    bool box = false;             // outer edges and inner vertical lines, no diagonals
    bool bold = false;
};

class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;

    virtual void setLandscape() = 0;
    // Width in characters of the default font.
    virtual void setColumnWidth(int col, double width) = 0;
    // A number format for a whole column, in the file's notation ("#,##0.00");
    // the spreadsheet program shows it with the reader's separators.
    virtual void setColumnNumberFormat(int col, const QString &format) = 0;
    virtual void setNumberFormat(const CellRange &range, const QString &format) = 0;
    virtual void format(const CellRange &range, const RangeFormat &f) = 0;
    virtual void setRowHeight(int row, double points) = 0;
    virtual void setRowLevel(int row, int level) = 0;   // outline level of a subtotal layout

    virtual void setText(int row, int col, const QString &text) = 0;
    virtual void setNumber(int row, int col, double value) = 0;
    // A formula in the file's notation (English names, commas) with the value
    // the program computed, which readers that do not recalculate show.
    virtual void setFormula(int row, int col, const QString &formula, double value) = 0;

    virtual int lastRow() const = 0;
    virtual double columnWidth(int col) const = 0;

    // Writes the workbook to `path`; SheetError when that fails.
    virtual void save(const QString &path) = 0;
};

} // namespace fenwa::output
