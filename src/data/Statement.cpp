#include "data/Statement.h"

#include <QDate>
#include <QDateTime>

namespace fenwa::data {

Statement::Statement(const Database &db, const QString &sqliteSql, bool cached) : db_(db)
{
    if (cached) {
        cacheKey_ = sqliteSql;
        st_ = db.takeCached(sqliteSql);
        if (st_)
            return;
    }
    const QByteArray utf8 = sqliteSql.toUtf8();
    int rc = sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &st_, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = db.describeError(rc);
        sqlite3_finalize(st_);
        st_ = nullptr;
        throw EngineError(msg);
    }
    if (!st_)
        throw EngineError(QStringLiteral("Puste zapytanie SQL."));
}

ReadSnapshot::ReadSnapshot(const Database &db)
{
    if (sqlite3_get_autocommit(db.handle()) && sqlite3_exec(db.handle(), "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
        db_ = db.handle();
}

ReadSnapshot::~ReadSnapshot()
{
    if (db_ && !sqlite3_get_autocommit(db_) && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

Statement::~Statement()
{
    if (!cacheKey_.isEmpty() && st_) {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
        st_ = db_.putCached(cacheKey_, st_);   // returns what it could not keep
    }
    sqlite3_finalize(st_);
}

void Statement::bind(int index, const QVariant &value)
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
        throw EngineError(db_.describeError(rc));
}

void Statement::bindNamed(const Params &params)
{
    for (const auto &[name, value] : params) {
        QString key = name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name;
        int index = sqlite3_bind_parameter_index(st_, key.toUtf8().constData());
        if (index == 0)
            continue;   // the statement does not use it
        bind(index, value);
    }
}

bool Statement::step()
{
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    QString msg = db_.describeError(sqlite3_extended_errcode(db_.handle()));
    sqlite3_reset(st_);
    throw EngineError(msg);
}

void Statement::reset()
{
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

QString Statement::text(int i) const
{
    const unsigned char *t = sqlite3_column_text(st_, i);
    if (!t)
        return QString();
    return QString::fromUtf8(reinterpret_cast<const char *>(t), sqlite3_column_bytes(st_, i));
}

QVariant Statement::value(int i, FieldType type) const
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
        const char *t = reinterpret_cast<const char *>(sqlite3_column_text(st_, i));
        const int n = sqlite3_column_bytes(st_, i);
        auto num = [t](int at, int len) {
            int v = 0;
            for (int k = at; k < at + len; ++k) {
                if (t[k] < '0' || t[k] > '9')
                    return -1;
                v = v * 10 + (t[k] - '0');
            }
            return v;
        };
        if (ct == SQLITE_TEXT && n >= 10 && t[4] == '-' && t[7] == '-') {
            QDate d(num(0, 4), num(5, 2), num(8, 2));
            if (d.isValid()) {
                if (type == FieldType::Date)
                    return QVariant(d);
                if (n == 19 && t[10] == ' ' && t[13] == ':' && t[16] == ':') {
                    QTime tm(num(11, 2), num(14, 2), num(17, 2));
                    if (tm.isValid())
                        return QVariant(QDateTime(d, tm));
                } else if (n == 10) {
                    return QVariant(QDateTime(d, QTime(0, 0)));
                }
            }
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

} // namespace fenwa::data
