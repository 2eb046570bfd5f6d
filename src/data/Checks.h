#pragma once
// The checks the record rules share: the duplicate check (one field or a
// pair), the reference scan over register files, and the amount consistency
// warning of a position.
//
// Values never enter the statement text: they are bound parameters. Each
// check also yields its statement written out with the values, for showing.
#include "common/Messages.h"
#include "data/Query.h"
#include "data/Table.h"

#include <QStringList>
#include <QVariant>

namespace fenwa::data {

// The progress of a scan over table files: the file-list window implements
// it; tests record it.
class FileListView {
public:
    virtual ~FileListView() = default;
    // Shows (without blocking) the files of folder matching mask, with a caption.
    virtual void showFiles(const QString &folder, const QString &mask, const QStringList &files,
                           const QString &caption) = 0;
    // The scan has reached files[index].
    virtual void selectFile(int index) = 0;
    virtual void hideFiles() = 0;
};

// A check's statement: as the user may see it (values written in) and as run.
struct CheckStatement {
    QString shown;
    QString sql;
    Params params;
};

// The duplicate statement over the whole file of t for fields = values; with
// a valid id (edit state) the record's own row is left out.
//
// Blank and empty text are one value here (the engine keeps no empty text):
// a blank value matches rows where the field is blank or empty.
CheckStatement duplicateStatement(const Table &t, const QStringList &fields, const QStringList &values,
                                  const QVariant &id);

// True when the text is blank: nothing, or only spaces.
bool isBlankText(const QString &text);
// True when the field of the current record of t is blank (null, or text of only spaces).
bool isBlankField(const Dataset &t, const QString &field);

// Duplicate check on the record being posted in t (insert or edit state),
// over the whole table file regardless of any filter. Passes, or:
//  - ask false: warning "Pozycja "{V}" już istnieje!" and Abort;
//  - ask true: question "Pozycja "{V}" już istnieje!\n Czy mimo to dodać taki
//    zapis?"; No aborts, Yes passes.
// A blank value is not checked: the required-field test that follows says
// what is wrong with it.
void duplicateCheck(Table &t, const QString &field, bool ask, Messages &messages);
// The same for two fields together ("Pozycja "{V1}, {V2}" już istnieje!").
// Skipped only when both values are blank; a blank second value matches a
// blank second field.
void pairDuplicateCheck(Table &t, const QString &field1, const QString &field2, bool ask,
                        Messages &messages);

// The reference scan: runs "SELECT * FROM "{path}" WHERE {column} = {id}"
// over every table file matching mask, in name order, showing the walk in
// view (caption "Szukanie ..."), and returns whether any file returned a row.
// Every file is scanned even after a hit; the last file's statement runs
// through the work query, which stays open on its result. A file without the
// column cannot refer to the record and is passed over.
bool referenceScan(Database &db, Query &work, FileListView *view, const QString &mask,
                   const QString &column, const QVariant &id, QStringList *filesWithHits = nullptr);

// The amount consistency warning of a position: the product line and the sum
// line (each followed by a line break) where quantity × price or net + charges
// differs from gross by a cent or more after rounding to cents; empty when the
// amounts agree. Blank amounts count as 0.
QString amountWarning(const QVariant &ilosc, const QVariant &cena, const QVariant &netto,
                      const QVariant &podatki, const QVariant &brutto);

} // namespace fenwa::data
