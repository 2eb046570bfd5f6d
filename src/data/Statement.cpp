#include "data/Statement.h"

namespace fenwa::data {

Statement::Statement(const Database &db, const QString &nativeSql, bool cached) : db_(db)
{
    if (cached) {
        cacheKey_ = nativeSql;
        st_ = db.takeCached(nativeSql);
        if (st_)
            return;
    }
    st_ = db.connection().prepare(nativeSql, cached);
}

Statement::~Statement()
{
    if (!cacheKey_.isEmpty() && st_) {
        st_->reset(true);
        st_ = db_.putCached(cacheKey_, std::move(st_));   // returns what it could not keep
    }
}

void Statement::bindNamed(const Params &params)
{
    for (const auto &[name, value] : params) {
        const QString key = name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name;
        const int index = st_->parameterIndex(key);
        if (index == 0)
            continue;   // the statement does not use it
        st_->bind(index, value);
    }
}

ReadSnapshot::ReadSnapshot(const Database &db)
{
    if (db.connection().beginRead())
        conn_ = &db.connection();
}

ReadSnapshot::~ReadSnapshot()
{
    if (conn_)
        conn_->endRead();
}

} // namespace fenwa::data
