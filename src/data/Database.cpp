#include "data/Database.h"

#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"
#include "data/Statement.h"

#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <sqlite3.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <unistd.h>

namespace fenwa::data {

namespace {

// Live copies write a heartbeat; an entry older than this belongs to a copy
// that ended without saying so.
constexpr int staleSeconds = 10 * 60;
constexpr const char *runningTable = "_fenwa5_running";

int collatePolish(void *, int lenA, const void *a, int lenB, const void *b)
{
    const QString sa = QString::fromUtf8(static_cast<const char *>(a), lenA);
    const QString sb = QString::fromUtf8(static_cast<const char *>(b), lenB);
    return polishCompare(sa, sb);
}

bool isInternalTable(const QString &name)
{
    return name.startsWith(QLatin1String("sqlite_")) || name.startsWith(QLatin1Char('_'));
}

QRegularExpression maskToRegex(const QString &mask)
{
    QString rx;
    for (QChar c : mask) {
        if (c == QLatin1Char('?'))
            rx += QLatin1Char('.');
        else if (c == QLatin1Char('*'))
            rx += QLatin1String(".*");
        else
            rx += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(rx),
                              QRegularExpression::CaseInsensitiveOption);
}

QString damagedText(const QString &file)
{
    return QStringLiteral("Baza danych „%1” jest uszkodzona (plik jest niepełny lub zawiera błędne dane). "
                          "Odtwórz ją z archiwum.")
        .arg(file);
}

// What is wrong with a database file before SQLite reads it: empty when it
// looks whole. SQLite's header names the page size and, when current, the
// number of pages, so a cut file is found without reading it all.
QString inspectDatabaseFile(const QString &path)
{
    static const QByteArray magic("SQLite format 3", 16);   // with its terminating zero
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("Brak prawa odczytu pliku bazy danych „%1”.").arg(path);
    const qint64 size = f.size();
    const QByteArray head = f.read(100);
    if (size == 0)
        return QString();   // SQLite's empty database
    if (!magic.startsWith(head.left(magic.size())))
        return QStringLiteral("Plik „%1” nie jest bazą danych programu (to nie jest plik bazy danych SQLite).")
            .arg(path);
    if (head.size() < 100)
        return damagedText(path);
    auto number = [&head](int at, int bytes) {
        quint64 v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | quint8(head[at + i]);
        return v;
    };
    quint64 pageSize = number(16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    const bool countCurrent = number(24, 4) == number(92, 4);
    if (countCurrent && pageSize * number(28, 4) > quint64(size))
        return damagedText(path);
    return QString();
}

} // namespace

QString describePathProblem(const QString &folder, std::error_code ec)
{
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return QStringLiteral("Brak dostępu do folderu danych „%1”: brak uprawnień do jego odczytu.").arg(folder);
    if (ec == std::errc::not_a_directory)
        return QStringLiteral("Folder danych „%1” nie istnieje: część tej ścieżki jest plikiem, a nie folderem.")
            .arg(folder);
    if (ec == std::errc::no_such_file_or_directory)
        return QStringLiteral("Folder danych „%1” nie istnieje.").arg(folder);
    return QStringLiteral("Nie można odczytać folderu danych „%1”: %2.")
        .arg(folder, QString::fromLocal8Bit(ec.message().c_str()));
}

int polishCompare(const QString &a, const QString &b)
{
    thread_local QCollator collator = [] {
        QCollator c{QLocale(QLocale::Polish, QLocale::Poland)};
        c.setCaseSensitivity(Qt::CaseSensitive);
        c.setNumericMode(false);
        return c;
    }();
    int r = collator.compare(a, b);
    if (r == 0 && a != b)
        r = a < b ? -1 : 1;   // keep the order total: distinct texts never tie
    return r;
}

Database::Database(const QString &folder, sqlite3 *db)
    : folder_(folder), dialect_(folder), db_(db)
{
}

std::unique_ptr<Database> Database::open(const QString &folderIn, OpenMode mode)
{
    QString folder = folderIn;
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    if (folder.trimmed().isEmpty())
        throw EngineError(QStringLiteral("Nie wskazano folderu danych."));

    std::error_code ec;
    const auto folderStatus = std::filesystem::status(std::filesystem::path(folder.toStdU16String()), ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        throw EngineError(describePathProblem(folder, ec));
    QDir dir(folder);
    if (!std::filesystem::exists(folderStatus)) {
        if (mode == OpenMode::ExistingOnly)
            throw EngineError(QStringLiteral("Folder danych „%1” nie istnieje.").arg(folder));
        if (!QDir().mkpath(folder))
            throw EngineError(QStringLiteral("Nie można utworzyć folderu danych „%1”.").arg(folder));
    } else if (!std::filesystem::is_directory(folderStatus)) {
        throw EngineError(QStringLiteral("„%1” jest plikiem, a nie folderem danych.").arg(folder));
    }
    const QString file = dir.filePath(QString::fromLatin1(fileName));
    (void)std::filesystem::status(std::filesystem::path(file.toStdU16String()), ec);
    if (ec == std::errc::no_such_file_or_directory) {
        if (mode == OpenMode::ExistingOnly)
            throw EngineError(QStringLiteral("Folder danych „%1” nie zawiera bazy danych programu "
                                             "(brak pliku %2).")
                                  .arg(folder, QString::fromLatin1(fileName)));
    } else if (ec) {
        throw EngineError(describePathProblem(folder, ec));
    } else if (const QString problem = inspectDatabaseFile(file); !problem.isEmpty()) {
        throw EngineError(problem);
    }

    sqlite3 *handle = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::Create)
        flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(file.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString();
        sqlite3_close(handle);
        throw EngineError(QStringLiteral("Nie można otworzyć bazy danych „%1”: %2").arg(file, msg));
    }
    std::unique_ptr<Database> db(new Database(folder, handle));
    sqlite3_extended_result_codes(handle, 1);
    db->setBusyTimeout(5000);
    // A file that is not a database fails on its first read.
    rc = sqlite3_exec(handle, "PRAGMA schema_version", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        // The header was SQLite's (checked above): the rest of the file is damaged.
        if ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT)
            throw EngineError(damagedText(file));
        throw EngineError(db->describeError(rc));
    }
    // Rollback journal, not WAL: the data folder may sit on a network share.
    sqlite3_exec(handle, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(handle, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    db->installFunctions();
    Database *raw = db.get();
    db->dialect_.setColumnsOf([raw](const QString &table) {
        raw->columnsRead_ = true;
        QStringList names;
        try {
            for (const FieldDef &f : raw->fields(table))
                names << f.name;
        } catch (const EngineError &) {
            // A missing table: the statement's own error will name it.
        }
        return names;
    });
    upgradeSchema(*db);
    return db;
}

Database::~Database()
{
    try {
        unregisterRunningCopy();
    } catch (...) {
    }
    for (sqlite3_stmt *st : std::as_const(cache_))
        sqlite3_finalize(st);
    sqlite3_close_v2(db_);
}

sqlite3_stmt *Database::takeCached(const QString &sql) const { return cache_.take(sql); }

sqlite3_stmt *Database::putCached(const QString &sql, sqlite3_stmt *st) const
{
    // Enough for a statement per register file of a scan over every unit's year.
    constexpr int limit = 256;
    if (cache_.contains(sql) || cache_.size() >= limit)
        return st;
    cache_.insert(sql, st);
    return nullptr;
}

void Database::installFunctions()
{
    sqlite3_create_collation_v2(db_, kCollation.data(), SQLITE_UTF8, nullptr, collatePolish, nullptr);
    sqlite3_update_hook(
        db_,
        [](void *self, int, const char *, const char *table, sqlite3_int64) {
            auto *db = static_cast<Database *>(self);
            ++db->tableWrites_[QByteArray(table).toLower()];
            ++db->reportedChanges_;
        },
        this);
}

Database::DataStamp Database::dataStamp(const QString &file) const
{
    DataStamp stamp;
    {
        // One look at the file on a network share: both pragmas under one
        // shared lock (each kept prepared; the pragmas' table functions would
        // prepare them anew at every call).
        ReadSnapshot snapshot(*this);
        Statement data(*this, QStringLiteral("PRAGMA data_version"), true);
        if (data.step())
            stamp.dataVersion = data.integer(0);
        Statement schema(*this, QStringLiteral("PRAGMA schema_version"), true);
        if (schema.step())
            stamp.schemaVersion = schema.integer(0);
    }
    const qint64 total = sqlite3_total_changes64(db_);
    if (quint64(total - accountedTotal_) != reportedChanges_ - accountedReported_)
        ++unaccounted_;
    accountedTotal_ = total;
    accountedReported_ = reportedChanges_;
    stamp.unaccounted = unaccounted_;
    stamp.tableWrites = tableWrites_.value(SqlDialect::tableName(file).toUtf8().toLower());
    return stamp;
}

void Database::setBusyTimeout(int ms) { sqlite3_busy_timeout(db_, ms); }

QString Database::path(const QString &file) const
{
    return tablePath(folder_, file);
}

bool Database::fileExists(const QString &file) const
{
    const QString name = SqlDialect::tableName(file);
    // A table whose fields were read at the current schema is there.
    if (schemaKnown() && fieldsCache_.contains(name))
        return true;
    Statement st(*this, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE"),
                 true);
    st.bind(1, name);
    return st.step();
}

QStringList Database::listFiles(const QString &masks) const
{
    if (schemaKnown())
        if (auto it = filesCache_.constFind(masks); it != filesCache_.constEnd())
            return *it;
    QVector<QRegularExpression> patterns;
    for (const QString &m : masks.split(QLatin1Char(';'))) {
        if (!m.trimmed().isEmpty())
            patterns << maskToRegex(m.trimmed());
    }
    QStringList out;
    if (patterns.isEmpty())
        return out;
    Statement st(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
    while (st.step()) {
        const QString name = st.text(0);
        if (isInternalTable(name))
            continue;
        const QString file = name + QStringLiteral(".db");
        for (const auto &p : patterns) {
            if (p.match(file).hasMatch()) {
                out << file;
                break;
            }
        }
    }
    filesCache_.insert(masks, out);
    return out;
}

void Database::deleteFile(const QString &file)
{
    const QString name = SqlDialect::tableName(file);
    execNative(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoteIdent(name)));
}

QVector<FieldDef> Database::fields(const QString &file) const
{
    const QString name = SqlDialect::tableName(file);
    // The fields are read again only when the schema has changed (also when
    // another workstation changed it).
    schemaKnown();
    if (auto it = fieldsCache_.constFind(name); it != fieldsCache_.constEnd())
        return *it;
    Statement st(*this, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(name)), true);
    QVector<FieldDef> out;
    while (st.step()) {
        FieldDef f = fieldFromDeclaredType(st.text(1), st.text(2));
        if (st.integer(5) == 1 && f.type == FieldType::Integer)
            f.type = FieldType::AutoInc;
        out << f;
    }
    if (out.isEmpty())   // no such table
        throw EngineError(QStringLiteral("Tabela „%1” nie istnieje w folderze danych „%2”.")
                              .arg(name + QStringLiteral(".db"), folder_));
    fieldsCache_.insert(name, out);
    return out;
}

qint64 Database::schemaVersion() const
{
    Statement sv(*this, QStringLiteral("PRAGMA schema_version"), true);
    return sv.step() ? sv.integer(0) : 0;
}

bool Database::schemaKnown() const
{
    const qint64 version = schemaVersion();
    if (version == fieldsVersion_)
        return true;
    fieldsCache_.clear();
    indexesCache_.clear();
    filesCache_.clear();
    fieldsVersion_ = version;
    return false;
}

TranslatedSql Database::translate(const QString &dialectSql) const
{
    if (auto it = translations_.constFind(dialectSql); it != translations_.constEnd()
        && (it->schemaVersion < 0 || it->schemaVersion == schemaVersion()))
        return it->sql;
    // Read first: a schema changed meanwhile makes the translation old at once.
    const qint64 version = schemaVersion();
    columnsRead_ = false;
    TranslatedSql t = dialect_.translate(dialectSql);
    constexpr int limit = 512;   // a scan's statements over every unit's year, and more
    if (translations_.size() >= limit)
        translations_.clear();
    translations_.insert(dialectSql, Translation{t, columnsRead_ ? version : -1});
    return t;
}

void Database::addIndex(const QString &file, const QString &field)
{
    const QString name = SqlDialect::tableName(file);
    const QString index = name + QLatin1Char('.') + field;
    execNative(QStringLiteral("DROP INDEX IF EXISTS %1").arg(quoteIdent(index)));
    // No collation in the index: the file stays readable by any SQLite tool;
    // the Polish order is applied by the statements that sort.
    execNative(QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(quoteIdent(index), quoteIdent(name), quoteIdent(field)));
}

QStringList Database::indexNames(const QString &file) const
{
    const QString table = SqlDialect::tableName(file);
    if (schemaKnown())
        if (auto it = indexesCache_.constFind(table); it != indexesCache_.constEnd())
            return *it;
    // The table's own list, not a walk over every index of the database.
    Statement st(*this, QStringLiteral("PRAGMA index_list(%1)").arg(quoteIdent(table)));
    QStringList names;
    while (st.step())
        names << st.text(1);
    indexesCache_.insert(table, names);
    return names;
}

void Database::pack()
{
    if (txDepth_ > 0)
        throw EngineError(QStringLiteral("Nie można pakować bazy w trakcie zapisu."));
    for (sqlite3_stmt *st : std::as_const(cache_))
        sqlite3_finalize(st);
    cache_.clear();
    execNative(QStringLiteral("VACUUM"));
}

void Database::copyTo(const QString &file) const
{
    Statement st(*this, QStringLiteral("VACUUM INTO ?"));
    st.bind(1, file);
    st.step();
}

void Database::replaceWith(const QString &file)
{
    if (txDepth_ > 0)
        throw EngineError(QStringLiteral("Nie można zastąpić bazy w trakcie zapisu."));
    sqlite3 *source = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        for (sqlite3_stmt *st : std::as_const(cache_))
            sqlite3_finalize(st);
        cache_.clear();
        sqlite3_backup *backup = sqlite3_backup_init(db_, "main", source, "main");
        if (!backup) {
            rc = sqlite3_errcode(db_);
        } else {
            rc = sqlite3_backup_step(backup, -1);
            const int finished = sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE)
                rc = finished;
        }
    }
    sqlite3_close(source);
    fieldsCache_.clear();
    indexesCache_.clear();
    filesCache_.clear();
    translations_.clear();
    fieldsVersion_ = -1;
    if (rc != SQLITE_OK)
        throw EngineError(describeError(rc));
}

int Database::exec(const QString &dialectSql, const Params &params)
{
    TranslatedSql t = translate(dialectSql);
    Statement st(*this, t.sql);
    st.bindNamed(params);
    while (st.step()) {
    }
    return sqlite3_changes(db_);
}

void Database::execNative(const QString &sqliteSql)
{
    char *err = nullptr;
    int rc = sqlite3_exec(db_, sqliteSql.toUtf8().constData(), nullptr, nullptr, &err);
    if (err)
        sqlite3_free(err);
    if (rc != SQLITE_OK)
        throw EngineError(describeError(rc));
}

QString Database::lastError() const { return describeError(sqlite3_extended_errcode(db_)); }

QString Database::describeError(int rc) const
{
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db_));
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return QStringLiteral("Baza danych jest zajęta przez inne stanowisko. "
                              "Spróbuj ponownie za chwilę.");
    if (primary == SQLITE_READONLY)
        return QStringLiteral("Brak prawa zapisu do bazy danych w folderze „%1”.").arg(folder_);
    if (primary == SQLITE_PERM || primary == SQLITE_AUTH)
        return QStringLiteral("Brak uprawnień dostępu do bazy danych w folderze „%1”.").arg(folder_);
    if (primary == SQLITE_CANTOPEN)
        return QStringLiteral("Nie można otworzyć pliku bazy danych (%1).").arg(msg);
    if (primary == SQLITE_IOERR) {
        if (rc == SQLITE_IOERR_READ || rc == SQLITE_IOERR_SHORT_READ)
            return QStringLiteral("Błąd odczytu pliku bazy danych w folderze „%1”.").arg(folder_);
        if (rc == SQLITE_IOERR_WRITE || rc == SQLITE_IOERR_FSYNC || rc == SQLITE_IOERR_TRUNCATE
            || rc == SQLITE_IOERR_DIR_FSYNC)
            return QStringLiteral("Błąd zapisu pliku bazy danych w folderze „%1”; zmiana nie została zapisana.")
                .arg(folder_);
        return QStringLiteral("Błąd dostępu do pliku bazy danych w folderze „%1” (%2).").arg(folder_, msg);
    }
    if (primary == SQLITE_FULL)
        return QStringLiteral("Brak miejsca na dysku; zmiana nie została zapisana.");
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        return QStringLiteral("Baza danych w folderze „%1” jest uszkodzona.").arg(folder_);
    if (primary == SQLITE_CONSTRAINT) {
        QString field;
        int size = 0;
        if (SqlDialect::parseLengthConstraint(msg, &field, &size))
            return QStringLiteral("Tekst w polu „%1” jest za długi (najwyżej %2 znaków).").arg(field).arg(size);
        FieldType type = FieldType::Unknown;
        if (SqlDialect::parseTypeConstraint(msg, &field, &type))
            return QStringLiteral("Wartość w polu „%1” nie jest %2; zmiany nie zapisano.").arg(field, typeNoun(type));
        return QStringLiteral("Naruszenie ograniczenia tabeli: %1").arg(msg);
    }
    static const QRegularExpression noTable(QStringLiteral("^no such table: (?:main\\.)?(.+)$"));
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (.+)$"));
    static const QRegularExpression exists(QStringLiteral("^table \"?([^\" ]+)\"? already exists$"));
    static const QRegularExpression dupColumn(QStringLiteral("^duplicate column name: (.+)$"));
    if (auto m = noTable.match(msg); m.hasMatch())
        return QStringLiteral("Tabela „%1.db” nie istnieje w folderze danych „%2”.").arg(m.captured(1), folder_);
    if (auto m = noColumn.match(msg); m.hasMatch())
        return QStringLiteral("Nieznane pole „%1”.").arg(m.captured(1));
    if (auto m = exists.match(msg); m.hasMatch())
        return QStringLiteral("Tabela „%1.db” już istnieje.").arg(m.captured(1));
    if (auto m = dupColumn.match(msg); m.hasMatch())
        return QStringLiteral("Pole „%1” już istnieje w tabeli.").arg(m.captured(1));
    if (msg.contains(QLatin1String("syntax error")))
        return QStringLiteral("Błąd składni zapytania SQL (%1).").arg(msg);
    return QStringLiteral("Błąd bazy danych: %1").arg(msg);
}

Database::Transaction::Transaction(Database &db) : db_(db)
{
    if (db_.txDepth_ == 0) {
        db_.execNative(QStringLiteral("BEGIN IMMEDIATE"));
        outer_ = true;
    }
    ++db_.txDepth_;
}

Database::Transaction::~Transaction()
{
    --db_.txDepth_;
    if (outer_ && !done_)
        sqlite3_exec(db_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Database::Transaction::commit()
{
    if (done_)
        return;
    if (outer_) {
        int rc = sqlite3_exec(db_.db_, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            throw EngineError(db_.describeError(rc));   // the destructor rolls back
    }
    done_ = true;
}

namespace {
void ensureRunningTable(Database &db)
{
    db.execNative(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                 "osuser TEXT, host TEXT, pid INTEGER, started TEXT, heartbeat TEXT)")
                      .arg(QLatin1String(runningTable)));
}

QString nowText() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate); }

bool processAlive(qint64 pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }
} // namespace

void Database::registerRunningCopy(const QString &osUser)
{
    ensureRunningTable(*this);
    unregisterRunningCopy();
    Statement st(*this, QStringLiteral("INSERT INTO %1 (osuser, host, pid, started, heartbeat) "
                                       "VALUES (?, ?, ?, ?, ?)").arg(QLatin1String(runningTable)));
    st.bind(1, osUser);
    st.bind(2, QSysInfo::machineHostName());
    st.bind(3, static_cast<qint64>(::getpid()));
    st.bind(4, nowText());
    st.bind(5, nowText());
    st.step();
    copyId_ = sqlite3_last_insert_rowid(db_);
}

void Database::unregisterRunningCopy()
{
    if (copyId_ == 0)
        return;
    Statement st(*this, QStringLiteral("DELETE FROM %1 WHERE Id = ?").arg(QLatin1String(runningTable)));
    st.bind(1, copyId_);
    st.step();
    copyId_ = 0;
}

void Database::heartbeat()
{
    if (copyId_ == 0)
        return;
    Statement st(*this, QStringLiteral("UPDATE %1 SET heartbeat = ? WHERE Id = ?").arg(QLatin1String(runningTable)));
    st.bind(1, nowText());
    st.bind(2, copyId_);
    st.step();
}

int Database::otherRunningCopies() const
{
    return int(otherRunningCopyNames().size());
}

QStringList Database::otherRunningCopyNames() const
{
    if (!fileExists(QString::fromLatin1(runningTable)))
        return {};
    const QString host = QSysInfo::machineHostName();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    Statement st(*this, QStringLiteral("SELECT Id, host, pid, heartbeat, osuser FROM %1 ORDER BY Id")
                            .arg(QLatin1String(runningTable)));
    QStringList others;
    while (st.step()) {
        if (st.integer(0) == copyId_)
            continue;
        QDateTime beat = QDateTime::fromString(st.text(3), Qt::ISODate);
        if (!beat.isValid() || beat.secsTo(now) > staleSeconds)
            continue;
        if (st.text(1) == host && !processAlive(st.integer(2)))
            continue;
        others << QStringLiteral("%1 (%2)").arg(st.text(4), st.text(1));
    }
    return others;
}

QStringList Database::runningUsers() const
{
    QStringList users;
    if (!fileExists(QString::fromLatin1(runningTable)))
        return users;
    const QString host = QSysInfo::machineHostName();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    Statement st(*this, QStringLiteral("SELECT osuser, host, pid, heartbeat FROM %1 ORDER BY Id")
                            .arg(QLatin1String(runningTable)));
    while (st.step()) {
        QDateTime beat = QDateTime::fromString(st.text(3), Qt::ISODate);
        if (!beat.isValid() || beat.secsTo(now) > staleSeconds)
            continue;
        if (st.text(1) == host && !processAlive(st.integer(2)))
            continue;
        if (!users.contains(st.text(0)))
            users << st.text(0);
    }
    return users;
}

} // namespace fenwa::data
