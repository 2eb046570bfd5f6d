#pragma once
// A set of records with a cursor: the common ground of Table and Query.
// Records are read into memory when the dataset opens (kept compactly, see
// DatasetRows); grids bind to it through the signals below.
#include "common/Numbers.h"
#include "data/Database.h"
#include "data/DatasetRows.h"
#include "data/FieldDef.h"
#include "data/Filter.h"

#include <QHash>
#include <QObject>
#include <QVariant>
#include <QVector>

#include <functional>

namespace fenwa::data {

class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Insert, Edit };
    using Record = QVector<QVariant>;

    explicit Dataset(const QString &name, QObject *parent = nullptr);
    ~Dataset() override;

    QString name() const { return objectName(); }
    State state() const { return state_; }
    bool active() const { return state_ != State::Inactive; }
    bool editing() const { return state_ == State::Insert || state_ == State::Edit; }

    // Fields (names without regard to letter case).
    int fieldCount() const { return fields_.size(); }
    const FieldDef &fieldDef(int i) const { return fields_[i]; }
    const QVector<FieldDef> &fieldDefs() const { return fields_; }
    int fieldIndex(const QString &name) const;   // -1 when absent
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    const FieldDef &fieldDef(const QString &name) const;   // EngineError when absent

    // Values of the current record (the edit buffer while inserting or editing).
    QVariant value(const QString &field) const;
    QVariant value(int field) const;
    bool isNull(const QString &field) const;
    QString asString(const QString &field) const;   // plain text: numbers without grouping
    qint64 asInt(const QString &field) const;
    double asFloat(const QString &field) const;
    bool asBool(const QString &field) const;
    QDateTime asDateTime(const QString &field) const;
    QDate asDate(const QString &field) const;
    // Only while inserting or editing (EngineError otherwise). A value that
    // cannot be read as the field's type ("abc" for a number, "31.02.2024" for
    // a date) is refused with a Polish message naming the field; the field
    // keeps its value. Numbers may be typed in the Polish form ("1 234,56") or
    // the plain one ("1234.56").
    void setValue(const QString &field, const QVariant &value);

    // Rows as a grid shows them: while inserting, the new record is one more
    // row after the last.
    int displayRowCount() const { return int(visible_.size()) + (state_ == State::Insert ? 1 : 0); }
    int currentDisplayRow() const { return state_ == State::Insert ? int(visible_.size()) : cursor_; }

    // Values of any visible row (for grids).
    QVariant valueAt(int row, int field) const;
    QString displayText(int row, int field) const;
    // Formats by field name; they stay when the records are read again.
    void setDisplayFormat(const QString &field, const QString &format);   // "#,##0.00"
    QString displayFormat(int field) const;
    void setEditFormat(const QString &field, const QString &format);      // "#0.##"
    // The current record's value as an editor shows it (the edit format).
    QString editText(const QString &field) const;

    // Cursor over the visible (filtered) rows.
    int recordCount() const { return visible_.size(); }
    bool isEmpty() const { return visible_.isEmpty(); }
    int recNo() const { return cursor_; }   // 0-based; -1 when empty
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    void moveTo(int row);

    // Filter text on the open records (see Filter for the language).
    void setFilter(const QString &text);
    QString filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // Exact, case-sensitive; moves the cursor when found.
    bool locate(const QStringList &fields, const QVariantList &values);
    bool locate(const QString &field, const QVariant &value)
    {
        return locate(QStringList{field}, QVariantList{value});
    }

    // A bookmark is the record's identity (its Id where it has one).
    using Bookmark = QVariant;
    Bookmark bookmark() const;
    bool gotoBookmark(const Bookmark &mark);

private:
    // Chooses the visible rows among those read and puts the cursor on the
    // record keepIdentity names (the first row otherwise).
    void showRecords(const QVariant &keepIdentity);

signals:
    void stateChanged();
    void rowsChanged();       // records reloaded, added or removed
    void currentChanged();    // cursor moved
    void recordChanged();     // a value of the current record changed
    void aboutToPost();       // a pending insert or edit is about to be saved (editors commit now)

public:
    // Grows whenever the records are read again (lookup caches key on it).
    quint64 dataVersion() const { return version_; }
    // Grows whenever the records are read again or closed, not when the same
    // records are filtered anew.
    quint64 recordsVersion() const { return recordsVersion_; }
    // Row index (among visible rows) whose field equals value; -1 when none.
    int findRow(int field, const QVariant &value) const;

protected:
    // Called before the cursor moves (a table posts a pending edit).
    virtual void beforeScroll() {}
    // The filter text or switch changed while open.
    virtual void filterChanged();
    void setRecords(QVector<FieldDef> fields, DatasetRows rows, const QVariant &keepIdentity = {});
    void clearRecords();
    virtual bool filterInSql() const { return false; }
    // A looked-up field's value for the record whose stored fields valueOf gives.
    using ValueOf = std::function<QVariant(int field)>;
    virtual QVariant lookupValue(int field, const ValueOf &valueOf) const;
    void applyFilter();
    void setState(State s);
    // Puts the cursor on a visible row that a search found.
    void settleOn(int row);
    // The record under the cursor as read (empty when there is none).
    Record currentRecord() const;
    // Whether two values are the same record value (numbers of any type compare
    // by value, dates by their stored form).
    static bool sameValue(const QVariant &a, const QVariant &b);
    int rowIndexOfVisible(int row) const { return visible_[row]; }
    int identityField() const;

    QVector<FieldDef> fields_;
    QHash<QString, int> fieldByName_;   // lower-case name -> index
    DatasetRows rows_;                  // every record read
    QVector<int> visible_;              // indices into rows_ that pass the filter
    QHash<QString, QString> displayFormats_;   // lower-case field name -> format
    // The number formats read once from those texts (display) and from the edit formats.
    QHash<QString, NumberFormat> displayNumbers_, editNumbers_;
    int cursor_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    State state_ = State::Inactive;
    Record buffer_;                     // edit buffer
    QString filterText_;
    bool filtered_ = false;
    Filter filterExpr_;
    quint64 version_ = 0;
    quint64 recordsVersion_ = 0;
    mutable QHash<int, QHash<QString, int>> findIndex_;   // field -> key text -> visible row
    mutable quint64 findVersion_ = ~quint64(0);
};

} // namespace fenwa::data
