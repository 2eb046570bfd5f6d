#include "data/SqliteBackend.h"

#include "data/Database.h"
#include "data/SqlBuilder.h"
#include "data/SqlDialect.h"

#include "common/Platform.h"

#include <QDate>
#include <QFile>
#include <QSysInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace fenwa::data {

namespace {

// Live copies write a heartbeat; an entry older than this belongs to a copy
// that ended without saying so.
constexpr int staleSeconds = 10 * 60;

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

class SqliteCursor final : public Cursor {
public:
    SqliteCursor(const SqliteConnection &conn, const QString &sql) : conn_(conn)
    {
        const QByteArray utf8 = sql.toUtf8();
        int rc = sqlite3_prepare_v2(conn.handle(), utf8.constData(), int(utf8.size()), &st_, nullptr);
        if (rc != SQLITE_OK) {
            QString msg = conn.describeError(rc);
            sqlite3_finalize(st_);
            throw EngineError(msg);
        }
        if (!st_)
            throw EngineError(QStringLiteral("Puste zapytanie SQL."));
    }
    ~SqliteCursor() override { sqlite3_finalize(st_); }

    void bind(int index, const QVariant &value) override;
    int parameterIndex(const QString &name) const override
    {
        return sqlite3_bind_parameter_index(st_, name.toUtf8().constData());
    }
    bool step() override
    {
        int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        QString msg = conn_.describeError(sqlite3_extended_errcode(conn_.handle()));
        sqlite3_reset(st_);
        throw EngineError(msg);
    }
    void reset(bool clearBindings) override
    {
        sqlite3_reset(st_);
        if (clearBindings)
            sqlite3_clear_bindings(st_);
    }

    int columnCount() const override { return sqlite3_column_count(st_); }
    QString columnName(int i) const override { return QString::fromUtf8(sqlite3_column_name(st_, i)); }
    QString declaredType(int i) const override
    {
        const char *t = sqlite3_column_decltype(st_, i);
        return t ? QString::fromUtf8(t) : QString();
    }
    int columnType(int i) const override { return sqlite3_column_type(st_, i); }
    QString text(int i) const override
    {
        const unsigned char *t = sqlite3_column_text(st_, i);
        if (!t)
            return QString();
        return QString::fromUtf8(reinterpret_cast<const char *>(t), sqlite3_column_bytes(st_, i));
    }
    qint64 integer(int i) const override { return sqlite3_column_int64(st_, i); }
    double real(int i) const override { return sqlite3_column_double(st_, i); }
    QVariant value(int i, FieldType type) const override;

private:
    const SqliteConnection &conn_;
    sqlite3_stmt *st_ = nullptr;
};

void SqliteCursor::bind(int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    // A date that is not set is a blank value, not an empty text.
    const bool noDate = (value.typeId() == QMetaType::QDate && !value.toDate().isValid())
        || (value.typeId() == QMetaType::QDateTime && !value.toDateTime().isValid());
    if (value.isNull() || !value.isValid() || noDate) {
        rc = sqlite3_bind_null(st_, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(st_, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(st_, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(st_, index, value.toDouble());
            break;
        case QMetaType::QDate: {
            QByteArray t = value.toDate().toString(Qt::ISODate).toUtf8();
            rc = sqlite3_bind_text(st_, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDateTime: {
            QByteArray t = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
            rc = sqlite3_bind_text(st_, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            QByteArray t = value.toString().toUtf8();
            rc = sqlite3_bind_text(st_, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        throw EngineError(conn_.describeError(rc));
}

QVariant SqliteCursor::value(int i, FieldType type) const
{
    const int ct = sqlite3_column_type(st_, i);
    if (ct == SQLITE_NULL)
        return QVariant();
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(st_, i)));
    case FieldType::Float:
        return QVariant(sqlite3_column_double(st_, i));
    case FieldType::Boolean:
        if (ct == SQLITE_TEXT)
            return fromStored(text(i), type);
        return QVariant(sqlite3_column_int64(st_, i) != 0);
    case FieldType::Date:
    case FieldType::Timestamp: {
        // Stored as "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS": read the digits directly.
        if (ct == SQLITE_TEXT) {
            const QVariant v = fromIsoText(reinterpret_cast<const char *>(sqlite3_column_text(st_, i)),
                                           sqlite3_column_bytes(st_, i), type);
            if (v.isValid())
                return v;
        }
        return fromStored(text(i), type);
    }
    case FieldType::String:
        return QVariant(text(i));
    case FieldType::Unknown:
        break;
    }
    switch (ct) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(st_, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st_, i));
    default:
        return QVariant(text(i));
    }
}

} // namespace

SqliteConnection::SqliteConnection(sqlite3 *db, QString folder) : db_(db), folder_(std::move(folder))
{
    sqlite3_extended_result_codes(db_, 1);
    installFunctions();
}

SqliteConnection::~SqliteConnection()
{
    existsSt_.reset();
    schemaSt_.reset();
    stampSt_.reset();
    sqlite3_close_v2(db_);
}

void SqliteConnection::installFunctions()
{
    sqlite3_create_collation_v2(db_, kCollation.data(), SQLITE_UTF8, nullptr, collatePolish, nullptr);
    sqlite3_update_hook(
        db_,
        [](void *self, int, const char *, const char *table, sqlite3_int64) {
            auto *conn = static_cast<SqliteConnection *>(self);
            ++conn->tableWrites_[QByteArray(table).toLower()];
            ++conn->reportedChanges_;
        },
        this);
}

std::unique_ptr<Cursor> SqliteConnection::prepare(const QString &nativeSql, bool)
{
    return std::make_unique<SqliteCursor>(*this, nativeSql);
}

void SqliteConnection::execNative(const QString &nativeSql)
{
    char *err = nullptr;
    int rc = sqlite3_exec(db_, nativeSql.toUtf8().constData(), nullptr, nullptr, &err);
    if (err)
        sqlite3_free(err);
    if (rc != SQLITE_OK)
        throw EngineError(describeError(rc));
}

qint64 SqliteConnection::changes() const { return sqlite3_changes64(db_); }

qint64 SqliteConnection::lastInsertId() { return sqlite3_last_insert_rowid(db_); }

QString SqliteConnection::rowIdentity(const QVector<FieldDef> &) const { return QStringLiteral("rowid"); }

void SqliteConnection::beginWrite() { execNative(QStringLiteral("BEGIN IMMEDIATE")); }

void SqliteConnection::commit()
{
    int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw EngineError(describeError(rc));
}

void SqliteConnection::rollback() noexcept { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

bool SqliteConnection::beginRead()
{
    return sqlite3_get_autocommit(db_) && sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
}

void SqliteConnection::endRead() noexcept
{
    if (!sqlite3_get_autocommit(db_) && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteConnection::setBusyTimeout(int ms) { sqlite3_busy_timeout(db_, ms); }

Cursor &SqliteConnection::kept(std::unique_ptr<Cursor> &slot, const char *sql)
{
    if (!slot)
        slot = prepare(QString::fromLatin1(sql), true);
    else
        slot->reset(true);
    return *slot;
}

bool SqliteConnection::tableExists(const QString &table)
{
    Cursor &st = kept(existsSt_, "SELECT 1 FROM sqlite_master WHERE type='table' AND lower(name)=lower(?)");
    st.bind(1, table);
    const bool found = st.step();
    st.reset(true);
    return found;
}

QStringList SqliteConnection::tableNames()
{
    SqliteCursor st(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
    QStringList out;
    while (st.step()) {
        const QString name = st.text(0);
        if (!isInternalTable(name))
            out << name;
    }
    return out;
}

QVector<FieldDef> SqliteConnection::columns(const QString &table)
{
    SqliteCursor st(*this, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(table)));
    QVector<FieldDef> out;
    while (st.step()) {
        FieldDef f = fieldFromDeclaredType(st.text(1), st.text(2));
        if (st.integer(5) == 1 && f.type == FieldType::Integer)
            f.type = FieldType::AutoInc;
        out << f;
    }
    return out;
}

qint64 SqliteConnection::schemaVersion()
{
    Cursor &st = kept(schemaSt_, "PRAGMA schema_version");
    const qint64 version = st.step() ? st.integer(0) : 0;
    st.reset(true);
    return version;
}

QStringList SqliteConnection::indexNames(const QString &table)
{
    // The table's own list, not a walk over every index of the database.
    SqliteCursor st(*this, QStringLiteral("PRAGMA index_list(%1)").arg(quoteIdent(table)));
    QStringList names;
    while (st.step())
        names << st.text(1);
    return names;
}

void SqliteConnection::createIndex(const QString &index, const QString &table, const QString &column)
{
    execNative(QStringLiteral("DROP INDEX IF EXISTS %1").arg(quoteIdent(index)));
    // No collation in the index: the file stays readable by any SQLite tool;
    // the Polish order is applied by the statements that sort.
    execNative(QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(quoteIdent(index), quoteIdent(table), quoteIdent(column)));
}

void SqliteConnection::reindex(const QString &table) { execNative(QStringLiteral("REINDEX %1").arg(quoteIdent(table))); }

void SqliteConnection::pack() { execNative(QStringLiteral("VACUUM")); }

void SqliteConnection::copyTo(const QString &file)
{
    SqliteCursor st(*this, QStringLiteral("VACUUM INTO ?"));
    st.bind(1, file);
    st.step();
}

void SqliteConnection::replaceWith(const QString &file)
{
    sqlite3 *source = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
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
    if (rc != SQLITE_OK)
        throw EngineError(describeError(rc));
}

QStringList SqliteConnection::integrityProblems()
{
    SqliteCursor st(*this, QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    while (st.step()) {
        const QString line = st.text(0);
        if (line != QLatin1String("ok"))
            problems << line;
    }
    return problems;
}

void SqliteConnection::createWorkTable(const QString &table, const QVector<FieldDef> &columns)
{
    // Untyped columns: the values keep the forms they were given in.
    QStringList quoted;
    for (const FieldDef &c : columns)
        quoted << quoteIdent(c.name);
    execNative(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(quoteIdent(table), quoted.join(QLatin1Char(','))));
}

void SqliteConnection::dropWorkTable(const QString &table)
{
    execNative(QStringLiteral("DROP TABLE temp.%1").arg(quoteIdent(table)));
}

DataStamp SqliteConnection::dataStamp(const QString &table)
{
    DataStamp stamp;
    {
        // One statement, so one look at the file on a network share.
        Cursor &st = kept(stampSt_, "SELECT d.data_version, s.schema_version "
                                    "FROM pragma_data_version AS d, pragma_schema_version AS s");
        if (st.step()) {
            stamp.dataVersion = st.integer(0);
            stamp.schemaVersion = st.integer(1);
        }
        st.reset(true);
    }
    const qint64 total = sqlite3_total_changes64(db_);
    if (quint64(total - accountedTotal_) != reportedChanges_ - accountedReported_)
        ++unaccounted_;
    accountedTotal_ = total;
    accountedReported_ = reportedChanges_;
    stamp.unaccounted = unaccounted_;
    stamp.tableWrites = tableWrites_.value(table.toUtf8().toLower());
    return stamp;
}

void SqliteConnection::ensureRunningTable()
{
    execNative(QStringLiteral("CREATE TABLE IF NOT EXISTS _fenwa5_running (Id INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "osuser TEXT, host TEXT, pid INTEGER, started TEXT, heartbeat TEXT)"));
}

qint64 SqliteConnection::registerCopy(const QString &osUser, const QString &host, qint64 pid, const QDateTime &now)
{
    ensureRunningTable();
    SqliteCursor st(*this, QStringLiteral("INSERT INTO _fenwa5_running (osuser, host, pid, started, heartbeat) "
                                          "VALUES (?, ?, ?, ?, ?)"));
    st.bind(1, osUser);
    st.bind(2, host);
    st.bind(3, pid);
    st.bind(4, now.toString(Qt::ISODate));
    st.bind(5, now.toString(Qt::ISODate));
    st.step();
    return sqlite3_last_insert_rowid(db_);
}

void SqliteConnection::unregisterCopy(qint64 id)
{
    SqliteCursor st(*this, QStringLiteral("DELETE FROM _fenwa5_running WHERE Id = ?"));
    st.bind(1, id);
    st.step();
}

void SqliteConnection::heartbeat(qint64 id, const QDateTime &now)
{
    SqliteCursor st(*this, QStringLiteral("UPDATE _fenwa5_running SET heartbeat = ? WHERE Id = ?"));
    st.bind(1, now.toString(Qt::ISODate));
    st.bind(2, id);
    st.step();
}

QVector<RunningCopy> SqliteConnection::liveCopies(const QDateTime &now)
{
    QVector<RunningCopy> copies;
    if (!tableExists(QStringLiteral("_fenwa5_running")))
        return copies;
    const QString thisHost = QSysInfo::machineHostName();
    SqliteCursor st(*this, QStringLiteral("SELECT Id, host, pid, heartbeat, osuser FROM _fenwa5_running ORDER BY Id"));
    while (st.step()) {
        const QDateTime beat = QDateTime::fromString(st.text(3), Qt::ISODate);
        if (!beat.isValid() || beat.secsTo(now) > staleSeconds)
            continue;
        if (st.text(1) == thisHost && !platform::processAlive(st.integer(2)))
            continue;
        copies.append({st.integer(0), st.text(4), st.text(1)});
    }
    return copies;
}

void SqliteConnection::clearCopies()
{
    if (tableExists(QStringLiteral("_fenwa5_running")))
        execNative(QStringLiteral("DELETE FROM _fenwa5_running"));
}

QString SqliteConnection::lastError() const { return describeError(sqlite3_extended_errcode(db_)); }

QString SqliteConnection::describeError(int rc) const
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
        if (const QString named = describeCheckFailure(msg); !named.isEmpty())
            return named;
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

} // namespace fenwa::data
