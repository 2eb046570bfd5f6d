#pragma once
// Brings a database written by an earlier version of the program to the
// current form, once, when it is opened:
// - no stored column or index declares the Polish collation (the program
//   applies it in its statements), so any SQLite tool opens, checks and
//   queries the file;
// - every column of a number, logical, date or timestamp type carries its
//   type check (SqlDialect::typeConstraint);
// - passwd.Password is CHAR(128), wide enough for a salted password hash
//   (it was CHAR(40), the size of the old digest).
// SQLite can change neither a column's collation nor its checks, so each
// table that needs it is rebuilt (created anew, copied, dropped, renamed, its
// indexes recreated), all tables in one transaction. Values stored in another
// form than the program's are brought to it where nothing is lost ("" to null,
// "True" to 1, an ISO timestamp to "YYYY-MM-DD HH:MM:SS"); a value that cannot
// be read as its column's type stops the upgrade and leaves the file as it was.
namespace fenwa::data {

class Database;

// The schema level the current program writes (PRAGMA user_version).
constexpr int currentSchemaLevel = 2;

// Upgrades when needed; cheap when the database is current (reads the schema
// only). EngineError (Polish) when the upgrade cannot be done.
void upgradeSchema(Database &db);

} // namespace fenwa::data
