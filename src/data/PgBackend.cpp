#include "data/PgBackend.h"

#include "data/EngineError.h"
#include "data/SqlBuilder.h"

#include <QDate>
#include <QRegularExpression>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>

namespace fenwa::data {

namespace {

// Type oids of the server's built-in types (pg_type.h).
enum Oid : unsigned {
    BoolOid = 16, ByteaOid = 17, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, TextOid = 25, OidOid = 26,
    Float4Oid = 700, Float8Oid = 701, BpcharOid = 1042, VarcharOid = 1043, DateOid = 1082,
    TimestampOid = 1114, TimestampTzOid = 1184, NumericOid = 1700,
};

constexpr const char *polishCollation = "pl-PL-x-icu";

QString quotedLiteral(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// A stable number from a text (the keys of the advisory locks): FNV-1a.
quint64 stableHash(const QString &text)
{
    quint64 h = 1469598103934665603ULL;
    for (char c : text.toUtf8()) {
        h ^= quint8(c);
        h *= 1099511628211ULL;
    }
    return h;
}

// The program's declared type of a column of the server's type, as
// fieldFromDeclaredType reads it.
QString declaredTypeOf(unsigned oid, int typmod)
{
    switch (oid) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
        return QStringLiteral("INTEGER");
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return QStringLiteral("FLOAT");
    case BoolOid:
        return QStringLiteral("BOOLEAN");
    case DateOid:
        return QStringLiteral("DATE");
    case TimestampOid:
    case TimestampTzOid:
        return QStringLiteral("TIMESTAMP");
    case BpcharOid:
    case VarcharOid:
        return typmod > 4 ? QStringLiteral("CHAR(%1)").arg(typmod - 4) : QStringLiteral("TEXT");
    default:
        return QStringLiteral("TEXT");
    }
}

// The statement with "?" and ":name" parameters written as $1, $2... (the
// same name, the same number); literals, quoted names, comments and "::"
// casts are left alone.
QByteArray numberParameters(const QString &sql, QHash<QString, int> *names, int *count)
{
    QString out;
    out.reserve(sql.size() + 8);
    const int n = sql.size();
    for (int i = 0; i < n;) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') {
            int j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {   // a doubled quote inside
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).mid(i, std::min(j + 1, n) - i);
            i = j + 1;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            const int j = sql.indexOf(u'\n', i);
            const int end = j < 0 ? n : j;
            out += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == u'?') {
            out += QLatin1Char('$') + QString::number(++*count);
            ++i;
        } else if (c == u':' && i + 1 < n && sql.at(i + 1) == u':') {
            out += QLatin1String("::");
            i += 2;
        } else if (c == u':' && i + 1 < n && (sql.at(i + 1).isLetter() || sql.at(i + 1) == u'_')) {
            int j = i + 1;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_'))
                ++j;
            const QString name = sql.mid(i, j - i);
            int number = names->value(name);
            if (number == 0) {
                number = ++*count;
                names->insert(name, number);
            }
            out += QLatin1Char('$') + QString::number(number);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out.toUtf8();
}

// The items of the parenthesised list whose "(" is at `open`, split at its
// own commas (not at those in quotes or in nested parentheses), trimmed;
// *end is set after its ")".
QStringList listItems(const QString &sql, int open, int *end)
{
    QStringList items;
    QString item;
    int depth = 0;
    QChar quote;
    const int n = int(sql.size());
    int i = open + 1;
    for (; i < n; ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && depth-- == 0) {
            break;
        } else if (c == u',' && depth == 0) {
            items << item.trimmed();
            item.clear();
            continue;
        }
        item += c;
    }
    items << item.trimmed();
    *end = i + 1;
    return items;
}

// The column a value is given to, the value written as in the statement (a
// parameter "$2" or a literal 'abc'): "col" = value (SET and WHERE), or its
// place in INSERT's column list and a row of its VALUES; empty when the
// statement does not say.
QString columnOfValue(const QString &sql, const QString &value)
{
    if (value.isEmpty())
        return QString();
    const QRegularExpression assigned(QStringLiteral("\"?(\\w+)\"?\\s*=\\s*") + QRegularExpression::escape(value)
                                      + QStringLiteral("(?![\\d'])"));
    if (const auto m = assigned.match(sql); m.hasMatch())
        return m.captured(1);
    static const QRegularExpression insert(QStringLiteral("^\\s*INSERT\\s+INTO\\s+\\S+?\\s*\\("),
                                           QRegularExpression::CaseInsensitiveOption);
    const auto m = insert.match(sql);
    if (!m.hasMatch())
        return QString();
    int at = 0;
    const QStringList columns = listItems(sql, int(m.capturedEnd()) - 1, &at);
    static const QRegularExpression rows(QStringLiteral("\\G\\s*(VALUES\\s*|,\\s*)\\("),
                                         QRegularExpression::CaseInsensitiveOption);
    for (auto row = rows.match(sql, at); row.hasMatch(); row = rows.match(sql, at)) {
        const QStringList values = listItems(sql, int(row.capturedEnd()) - 1, &at);
        for (int k = 0; k < values.size() && k < columns.size(); ++k)
            if (values[k] == value)
                return QString(columns[k]).remove(QLatin1Char('"'));
    }
    return QString();
}

// Whether a statement writes to the installation, so that run outside a
// transaction it takes the write lock first (as SQLite's autocommit write
// takes the file's): anything but a query, a session command or VACUUM,
// which runs outside any transaction.
bool writes(const QString &sql)
{
    static const QRegularExpression reading(QStringLiteral("^[\\s(]*(SELECT|WITH|VALUES|TABLE|SHOW|EXPLAIN|VACUUM|"
                                                           "BEGIN|START|COMMIT|END|ROLLBACK|SET|RESET|DEALLOCATE|"
                                                           "LISTEN|UNLISTEN|NOTIFY)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    return !reading.match(sql).hasMatch();
}

bool createsTable(const QString &sql)
{
    static const QRegularExpression re(QStringLiteral("^\\s*CREATE\\s+(UNLOGGED\\s+)?TABLE\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

// Whether a statement may change a table's columns or indexes (a session's
// temporary table aside): the schema's version is bumped with it.
bool changesTables(const QString &sql)
{
    static const QRegularExpression re(QStringLiteral("\\b(CREATE|ALTER|DROP)\\s+(UNIQUE\\s+)?(UNLOGGED\\s+)?(TABLE|INDEX)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

class PgCursor final : public Cursor {
public:
    PgCursor(PgConnection &conn, const QString &sql, bool kept)
        : conn_(conn), createsTable_(createsTable(sql)), changesTables_(changesTables(sql)), writes_(writes(sql))
    {
        int count = 0;
        sql_ = numberParameters(sql, &names_, &count);
        values_.resize(count);
        nulls_.fill(true, count);
        if (kept) {
            name_ = conn.nextStatementName();
            PGresult *r = PQprepare(conn.handle(), name_.constData(), sql_.constData(), 0, nullptr);
            const bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
            const QString message = ok ? QString() : conn.describe(r);
            PQclear(r);
            if (!ok) {
                name_.clear();
                throw EngineError(message);
            }
        }
    }
    ~PgCursor() override
    {
        PQclear(result_);
        PQclear(description_);
        if (!name_.isEmpty())
            PQclear(PQexec(conn_.handle(), ("DEALLOCATE " + name_).constData()));
    }

    void bind(int index, const QVariant &value) override;
    int parameterIndex(const QString &name) const override { return names_.value(name); }
    bool step() override
    {
        if (!result_)
            execute();
        return ++row_ < PQntuples(result_);
    }
    void reset(bool clearBindings) override
    {
        PQclear(result_);
        result_ = nullptr;
        row_ = -1;
        if (clearBindings)
            nulls_.fill(true);
    }

    int columnCount() const override { return PQnfields(shape()); }
    QString columnName(int i) const override { return QString::fromUtf8(PQfname(shape(), i)); }
    QString declaredType(int i) const override
    {
        // Table columns only, as SQLite declares them; an expression's type
        // comes from its values.
        const PGresult *r = shape();
        return PQftable(r, i) == 0 ? QString() : declaredTypeOf(PQftype(r, i), PQfmod(r, i));
    }
    QByteArrayView columnNameUtf8(int i) const override { return QByteArrayView(PQfname(shape(), i)); }
    QByteArrayView declaredTypeUtf8(int i) const override;
    int columnType(int i) const override;
    QString text(int i) const override;
    QByteArrayView utf8(int i) const override;
    qint64 integer(int i) const override;
    double real(int i) const override { return std::strtod(raw(i), nullptr); }
    QVariant value(int i, FieldType type) const override;

private:
    void execute();
    void run();   // the statement as it stands, in the transaction there is
    // The Polish message naming the field whose value the server refused
    // for its type; empty when it cannot be told.
    QString refusedField(const PGresult *r) const;
    // The result that tells the columns: the run's, or the statement's description.
    const PGresult *shape() const;
    const char *raw(int i) const { return PQgetvalue(result_, row_, i); }
    bool isNull(int i) const { return PQgetisnull(result_, row_, i); }
    unsigned type(int i) const { return PQftype(result_, i); }

    PgConnection &conn_;
    bool createsTable_;
    bool changesTables_;
    bool writes_;
    QByteArray sql_;
    QByteArray name_;   // prepared on the server under this name; empty: parsed at each run
    QHash<QString, int> names_;
    QVector<QByteArray> values_;
    QVector<bool> nulls_;
    PGresult *result_ = nullptr;
    mutable PGresult *description_ = nullptr;
    // The declared types in UTF-8, made at the first look (a statement's
    // columns stay the same from run to run).
    mutable QVector<QByteArray> declaredTypes_;
    int row_ = -1;
};

void PgCursor::bind(int index, const QVariant &value)
{
    if (index < 1 || index > values_.size())
        throw EngineError(QStringLiteral("Zapytanie SQL nie ma parametru nr %1.").arg(index));
    const int at = index - 1;
    const bool noDate = (value.typeId() == QMetaType::QDate && !value.toDate().isValid())
        || (value.typeId() == QMetaType::QDateTime && !value.toDateTime().isValid());
    nulls_[at] = value.isNull() || !value.isValid() || noDate;
    if (nulls_[at])
        return;
    switch (value.typeId()) {
    case QMetaType::Bool:
        values_[at] = value.toBool() ? "1" : "0";
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        values_[at] = QByteArray::number(value.toDouble(), 'g', 17);
        break;
    case QMetaType::QDate:
        values_[at] = value.toDate().toString(Qt::ISODate).toUtf8();
        break;
    case QMetaType::QDateTime:
        values_[at] = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
        break;
    default:
        values_[at] = value.toString().toUtf8();
        break;
    }
}

void PgCursor::execute()
{
    if (writes_ && PQtransactionStatus(conn_.handle()) == PQTRANS_IDLE) {
        // Outside a transaction: under the write lock, as a transaction of one statement.
        conn_.beginWrite();
        try {
            run();
        } catch (...) {
            conn_.rollback();
            throw;
        }
        conn_.commit();
        return;
    }
    run();
}

void PgCursor::run()
{
    const int n = values_.size();
    QVector<const char *> values(n);
    QVector<int> lengths(n);
    for (int k = 0; k < n; ++k) {
        values[k] = nulls_[k] ? nullptr : values_[k].constData();
        lengths[k] = nulls_[k] ? 0 : int(values_[k].size());
    }
    PGresult *r = name_.isEmpty()
        ? PQexecParams(conn_.handle(), sql_.constData(), n, nullptr, values.data(), lengths.data(), nullptr, 0)
        : PQexecPrepared(conn_.handle(), name_.constData(), n, values.data(), lengths.data(), nullptr, 0);
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        QString message = conn_.describe(r);
        if (const QString named = refusedField(r); !named.isEmpty())
            message = conn_.noteError(named);
        PQclear(r);
        throw EngineError(message);
    }
    result_ = r;
    row_ = -1;
    conn_.finished(r, createsTable_, changesTables_);
}

QString PgCursor::refusedField(const PGresult *r) const
{
    // The server names the type and the value it refused, not the field: the
    // field is the one the refused value was given for.
    auto *res = const_cast<PGresult *>(r);
    if (!res || QByteArray(PQresultErrorField(res, PG_DIAG_SQLSTATE)).left(2) != "22")
        return QString();
    const QString message = QString::fromUtf8(PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY));
    static const QRegularExpression refused(QStringLiteral("type ([a-z ]+)(?:\\(\\d+\\))?: \"(.*)\"$|"
                                                           "\"(.*)\" is out of range for type ([a-z ]+)$|"
                                                           "^date/time field value out of range: \"(.*)\"$"));
    const auto m = refused.match(message);
    if (!m.hasMatch())
        return QString();
    const QString typeName = !m.captured(1).isEmpty() ? m.captured(1) : m.captured(4);
    const QByteArray value = (!m.captured(2).isEmpty() ? m.captured(2)
                              : !m.captured(3).isEmpty() ? m.captured(3) : m.captured(5)).toUtf8();
    // A parameter given that value, else the value as a literal of the statement.
    QString given = quotedLiteral(QString::fromUtf8(value));
    for (int k = 0; k < values_.size(); ++k)
        if (!nulls_[k] && values_[k] == value) {
            given = QLatin1Char('$') + QString::number(k + 1);
            break;
        }
    const QString column = columnOfValue(QString::fromUtf8(sql_), given);
    if (column.isEmpty())
        return QString();
    const FieldType type = typeName.isEmpty() ? FieldType::Date
                                              : fieldFromDeclaredType(column, typeName.section(QLatin1Char(' '), 0, 0)).type;
    return QStringLiteral("Wartość w polu „%1” nie jest %2; zmiany nie zapisano.").arg(column, typeNoun(type));
}

const PGresult *PgCursor::shape() const
{
    if (result_)
        return result_;
    if (!description_) {
        PGconn *c = conn_.handle();
        if (name_.isEmpty()) {
            // A statement the server cannot prepare is refused in its own words
            // (not as a missing unnamed statement).
            PGresult *prepared = PQprepare(c, "", sql_.constData(), 0, nullptr);
            const bool ok = prepared && PQresultStatus(prepared) == PGRES_COMMAND_OK;
            const QString message = ok ? QString() : conn_.describe(prepared);
            PQclear(prepared);
            if (!ok)
                throw EngineError(message);
        }
        description_ = PQdescribePrepared(c, name_.constData());
        if (!description_ || PQresultStatus(description_) != PGRES_COMMAND_OK) {
            const QString message = conn_.describe(description_);
            PQclear(description_);
            description_ = nullptr;
            throw EngineError(message);
        }
    }
    return description_;
}

int PgCursor::columnType(int i) const
{
    if (isNull(i))
        return SQLITE_NULL;
    switch (type(i)) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
    case BoolOid:
        return SQLITE_INTEGER;
    case Float4Oid:
    case Float8Oid:
        return SQLITE_FLOAT;
    case NumericOid: {
        // SUM of integers is a whole number, as SQLite gives it.
        const char *t = raw(i);
        return std::strpbrk(t, ".eEN") ? SQLITE_FLOAT : SQLITE_INTEGER;
    }
    case ByteaOid:
        return SQLITE_BLOB;
    default:
        return SQLITE_TEXT;
    }
}

QString PgCursor::text(int i) const
{
    if (isNull(i))
        return QString();
    if (type(i) == BoolOid)
        return raw(i)[0] == 't' ? QStringLiteral("1") : QStringLiteral("0");
    return QString::fromUtf8(raw(i), PQgetlength(result_, row_, i));
}

QByteArrayView PgCursor::utf8(int i) const
{
    if (isNull(i))
        return QByteArrayView();
    if (type(i) == BoolOid)
        return raw(i)[0] == 't' ? QByteArrayView("1") : QByteArrayView("0");
    return QByteArrayView(raw(i), PQgetlength(result_, row_, i));
}

QByteArrayView PgCursor::declaredTypeUtf8(int i) const
{
    if (declaredTypes_.isEmpty())
        for (int c = 0, n = columnCount(); c < n; ++c)
            declaredTypes_ << declaredType(c).toUtf8();
    return i >= 0 && i < declaredTypes_.size() ? QByteArrayView(declaredTypes_[i]) : QByteArrayView();
}

qint64 PgCursor::integer(int i) const
{
    if (isNull(i))
        return 0;
    const char *t = raw(i);
    switch (type(i)) {
    case BoolOid:
        return t[0] == 't' ? 1 : 0;
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return qint64(std::strtod(t, nullptr));
    default:
        return std::strtoll(t, nullptr, 10);
    }
}

QVariant PgCursor::value(int i, FieldType wanted) const
{
    if (isNull(i))
        return QVariant();
    const char *t = raw(i);
    const unsigned oid = type(i);
    switch (wanted) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return QVariant(integer(i));
    case FieldType::Float:
        return QVariant(oid == BoolOid ? double(integer(i)) : std::strtod(t, nullptr));
    case FieldType::Boolean:
        if (oid == BoolOid)
            return QVariant(t[0] == 't');
        return fromStored(text(i), wanted);
    case FieldType::Date:
    case FieldType::Timestamp: {
        // The server writes "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS" (DateStyle ISO, whole seconds).
        if (const QVariant v = fromIsoText(t, PQgetlength(result_, row_, i), wanted); v.isValid())
            return v;
        return fromStored(text(i), wanted);
    }
    case FieldType::String:
        return QVariant(text(i));
    case FieldType::Unknown:
        break;
    }
    switch (columnType(i)) {
    case SQLITE_INTEGER:
        return QVariant(integer(i));
    case SQLITE_FLOAT:
        return QVariant(real(i));
    default:
        return QVariant(text(i));
    }
}

// Why a connection could not be made, in Polish.
QString connectionRefusal(PGconn *conn, const QByteArray &conninfo)
{
    const QString message = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    const QString host = QString::fromUtf8(PQhost(conn)) + QLatin1Char(':') + QString::fromUtf8(PQport(conn));
    const QString user = QString::fromUtf8(PQuser(conn));
    const QString database = QString::fromUtf8(PQdb(conn));
    if (PQping(conninfo.constData()) == PQPING_NO_RESPONSE)
        return QStringLiteral("Serwer bazy danych %1 nie odpowiada (%2).").arg(host, message);
    static const QRegularExpression noDatabase(QStringLiteral("database \"([^\"]+)\" does not exist|"
                                                              "baza danych \"([^\"]+)\" nie istnieje"));
    if (auto m = noDatabase.match(message); m.hasMatch())
        return QStringLiteral("Baza danych „%1” nie istnieje na serwerze %2.")
            .arg(m.captured(1).isEmpty() ? m.captured(2) : m.captured(1), host);
    return QStringLiteral("Serwer bazy danych %1 odmówił logowania użytkownika „%2” do bazy „%3” (%4).")
        .arg(host, user, database, message);
}

} // namespace

std::unique_ptr<PgConnection> PgConnection::open(const QByteArray &conninfo, const QString &schema, bool create)
{
    if (schema.trimmed().isEmpty())
        throw EngineError(QStringLiteral("Nie wskazano schematu instalacji na serwerze bazy danych."));
    PGconn *conn = PQconnectdb(conninfo.constData());
    if (!conn)
        throw EngineError(QStringLiteral("Brak pamięci na połączenie z serwerem bazy danych."));
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString why = connectionRefusal(conn, conninfo);
        PQfinish(conn);
        throw EngineError(why);
    }
    std::unique_ptr<PgConnection> db(new PgConnection(conn, schema));
    PQclear(db->run(QStringLiteral("SET client_encoding TO 'UTF8'; SET DateStyle TO ISO, YMD; "
                                   "SET client_min_messages TO warning; SET search_path TO %1")
                        .arg(db->quotedSchema_)));
    if (db->query(QStringLiteral("SELECT 1 FROM pg_collation WHERE collname = $1"),
                  {QString::fromLatin1(polishCollation)})
            .isEmpty())
        throw EngineError(QStringLiteral("Serwer bazy danych nie zna polskiego porządku alfabetycznego "
                                         "(brak kolacji ICU „%1”; serwer musi być zbudowany z obsługą ICU).")
                              .arg(QLatin1String(polishCollation)));
    const bool exists = !db->query(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = $1"), {schema}).isEmpty();
    if (!exists && !create)
        throw EngineError(QStringLiteral("Schemat „%1” nie istnieje w bazie danych „%2” na serwerze.")
                              .arg(schema, QString::fromUtf8(PQdb(conn))));
    if (!exists || db->query(QStringLiteral("SELECT to_regclass($1)"), {db->quotedSchema_ + QStringLiteral("._fenwa5_versions")})
                       .value(0).value(0).isEmpty())
        db->setUpSchema();
    return db;
}

PgConnection::PgConnection(pg_conn *conn, QString schema)
    : conn_(conn), schema_(std::move(schema)), quotedSchema_(quoteIdent(schema_))
{
    lockKey_ = qint64(stableHash(QStringLiteral("fenwa5 write ") + schema_) & 0x7fffffffffffffffULL);
    copyClass_ = int(stableHash(QStringLiteral("fenwa5 copies ") + schema_) & 0x7fffffff);
}

PgConnection::~PgConnection() { PQfinish(conn_); }

void PgConnection::setUpSchema()
{
    const QString s = quotedSchema_;
    // Under the write lock: two copies setting up one schema at once do it once.
    execNative(QStringLiteral(
        "BEGIN; SELECT pg_advisory_xact_lock(%2); "
        "CREATE SCHEMA IF NOT EXISTS %1; "
        "CREATE TABLE IF NOT EXISTS %1._fenwa5_versions (name text PRIMARY KEY, version bigint NOT NULL); "
        // The schema's version starts from the clock: a schema made anew
        // under the same name does not repeat its predecessor's versions.
        "INSERT INTO %1._fenwa5_versions (name, version) "
        "VALUES ('', (extract(epoch FROM clock_timestamp()) * 1000)::bigint) ON CONFLICT (name) DO NOTHING; "
        "CREATE TABLE IF NOT EXISTS %1._fenwa5_running (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
        "osuser text, host text, pid bigint, started text, heartbeat text); "
        "CREATE OR REPLACE FUNCTION %1._fenwa5_bump() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN "
        "INSERT INTO %1._fenwa5_versions AS v (name, version) VALUES (TG_TABLE_NAME, 1) "
        "ON CONFLICT (name) DO UPDATE SET version = v.version + 1; RETURN NULL; END $f$; "
        // Rows written with their own keys: the key sequence goes past them,
        // so the next new row gets the next key (as SQLite's AUTOINCREMENT).
        "CREATE OR REPLACE FUNCTION %1._fenwa5_keys() RETURNS trigger LANGUAGE plpgsql AS $f$ "
        "DECLARE col text; seq text; top bigint; BEGIN "
        "SELECT a.attname, pg_get_serial_sequence(format('%I.%I', TG_TABLE_SCHEMA, TG_TABLE_NAME), a.attname) "
        "INTO col, seq FROM pg_attribute a WHERE a.attrelid = TG_RELID AND a.attidentity <> '' LIMIT 1; "
        "IF seq IS NULL THEN RETURN NULL; END IF; "
        "EXECUTE format('SELECT max(%I) FROM %I.%I', col, TG_TABLE_SCHEMA, TG_TABLE_NAME) INTO top; "
        "IF top > coalesce(pg_sequence_last_value(seq::regclass), 0) THEN PERFORM setval(seq, top); END IF; "
        "RETURN NULL; END $f$; "
        "CREATE OR REPLACE FUNCTION %1._fenwa5_track() RETURNS void LANGUAGE plpgsql AS $f$ "
        "DECLARE t record; BEGIN FOR t IN SELECT c.relname, c.oid FROM pg_class c "
        "WHERE c.relnamespace = %3::regnamespace AND c.relkind = 'r' AND left(c.relname, 1) <> '_' "
        "AND NOT EXISTS (SELECT 1 FROM pg_trigger g WHERE g.tgrelid = c.oid AND g.tgname = '_fenwa5_bump') LOOP "
        "EXECUTE format('CREATE TRIGGER _fenwa5_bump AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %I.%I "
        "FOR EACH STATEMENT EXECUTE FUNCTION %I._fenwa5_bump()', %4, t.relname, %4); "
        "IF EXISTS (SELECT 1 FROM pg_attribute a WHERE a.attrelid = t.oid AND a.attidentity <> '') THEN "
        "EXECUTE format('CREATE TRIGGER _fenwa5_keys AFTER INSERT ON %I.%I "
        "FOR EACH STATEMENT EXECUTE FUNCTION %I._fenwa5_keys()', %4, t.relname, %4); END IF; "
        "END LOOP; END $f$; "
        "SELECT %1._fenwa5_track(); COMMIT")
                   .arg(s)
                   .arg(lockKey_)
                   .arg(quotedLiteral(s), quotedLiteral(schema_)));
}

pg_result *PgConnection::run(const QString &sql)
{
    heldSchemaVersion_ = -1;   // the text may change tables
    PGresult *r = PQexec(conn_, sql.toUtf8().constData());
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString message = describe(r);
        PQclear(r);
        throw EngineError(message);
    }
    return r;
}

QVector<QStringList> PgConnection::query(const QString &sql, const QStringList &params)
{
    QVector<QByteArray> texts;
    QVector<const char *> values;
    for (const QString &p : params)
        texts << p.toUtf8();
    for (const QByteArray &t : texts)
        values << t.constData();
    // Prepared on the server at its first use on this connection.
    QByteArray name = fixedStatements_.value(sql);
    if (name.isEmpty()) {
        name = nextStatementName();
        PGresult *p = PQprepare(conn_, name.constData(), sql.toUtf8().constData(), 0, nullptr);
        const bool ok = p && PQresultStatus(p) == PGRES_COMMAND_OK;
        const QString message = ok ? QString() : describe(p);
        PQclear(p);
        if (!ok)
            throw EngineError(message);
        fixedStatements_.insert(sql, name);
    }
    PGresult *r = PQexecPrepared(conn_, name.constData(), int(values.size()), values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString message = describe(r);
        PQclear(r);
        throw EngineError(message);
    }
    QVector<QStringList> rows;
    for (int row = 0; row < PQntuples(r); ++row) {
        QStringList cells;
        for (int col = 0; col < PQnfields(r); ++col)
            cells << QString::fromUtf8(PQgetvalue(r, row, col));
        rows << cells;
    }
    PQclear(r);
    return rows;
}

void PgConnection::finished(const pg_result *result, bool createdTable, bool changedTables)
{
    const char *tuples = PQcmdTuples(const_cast<PGresult *>(result));
    changes_ = tuples && *tuples ? std::strtoll(tuples, nullptr, 10) : 0;
    const QByteArray status(PQcmdStatus(const_cast<PGresult *>(result)));
    const QByteArray command = status.left(status.indexOf(' '));
    if (command != "SELECT" && command != "INSERT" && command != "UPDATE" && command != "DELETE")
        heldSchemaVersion_ = -1;
    if (createdTable)
        PQclear(run(QStringLiteral("SELECT %1._fenwa5_track()").arg(quotedSchema_)));
    // In the change's own transaction; a reading snapshot changes only the
    // session's temporary tables.
    if (changedTables && !reading_) {
        query(QStringLiteral("INSERT INTO %1._fenwa5_versions AS v (name, version) VALUES ('', 1) "
                             "ON CONFLICT (name) DO UPDATE SET version = v.version + 1")
                  .arg(quotedSchema_));
        heldSchemaVersion_ = -1;
    }
}

QString PgConnection::describe(const pg_result *result) const
{
    lastError_ = polishMessage(result);
    return lastError_;
}

QString PgConnection::polishMessage(const pg_result *result) const
{
    auto *r = const_cast<PGresult *>(result);
    const QString message = QString::fromUtf8(r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : PQerrorMessage(conn_))
                                .trimmed();
    const QByteArray state = r ? QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QByteArray();
    if (PQstatus(conn_) != CONNECTION_OK)
        return QStringLiteral("Utracono połączenie z serwerem bazy danych; zmiana nie została zapisana (%1).").arg(message);
    if (state == "55P03" || state == "40P01" || state == "40001")
        return QStringLiteral("Baza danych jest zajęta przez inne stanowisko. Spróbuj ponownie za chwilę.");
    if (state.startsWith("23")) {
        // The dialect's named checks name their field.
        const QString constraint = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_CONSTRAINT_NAME));
        if (const QString named = describeCheckFailure(QStringLiteral("CHECK constraint failed: ") + constraint);
            !named.isEmpty())
            return named;
        return QStringLiteral("Naruszenie ograniczenia tabeli: %1").arg(message);
    }
    if (state == "42501")
        return QStringLiteral("Brak uprawnień dostępu do bazy danych na serwerze (%1).").arg(message);
    if (state == "53100")
        return QStringLiteral("Brak miejsca na dysku serwera; zmiana nie została zapisana.");
    if (state == "42601")
        return QStringLiteral("Błąd składni zapytania SQL (%1).").arg(message);
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
    const QString name = quoted.match(message).captured(1);
    if (state == "42P01")
        return QStringLiteral("Tabela „%1.db” nie istnieje w schemacie „%2” na serwerze.").arg(name, schema_);
    if (state == "42703")
        return QStringLiteral("Nieznane pole „%1”.").arg(name);
    if (state == "42P07")
        return QStringLiteral("Tabela „%1.db” już istnieje.").arg(name);
    if (state == "42701")
        return QStringLiteral("Pole „%1” już istnieje w tabeli.").arg(name);
    if (state == "42804")   // an expression of another type than its field
        return name.isEmpty() ? QStringLiteral("Niezgodne rodzaje wartości w poleceniu SQL.")
                              : QStringLiteral("Pole „%1” nie przyjmuje wartości tego rodzaju.").arg(name);
    return QStringLiteral("Błąd bazy danych: %1").arg(message);
}

std::unique_ptr<Cursor> PgConnection::prepare(const QString &nativeSql, bool kept)
{
    return std::make_unique<PgCursor>(*this, nativeSql, kept);
}

void PgConnection::execNative(const QString &nativeSql)
{
    // Outside a transaction a write takes the write lock first.
    const bool locked = writes(nativeSql) && PQtransactionStatus(conn_) == PQTRANS_IDLE;
    if (locked)
        beginWrite();
    try {
        PGresult *r = run(nativeSql);
        finished(r, createsTable(nativeSql), changesTables(nativeSql));
        PQclear(r);
    } catch (...) {
        if (locked)
            rollback();
        throw;
    }
    if (locked)
        commit();
}

qint64 PgConnection::lastInsertId()
{
    const auto rows = query(QStringLiteral("SELECT lastval()"));
    return rows.isEmpty() ? 0 : rows[0].value(0).toLongLong();
}

QString PgConnection::rowIdentity(const QVector<FieldDef> &fields) const
{
    for (const FieldDef &f : fields)
        if (f.type == FieldType::AutoInc)
            return quoteIdent(f.name);
    // The row's address as one number (block and item).
    return QStringLiteral("(((ctid::text::point)[0]::bigint << 16) | (ctid::text::point)[1]::bigint)");
}

void PgConnection::beginWrite()
{
    PGresult *r = PQexec(conn_, QStringLiteral("BEGIN; SELECT pg_advisory_xact_lock(%1)").arg(lockKey_).toUtf8().constData());
    const bool ok = r && PQresultStatus(r) == PGRES_TUPLES_OK;
    const QString message = ok ? QString() : describe(r);
    PQclear(r);
    if (!ok) {
        rollback();
        throw EngineError(message);
    }
    ownTransaction_ = true;
}

void PgConnection::commit()
{
    ownTransaction_ = false;
    PGresult *r = run(QStringLiteral("COMMIT"));
    // A transaction that failed ends with COMMIT answered as ROLLBACK: nothing was written.
    const bool rolledBack = QByteArray(PQcmdStatus(r)) == "ROLLBACK";
    PQclear(r);
    if (rolledBack)
        throw EngineError(lastError_.isEmpty() ? QStringLiteral("Zmiany nie zapisano: transakcja została wycofana.")
                                               : lastError_);
}

void PgConnection::rollback() noexcept
{
    ownTransaction_ = false;
    reading_ = false;
    heldSchemaVersion_ = -1;
    if (PQtransactionStatus(conn_) != PQTRANS_IDLE)
        PQclear(PQexec(conn_, "ROLLBACK"));
}

bool PgConnection::beginRead()
{
    if (PQtransactionStatus(conn_) != PQTRANS_IDLE)
        return false;
    PGresult *r = PQexec(conn_, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    const bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    ownTransaction_ = ok;
    reading_ = ok;
    heldSchemaVersion_ = -1;
    return ok;
}

void PgConnection::endRead() noexcept
{
    ownTransaction_ = false;
    reading_ = false;
    heldSchemaVersion_ = -1;
    if (PQtransactionStatus(conn_) != PQTRANS_IDLE)
        PQclear(PQexec(conn_, "COMMIT"));
}

void PgConnection::setBusyTimeout(int ms) { PQclear(run(QStringLiteral("SET lock_timeout = %1").arg(ms))); }

bool PgConnection::tableExists(const QString &table)
{
    return !query(QStringLiteral("SELECT 1 FROM pg_class WHERE relnamespace = $1::regnamespace AND relname = lower($2) "
                                 "AND relkind IN ('r', 'p')"),
                  {quotedSchema_, table})
                .isEmpty();
}

QStringList PgConnection::tableNames()
{
    QStringList names;
    for (const QStringList &row : query(QStringLiteral("SELECT relname FROM pg_class WHERE relnamespace = $1::regnamespace "
                                                        "AND relkind IN ('r', 'p') AND left(relname, 1) <> '_' "
                                                        "ORDER BY relname COLLATE \"C\""),
                                         {quotedSchema_}))
        names << row[0];
    return names;
}

QVector<FieldDef> PgConnection::columns(const QString &table)
{
    const auto rows = query(
        // A text column's size is in its named check "len:<column>:<n>".
        QStringLiteral("SELECT a.attname, a.atttypid, a.atttypmod, a.attidentity <> '' OR "
                       "coalesce(pg_get_expr(d.adbin, d.adrelid), '') LIKE 'nextval(%', "
                       "(SELECT max(substring(k.conname FROM '[0-9]+$')) FROM pg_constraint k "
                       "WHERE k.conrelid = c.oid AND k.contype = 'c' AND left(k.conname, length(a.attname) + 5) = "
                       "'len:' || a.attname || ':') "
                       "FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
                       "LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
                       "WHERE c.oid = to_regclass(quote_ident(lower($1))) "   // a work table of the session too
                       "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"),
        {table});
    QVector<FieldDef> out;
    for (const QStringList &row : rows) {
        FieldDef f = fieldFromDeclaredType(row[0], declaredTypeOf(row[1].toUInt(), row[2].toInt()));
        if (row[3] == QLatin1String("t") && f.type == FieldType::Integer)
            f.type = FieldType::AutoInc;
        if (f.type == FieldType::String && !row[4].isEmpty())
            f.size = row[4].toInt();
        out << f;
    }
    return out;
}

qint64 PgConnection::schemaVersion()
{
    if (ownTransaction_ && heldSchemaVersion_ >= 0)
        return heldSchemaVersion_;
    const auto rows = query(QStringLiteral("SELECT version FROM %1._fenwa5_versions WHERE name = ''").arg(quotedSchema_));
    const qint64 version = rows.isEmpty() ? 0 : rows[0].value(0).toLongLong();
    if (ownTransaction_)
        heldSchemaVersion_ = version;
    return version;
}

QStringList PgConnection::indexNames(const QString &table)
{
    QStringList names;
    for (const QStringList &row : query(QStringLiteral("SELECT i.relname FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid "
                                                        "JOIN pg_class t ON t.oid = x.indrelid "
                                                        "WHERE t.relnamespace = $1::regnamespace AND t.relname = lower($2) "
                                                        "ORDER BY i.relname"),
                                         {quotedSchema_, table}))
        names << row[0];
    return names;
}

void PgConnection::createIndex(const QString &index, const QString &table, const QString &column)
{
    execNative(QStringLiteral("DROP INDEX IF EXISTS %1; CREATE INDEX %1 ON %2 (%3)")
                   .arg(quoteIdent(index), quoteIdent(table), quoteIdent(column)));
}

void PgConnection::reindex(const QString &table) { execNative(QStringLiteral("REINDEX TABLE %1").arg(quoteIdent(table))); }

void PgConnection::pack()
{
    QStringList tables;
    for (const QString &t : tableNames())
        tables << quotedSchema_ + QLatin1Char('.') + quoteIdent(t);
    if (!tables.isEmpty())
        execNative(QStringLiteral("VACUUM (ANALYZE) %1").arg(tables.join(QStringLiteral(", "))));
}

void PgConnection::copyTo(const QString &)
{
    throw EngineError(QStringLiteral("Instalacja na serwerze bazy danych nie ma pliku bazy do skopiowania; "
                                     "kopię danych z serwera wykonuje eksport programu."));
}

void PgConnection::replaceWith(const QString &)
{
    throw EngineError(QStringLiteral("Instalacji na serwerze bazy danych nie można zastąpić plikiem bazy; "
                                     "dane na serwer przenosi import programu. Dane na serwerze nie zostały zmienione."));
}

QStringList PgConnection::integrityProblems() { return {}; }

void PgConnection::createWorkTable(const QString &table, const QVector<FieldDef> &columns)
{
    QStringList defs;
    for (const FieldDef &c : columns) {
        QString type;
        switch (c.type) {
        case FieldType::AutoInc:
        case FieldType::Integer: type = QStringLiteral("bigint"); break;
        case FieldType::Float: type = QStringLiteral("double precision"); break;
        case FieldType::Boolean: type = QStringLiteral("boolean"); break;
        case FieldType::Date: type = QStringLiteral("date"); break;
        case FieldType::Timestamp: type = QStringLiteral("timestamp"); break;
        case FieldType::String:
        case FieldType::Unknown: type = QStringLiteral("text"); break;
        }
        defs << quoteIdent(c.name) + QLatin1Char(' ') + type;
    }
    // The session's own: no write lock of the installation.
    PQclear(run(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(quoteIdent(table), defs.join(QLatin1Char(',')))));
}

void PgConnection::dropWorkTable(const QString &table)
{
    PQclear(run(QStringLiteral("DROP TABLE pg_temp.%1").arg(quoteIdent(table))));
}

DataStamp PgConnection::dataStamp(const QString &table)
{
    const auto rows = query(QStringLiteral("SELECT coalesce((SELECT version FROM _fenwa5_versions WHERE name = lower($2)), 0), "
                                           "coalesce((SELECT xmin::text::bigint FROM pg_class WHERE relnamespace = "
                                           "$1::regnamespace AND relname = lower($2)), -1)"),
                            {quotedSchema_, table});
    DataStamp stamp;
    stamp.dataVersion = rows.value(0).value(0).toLongLong();
    stamp.schemaVersion = rows.value(0).value(1).toLongLong();
    return stamp;
}

qint64 PgConnection::registerCopy(const QString &osUser, const QString &host, qint64 pid, const QDateTime &now)
{
    const auto rows = query(QStringLiteral("INSERT INTO _fenwa5_running (osuser, host, pid, started, heartbeat) "
                                           "VALUES ($1, $2, $3, $4, $4) RETURNING id"),
                            {osUser, host, QString::number(pid), now.toString(Qt::ISODate)});
    const qint64 id = rows.value(0).value(0).toLongLong();
    // Held while this connection lasts: the copy is live exactly as long.
    query(QStringLiteral("SELECT pg_advisory_lock(%1, $1::int)").arg(copyClass_), {QString::number(id)});
    return id;
}

void PgConnection::unregisterCopy(qint64 id)
{
    query(QStringLiteral("DELETE FROM _fenwa5_running WHERE id = $1"), {QString::number(id)});
    query(QStringLiteral("SELECT pg_advisory_unlock(%1, $1::int)").arg(copyClass_), {QString::number(id)});
}

void PgConnection::heartbeat(qint64 id, const QDateTime &now)
{
    query(QStringLiteral("UPDATE _fenwa5_running SET heartbeat = $1 WHERE id = $2"),
          {now.toString(Qt::ISODate), QString::number(id)});
}

QVector<RunningCopy> PgConnection::liveCopies(const QDateTime &)
{
    const auto rows = query(QStringLiteral("SELECT r.id, r.osuser, r.host FROM _fenwa5_running r WHERE EXISTS ("
                                           "SELECT 1 FROM pg_locks l WHERE l.locktype = 'advisory' AND l.granted "
                                           "AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
                                           "AND l.classid = %1::oid AND l.objid = r.id::oid AND l.objsubid = 2) "
                                           "ORDER BY r.id")
                                .arg(copyClass_));
    QVector<RunningCopy> copies;
    for (const QStringList &row : rows)
        copies.append({row[0].toLongLong(), row[1], row[2]});
    return copies;
}

void PgConnection::clearCopies() { execNative(QStringLiteral("DELETE FROM _fenwa5_running")); }

} // namespace fenwa::data
