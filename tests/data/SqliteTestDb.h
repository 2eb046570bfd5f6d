#pragma once
// A small in-memory SQLite database for the dialect and filter tests: runs
// SQLite text directly, with the Polish collation "PL" registered as the
// engine registers it.
#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <sqlite3.h>
#include <stdexcept>
#include <ostream>
#include <vector>

// Readable values in test failure output.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace fenwa::testing {

class SqliteTestDb {
public:
    SqliteTestDb() : collator_(QLocale(QLocale::Polish, QLocale::Poland))
    {
        if (sqlite3_open(":memory:", &db_) != SQLITE_OK)
            throw std::runtime_error("sqlite3_open");
        sqlite3_create_collation(db_, "PL", SQLITE_UTF8, &collator_, &comparePl);
    }
    ~SqliteTestDb() { sqlite3_close(db_); }
    SqliteTestDb(const SqliteTestDb &) = delete;
    SqliteTestDb &operator=(const SqliteTestDb &) = delete;

    // Runs one statement; returns its rows as text ("<null>" for NULL).
    // Throws std::runtime_error with SQLite's message on failure.
    std::vector<QStringList> run(const QString &sql, const QVariantList &binds = {},
                                 const QVariantMap &named = {})
    {
        sqlite3_stmt *st = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        int index = 1;
        for (const QVariant &v : binds)
            bind(st, index++, v);
        for (auto it = named.begin(); it != named.end(); ++it)
            bind(st, sqlite3_bind_parameter_index(st, it.key().toUtf8().constData()), it.value());
        std::vector<QStringList> rows;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                if (sqlite3_column_type(st, c) == SQLITE_NULL)
                    row << QStringLiteral("<null>");
                else
                    row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
            }
            rows.push_back(row);
        }
        const std::string message = sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(message);
        return rows;
    }

    QStringList columnNames(const QString &sql)
    {
        sqlite3_stmt *st = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        QStringList names;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            names << QString::fromUtf8(sqlite3_column_name(st, c));
        sqlite3_finalize(st);
        return names;
    }

private:
    sqlite3 *db_ = nullptr;
    QCollator collator_;

    static int comparePl(void *arg, int n1, const void *s1, int n2, const void *s2)
    {
        auto *coll = static_cast<QCollator *>(arg);
        return coll->compare(QString::fromUtf8(static_cast<const char *>(s1), n1),
                             QString::fromUtf8(static_cast<const char *>(s2), n2));
    }

    static void bind(sqlite3_stmt *st, int i, const QVariant &v)
    {
        if (v.isNull()) {
            sqlite3_bind_null(st, i);
            return;
        }
        switch (v.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Bool:
            sqlite3_bind_int64(st, i, v.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(st, i, v.toDouble());
            break;
        default: {
            const QByteArray b = v.toString().toUtf8();
            sqlite3_bind_text(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
        }
    }
};

} // namespace fenwa::testing
