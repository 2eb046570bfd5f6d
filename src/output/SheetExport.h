#pragma once
// The conventions every spreadsheet export of the program follows, in one place:
// row 1 the title merged over the used columns, centred, "Arial" 12; row 2 the
// headings, centred, "Arial" 10, wrapped and boxed; from row 3 one row per record,
// "Arial" 8, wrapped and boxed, with the running number as text under "Lp";
// optional subtotal rows; then, below the boxed block, the lines "Eksport z
// programu …" and "Data eksportu: …" in column 1, "Arial" 8. The workbook is written into the export folder
// under a name made from the title and the moment, then opened with the desktop's
// program. Any failure shows "Błąd uruchomienia programu MS Excel" and keeps what
// was written in a file that opens; when only the opening failed, the message
// gives the file's full path and offers to open its folder.
#include "output/ReportSource.h"
#include "output/Spreadsheet.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

namespace fenwa {
class Messages;
}

namespace fenwa::output {

inline const QString kExcelError = QStringLiteral("Błąd uruchomienia programu MS Excel");

struct SheetColumn {
    QString heading;
    double width = 0;          // characters; 0 keeps the default width
    bool amount = false;       // the whole column gets the format "#,##0.00"
    // For exports from a ReportSource: the source field shown here (by name,
    // without regard to case), and whether a real value is written as a number
    // (otherwise every value is written as its text).
    QString field{};
    bool number = false;
};

// A column of a ReportSource export: `field` under `heading`. An amount
// column is formatted "#,##0.00"; amounts and other `number` columns are
// written as numbers.
inline SheetColumn sheetColumn(const QString &heading, double width, const QString &field, bool amount = false,
                               bool number = false)
{
    return {.heading = heading, .width = width, .amount = amount, .field = field, .number = number || amount};
}

struct SheetDesign {
    QString title;
    QVector<SheetColumn> columns;     // sheet columns 1, 2, ...; a first heading "Lp" numbers the rows
    // Subtotals, as a spreadsheet's own subtotal command makes them: one row after
    // each run of equal values in `subtotalGroup`, summing `subtotalColumns`, and a
    // grand total row. Sheet columns, from 1; 0 = no subtotals.
    int subtotalGroup = 0;
    QVector<int> subtotalColumns;
    bool formatEveryNumber = false;   // each number cell gets "#,##0.00" of its own
    int boxedRowsAfterData = 0;       // empty rows below the data boxed with it; the footer lines follow them
    bool landscape = true;
};

// What an export needs from the running program.
struct SheetEnvironment {
    QString folder;                   // the export folder (`fe` of the settings)
    QDateTime moment;                 // the clock's now
    QString appTitle = QStringLiteral("Fenwa5");
    QString version;                  // `wersja`
    QString login;                    // `user_str`
    Messages *messages = nullptr;
    // Opens the written file (or, asked by the user after a failure, its folder)
    // with the desktop's program and does not wait; false when nothing could be
    // started. Tests inject their own.
    std::function<bool(const QString &path)> open;
    // The spreadsheet written to; the .xlsx writer when not set.
    std::function<std::unique_ptr<Spreadsheet>()> makeSheet;
};

struct SheetResult {
    bool ok = false;
    QString path;                     // the file written (also after a failure, when one was kept)
    int lastRow = 0;                  // the last row used (the date line)
};

class SheetExport {
public:
    SheetExport(SheetEnvironment env, SheetDesign design);
    ~SheetExport();

    // Builds a sheet with `fill` and finishes it; any exception thrown on the way
    // ends the export with the error message.
    static SheetResult run(SheetEnvironment env, SheetDesign design,
                           const std::function<void(SheetExport &)> &fill);
    // One row per source row; the columns take their values from their `field`.
    static SheetResult run(SheetEnvironment env, SheetDesign design, const ReportSource &source);

    // One record: values of the sheet columns (after "Lp" when numbered).
    // A QString is written as text, a double as a number, a bool as "True"/"False",
    // a date in the short date format, a null as an empty cell.
    void addRow(const QVector<QVariant> &values);
    // A line in column 1 between the data and the footer lines (e.g. "Filtr: ...").
    void addLine(const QString &text);
    int currentRow() const { return row_; }   // the sheet row the next record goes to
    Spreadsheet &sheet() { return *sheet_; }

    // The message shown on failure; callers that count steps give their own text.
    void setFailureText(std::function<QString()> text) { failureText_ = std::move(text); }

    SheetResult finish();
    // Ends the export after a failure: keeps what was written, shows the message.
    SheetResult fail();

    // The file name: the title as a safe file name (see safeFileBase),
    // "_", the moment as yyyyMMdd_HHmmss, ".xlsx"; made unique in the folder.
    static QString fileNameFor(const QString &folder, const QString &title, const QDateTime &moment);
    static QString footerLine(const SheetEnvironment &env);
    static QString dateLine(const SheetEnvironment &env);
    // The question after a sheet was written but no program opened it: the
    // failure, the file's full path, and whether to open its folder.
    static QString notOpenedText(const QString &failure, const QString &path);

private:
    void closeGroup();
    void writeTotal(const QString &label, int firstRow, int lastRow, bool grand);
    QString save();

    SheetEnvironment env_;
    SheetDesign design_;
    std::unique_ptr<Spreadsheet> sheet_;
    std::function<QString()> failureText_;
    bool numbered_ = false;
    int row_ = 3;
    int count_ = 0;
    int lastCol_ = 1;
    // subtotals
    bool inGroup_ = false;
    QString groupValue_;
    int groupFirst_ = 3;
    QVector<double> groupSums_, grandSums_;
    QVector<int> subtotalRows_;
    QStringList lines_;
    bool finished_ = false;
};

} // namespace fenwa::output
