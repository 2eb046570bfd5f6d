#pragma once
// "Importuj" of the dictionaries window: fills a dictionary from a table of
// the previous program generation (Paradox), in one set-based statement.
//
// The chosen file is read by the Paradox reader into a work table of the
// session; the statement then appends its rows to the dictionary. All of it
// runs in one transaction: a failure anywhere (not a table, a missing
// column, a busy database) adds nothing. Imported contractors are not
// hidden (Ukr false), so the choice lists of the position editor offer them.
#include <QString>

namespace fenwa::data {
class Database;
}

namespace fenwa::dictionaries {

// The four dictionary tabs that can be imported into.
enum class ImportKind { Contractors, Purchases, DiagnosticTests, ResidueTests };

struct ImportSource {
    QString caption;        // the tab's caption, as in the message
    QString table;          // the dictionary's file: "kontr.db"
    QString description;    // the file dialog's filter description
    QString fileName;       // the file the previous generation kept it in
    QString columns;        // target columns
    QString sourceColumns;  // columns of the chosen file
    QString condition;      // the statement's third line, or empty
};
const ImportSource &importSource(ImportKind kind);

// The file dialog's filter: description, "|", file name.
QString importFilter(ImportKind kind);

// The statement that appends the work table's rows (lines of the dialect).
QString importStatement(const QString &dataFolder, ImportKind kind, const QString &workTable);

struct ImportResult {
    int rows = 0;       // rows appended
    QString error;      // the message the window shows; empty on success
    QString reason;     // what went wrong, in the reader's or the engine's words
};

// Imports FILE (a Paradox table) into the dictionary of the kind. The window
// closes the dictionary's table before and opens it again after, in every case.
ImportResult importDictionary(data::Database &db, ImportKind kind, const QString &file);

} // namespace fenwa::dictionaries
