#include "data/Database.h"

#include "data/PgBackend.h"
#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"
#include "data/SqliteBackend.h"
#include "data/Statement.h"

#include "common/Platform.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <sqlite3.h>

#include <filesystem>

namespace fenwa::data {

namespace {

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

QString describeCheckFailure(const QString &message)
{
    QString field;
    int size = 0;
    if (SqlDialect::parseLengthConstraint(message, &field, &size))
        return QStringLiteral("Tekst w polu „%1” jest za długi (najwyżej %2 znaków).").arg(field).arg(size);
    FieldType type = FieldType::Unknown;
    if (SqlDialect::parseTypeConstraint(message, &field, &type))
        return QStringLiteral("Wartość w polu „%1” nie jest %2; zmiany nie zapisano.").arg(field, typeNoun(type));
    return QString();
}

Database::Database(const QString &folder, SqlBackend backend, std::unique_ptr<Connection> conn, sqlite3 *sqlite)
    : folder_(folder), dialect_(folder, backend), conn_(std::move(conn)), sqlite_(sqlite)
{
}

void Database::watchColumns()
{
    dialect_.setColumnsOf([this](const QString &table) {
        QStringList names;
        try {
            for (const FieldDef &f : fields(table))
                names << f.name;
        } catch (const EngineError &) {
            // A missing table: the statement's own error will name it.
        }
        return names;
    });
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
    auto conn = std::make_unique<SqliteConnection>(handle, folder);
    const SqliteConnection &sqlite = *conn;
    std::unique_ptr<Database> db(new Database(folder, SqlBackend::Sqlite, std::move(conn), handle));
    db->setBusyTimeout(5000);
    // A file that is not a database fails on its first read.
    rc = sqlite3_exec(handle, "PRAGMA schema_version", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        // The header was SQLite's (checked above): the rest of the file is damaged.
        if ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT)
            throw EngineError(damagedText(file));
        throw EngineError(sqlite.describeError(rc));
    }
    // Rollback journal, not WAL: the data folder may sit on a network share.
    sqlite3_exec(handle, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(handle, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    db->watchColumns();
    upgradeSchema(*db);
    return db;
}

std::unique_ptr<Database> Database::openServer(const QString &dataFolderIn, const QByteArray &conninfo,
                                               const QString &schema, OpenMode mode)
{
    QString folder = dataFolderIn;
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    auto conn = PgConnection::open(conninfo, schema, mode == OpenMode::Create);
    std::unique_ptr<Database> db(new Database(folder, SqlBackend::PostgreSql, std::move(conn), nullptr));
    db->setBusyTimeout(5000);
    db->watchColumns();
    return db;
}

Database::~Database()
{
    try {
        unregisterRunningCopy();
    } catch (...) {
    }
    clearCache();
}

void Database::clearCache() const
{
    for (Cursor *st : std::as_const(cache_))
        delete st;
    cache_.clear();
}

std::unique_ptr<Cursor> Database::takeCached(const QString &sql) const
{
    return std::unique_ptr<Cursor>(cache_.take(sql));
}

std::unique_ptr<Cursor> Database::putCached(const QString &sql, std::unique_ptr<Cursor> st) const
{
    // Enough for a statement per register file of a scan over every unit's year.
    constexpr int limit = 256;
    if (cache_.contains(sql) || cache_.size() >= limit)
        return st;
    cache_.insert(sql, st.release());
    return nullptr;
}

Database::DataStamp Database::dataStamp(const QString &file) const
{
    return conn_->dataStamp(SqlDialect::tableName(file));
}

void Database::setBusyTimeout(int ms) { conn_->setBusyTimeout(ms); }

QString Database::path(const QString &file) const
{
    return tablePath(folder_, file);
}

bool Database::fileExists(const QString &file) const
{
    return conn_->tableExists(SqlDialect::tableName(file));
}

QStringList Database::listFiles(const QString &masks) const
{
    QVector<QRegularExpression> patterns;
    for (const QString &m : masks.split(QLatin1Char(';'))) {
        if (!m.trimmed().isEmpty())
            patterns << maskToRegex(m.trimmed());
    }
    QStringList out;
    if (patterns.isEmpty())
        return out;
    for (const QString &name : conn_->tableNames()) {
        const QString file = name + QStringLiteral(".db");
        for (const auto &p : patterns) {
            if (p.match(file).hasMatch()) {
                out << file;
                break;
            }
        }
    }
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
    const qint64 version = conn_->schemaVersion();
    if (version != fieldsVersion_) {
        fieldsCache_.clear();
        fieldsVersion_ = version;
    }
    if (auto it = fieldsCache_.constFind(name); it != fieldsCache_.constEnd())
        return *it;
    QVector<FieldDef> out = conn_->columns(name);
    if (out.isEmpty())   // no such table
        throw EngineError(QStringLiteral("Tabela „%1” nie istnieje w folderze danych „%2”.")
                              .arg(name + QStringLiteral(".db"), folder_));
    fieldsCache_.insert(name, out);
    return out;
}

void Database::addIndex(const QString &file, const QString &field)
{
    const QString name = SqlDialect::tableName(file);
    conn_->createIndex(name + QLatin1Char('.') + field, name, field);
}

QStringList Database::indexNames(const QString &file) const
{
    return conn_->indexNames(SqlDialect::tableName(file));
}

void Database::pack()
{
    if (txDepth_ > 0)
        throw EngineError(QStringLiteral("Nie można pakować bazy w trakcie zapisu."));
    clearCache();
    conn_->pack();
}

void Database::reindex(const QString &file) { conn_->reindex(SqlDialect::tableName(file)); }

QStringList Database::integrityProblems() { return conn_->integrityProblems(); }

void Database::copyTo(const QString &file) const { conn_->copyTo(file); }

void Database::replaceWith(const QString &file)
{
    if (txDepth_ > 0)
        throw EngineError(QStringLiteral("Nie można zastąpić bazy w trakcie zapisu."));
    clearCache();
    fieldsCache_.clear();
    fieldsVersion_ = -1;
    conn_->replaceWith(file);
}

int Database::exec(const QString &dialectSql, const Params &params)
{
    TranslatedSql t = dialect_.translate(dialectSql);
    Statement st(*this, t.sql);
    st.bindNamed(params);
    while (st.step()) {
    }
    return int(conn_->changes());
}

void Database::execNative(const QString &nativeSql) { conn_->execNative(nativeSql); }

qint64 Database::changes() const { return conn_->changes(); }

qint64 Database::lastInsertId() { return conn_->lastInsertId(); }

QString Database::rowIdentity(const QVector<FieldDef> &fields) const { return conn_->rowIdentity(fields); }

void Database::createWorkTable(const QString &table, const QVector<FieldDef> &columns)
{
    conn_->createWorkTable(table, columns);
}

void Database::dropWorkTable(const QString &table) { conn_->dropWorkTable(table); }

QString Database::lastError() const { return conn_->lastError(); }

QString Database::describeError(int rc) const
{
    if (auto *sqlite = dynamic_cast<const SqliteConnection *>(conn_.get()))
        return sqlite->describeError(rc);
    return conn_->lastError();
}

Database::Transaction::Transaction(Database &db) : db_(db)
{
    if (db_.txDepth_ == 0) {
        db_.conn_->beginWrite();
        outer_ = true;
    }
    ++db_.txDepth_;
}

Database::Transaction::~Transaction()
{
    --db_.txDepth_;
    if (outer_ && !done_)
        db_.conn_->rollback();
}

void Database::Transaction::commit()
{
    if (done_)
        return;
    if (outer_)
        db_.conn_->commit();   // on failure the destructor rolls back
    done_ = true;
}

void Database::registerRunningCopy(const QString &osUser)
{
    unregisterRunningCopy();
    copyId_ = conn_->registerCopy(osUser, QSysInfo::machineHostName(), QCoreApplication::applicationPid(),
                                  QDateTime::currentDateTimeUtc());
}

void Database::unregisterRunningCopy()
{
    if (copyId_ == 0)
        return;
    conn_->unregisterCopy(copyId_);
    copyId_ = 0;
}

void Database::heartbeat()
{
    if (copyId_ != 0)
        conn_->heartbeat(copyId_, QDateTime::currentDateTimeUtc());
}

int Database::otherRunningCopies() const
{
    return int(otherRunningCopyNames().size());
}

QStringList Database::otherRunningCopyNames() const
{
    QStringList others;
    for (const RunningCopy &c : conn_->liveCopies(QDateTime::currentDateTimeUtc()))
        if (c.id != copyId_)
            others << QStringLiteral("%1 (%2)").arg(c.osUser, c.host);
    return others;
}

QStringList Database::runningUsers() const
{
    QStringList users;
    for (const RunningCopy &c : conn_->liveCopies(QDateTime::currentDateTimeUtc()))
        if (!users.contains(c.osUser))
            users << c.osUser;
    return users;
}

void Database::clearRunningCopies() { conn_->clearCopies(); }

} // namespace fenwa::data
