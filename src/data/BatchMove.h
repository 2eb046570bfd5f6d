#pragma once
// Copying a query's result into a table file.
#include "data/Database.h"
#include "data/Query.h"

#include <QString>

namespace fenwa::data {

// Copies a query's result into a table file, replacing it (copy mode).
class BatchMove {
public:
    BatchMove(Database *db, const QString &name) : db_(db), name_(name) {}
    void setDatabase(Database *db) { db_ = db; }
    // Runs the query if it is not open, then (re)creates destination with the
    // result's columns and types and fills it. Returns the rows copied.
    int execute(Query &source, const QString &destinationFileOrPath);

private:
    Database *db_;
    QString name_;
};

} // namespace fenwa::data
