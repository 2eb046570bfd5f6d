#pragma once
// An SQL statement given as lines in the program's dialect. open() reads the
// result into memory; execSql() runs a statement that returns no rows.
#include "data/Dataset.h"

#include <QByteArray>
#include <QStringList>

namespace fenwa::data {

class Query : public Dataset {
    Q_OBJECT
public:
    Query(Database *db, const QString &name, QObject *parent = nullptr);

    void setDatabase(Database *db) { db_ = db; }
    Database *database() const { return db_; }

    QStringList &sql() { return sql_; }
    const QStringList &sql() const { return sql_; }
    void setSql(const QStringList &lines) { sql_ = lines; }
    void clearSql() { sql_.clear(); params_.clear(); }
    void addLine(const QString &line) { sql_ << line; }
    QString text() const { return sql_.join(QLatin1Char('\n')); }

    // Named parameter (":dzis"); a QDate binds as a date.
    void setParam(const QString &name, const QVariant &value);
    void clearParams() { params_.clear(); }

    void open();        // EngineError on failure; previous result closed first
    int execSql();      // rows changed
    void close();

    // Called after every successful open (the display-format rules hook here).
    std::function<void(Query &)> afterOpen;

private:
    Database *db_;
    QStringList sql_;
    Params params_;
    // The fields last made from a statement's columns, and those columns'
    // names and declared types: a scan reads files of one layout one after
    // another and makes the fields once.
    QVector<FieldDef> columnFields_;
    QByteArray columnsKey_;
};

} // namespace fenwa::data
