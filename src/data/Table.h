#pragma once
// One table file opened as a dataset: browse, insert, edit, post, cancel,
// delete, with hooks before and after each change. Every post and delete is
// its own committed transaction (immediate save); the before-post hook runs
// inside that transaction, so a check it makes and the write cannot be split
// by another workstation. A post or delete of a record that another
// workstation changed or deleted since it was read is refused (RecordConflict):
// the stored record is compared with the values read, under the write lock.
#include "data/Dataset.h"

#include <functional>

namespace fenwa::data {

class Table : public Dataset {
    Q_OBJECT
public:
    using Hook = std::function<void(Table &)>;

    Table(Database *db, const QString &name, QObject *parent = nullptr);

    // "database name" (the data folder) is the Database; the table name is the
    // file name ("g_2016_2201.db") or a full path inside the data folder.
    void setDatabase(Database *db) { db_ = db; }
    Database *database() const { return db_; }
    void setTableName(const QString &fileOrPath);
    QString tableName() const { return fileName_; }   // file name, e.g. "cz.db"
    QString sqlName() const;                           // SQLite table name

    void setReadOnly(bool on) { readOnly_ = on; }
    bool readOnly() const { return readOnly_; }
    // Exclusive: opening fails while another copy of the program works on the data.
    void setExclusive(bool on) { exclusive_ = on; }
    bool exclusive() const { return exclusive_; }

    // Order: primary key (default), a named secondary index (its field), or fields ("A;B").
    void setIndexName(const QString &index);
    void setIndexFieldNames(const QString &fields);
    QString indexName() const { return indexName_; }
    QString indexFieldNames() const { return indexFields_; }
    // Whether the table file has the secondary index named after the field.
    bool hasIndex(const QString &field) const;

    // Fields the program relies on: opening a file that lacks one fails.
    void setDeclaredFields(const QVector<FieldDef> &fields) { declared_ = fields; }
    // A derived field: value of resultField in the row of lookup whose keyField
    // equals this record's sourceField.
    void addLookupField(const QString &name, int size, const QString &sourceField,
                        Dataset *lookup, const QString &keyField, const QString &resultField);

    void open();    // EngineError when the table is missing or lacks a declared field
    void close();
    void refresh(); // reread, keeping the cursor on the same record where possible

    void append();  // insert state with an empty record
    void edit();
    void post();
    void cancel();  // after a refused post (RecordConflict) also reads the records again
    void remove();  // delete the current record

    // Nearest match on the current order (first row >= values).
    void findNearest(const QVariantList &values);

    // Hooks. A hook refuses by throwing Abort (after showing its message).
    Hook beforeInsert, afterInsert, beforeEdit, afterEdit;
    Hook beforePost, afterPost, beforeDelete, afterDelete;
    // Questions to the user run before the post's or delete's transaction, so
    // that no workstation's write lock is held while a dialog waits for an
    // answer. They refuse like the other hooks, by throwing Abort.
    Hook confirmPost, confirmDelete;

    // The value Id got from the last insert.
    qint64 lastInsertId() const { return lastInsertId_; }

protected:
    // Records read without a filter are filtered in memory while the table
    // has not changed since (a dictionary filtered for a choice list and
    // shown whole again is not read again).
    bool filterInSql() const override { return !wholeTable_; }
    QVariant lookupValue(int field, const ValueOf &valueOf) const override;

private:
    struct Lookup {
        int sourceField;
        Dataset *table;
        QString keyField;
        QString resultField;
    };
    QString orderClause() const;
    void load(const QVariant &keepIdentity, QVector<FieldDef> fields);
    void checkWritable(const char *what) const;
    void checkSizes() const;
    QString storedColumns(const QVector<FieldDef> &fields) const;   // the stored fields and the row identity
    qint64 insertedId() const;   // the row identity of the record just inserted
    // Refuses (RecordConflict) when the stored record is no longer the one read.
    void checkUnchanged(const Record &read, bool deleting) const;
    void writeRecord();
    void beforeScroll() override;
    void filterChanged() override;

    Database *db_;
    QString fileName_;
    bool readOnly_ = false;
    bool exclusive_ = false;
    QString indexName_;
    QString indexFields_;
    QVector<FieldDef> declared_;
    QVector<QPair<FieldDef, Lookup>> pendingLookups_;
    QHash<int, Lookup> lookups_;
    QHash<QString, QString> lookupSources_;   // lookup field (lower case) -> source field
    int physicalCount_ = 0;                   // fields stored in the file
    QString selectKey_, selectSql_;           // the reading statement, per filter and order
    QVariantList selectBinds_;
    qint64 lastInsertId_ = 0;
    bool stale_ = false;                      // a post was refused by a record conflict
    bool wholeTable_ = false;                 // the records were read without a filter
    Database::DataStamp readStamp_;           // ... when the table was at this stamp
};

} // namespace fenwa::data
