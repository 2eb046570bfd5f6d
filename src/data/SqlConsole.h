#pragma once
// The administrator's console for the data: one statement of the program's
// SQL dialect in, its result as CSV text out.
#include "data/Database.h"
#include "data/Dataset.h"

#include <QTextStream>

namespace fenwa::data {

// One value as a CSV field (RFC 4180): dates YYYY-MM-DD, timestamps
// YYYY-MM-DD HH:MM:SS, numbers with a dot and no grouping, logical values 1/0,
// a blank value empty; a field holding a comma, a double quote or a line
// break is quoted, its quotes doubled.
QString csvField(const QVariant &value);

// The rows of an open dataset: a header line of the field names, then one
// line per row; lines end with CR LF.
void writeCsv(const Dataset &data, QTextStream &out);

// The offset of the first byte that is not part of valid UTF-8 (overlong
// forms and surrogates count as invalid), or -1 when all of it is valid.
qsizetype invalidUtf8At(const QByteArray &bytes);

// A statement's bytes as text: input that is not valid UTF-8 (a file saved
// in the Windows code page) is refused, EngineError naming the byte's offset.
QString decodeConsoleInput(const QByteArray &bytes);

// SQLite's integrity check of the database: empty when it is whole,
// otherwise the damage found, one line per problem.
QStringList integrityProblems(Database &db);

// What keeps the database from serving as an installation, one line per
// problem (empty: none): the backend's own check (integrityProblems; the
// server keeps its pages whole itself), every shared table and its fields
// present, every register file with the fields of its kind, each table's
// rows countable and, on the server, no constraint left unvalidated.
QStringList installationProblems(Database &db);

// Runs one statement. A statement that returns rows (it has result columns:
// SELECT, WITH, PRAGMA...) prints them as CSV; any other statement prints a
// header "zmienione_wiersze" and the number of rows it changed.
// The statement may end with one ";". Failures: EngineError in the engine's words.
void runConsoleStatement(Database &db, const QString &statement, QTextStream &out);

} // namespace fenwa::data
