#pragma once
// A data folder in a temporary directory with every shared table created.
#include "QtPrinters.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Seed.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace fenwa::testing {

// The engine's message when the command fails; empty when it goes through.
inline QString errorOf(const std::function<void()> &command)
{
    try {
        command();
    } catch (const data::EngineError &e) {
        return e.message();
    }
    return QString();
}

struct TempFolder {
    QTemporaryDir dir;
    std::unique_ptr<data::Database> db;

    explicit TempFolder(bool withTables = true)
    {
        db = data::Database::open(dir.path(), data::Database::OpenMode::Create);
        if (withTables)
            data::createSharedTables(*db);
    }
    QString folder() const { return db->folder(); }
    QString path(const QString &file) const { return db->path(file); }
};

} // namespace fenwa::testing
