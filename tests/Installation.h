#pragma once
// The installation the tests work on: a data folder in a temporary directory
// (made by the program's own code that creates the shared tables and the
// installation's content) and a workstation's data module over it.
#include "QtPrinters.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Seed.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
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

// The day the tests' installation was made and its workstation's clock stands at.
inline const QDate kInstallationDay(2016, 3, 15);

// What the data folder holds when a test starts.
enum class Content {
    Nothing,     // an empty database
    Tables,      // every shared table, empty
    Installed,   // the shared tables with the installation's content (administrator, inspectorates, dictionaries)
};

// The server the tests run their installations on: FENWA5_TEST_PG, a libpq
// connection text; unset, they run on SQLite files.
inline QByteArray testServer() { return qgetenv("FENWA5_TEST_PG"); }
inline bool onServer() { return !testServer().isEmpty(); }

// On the server: a fresh schema of the fixture's own, dropped at its end
// (also when the test failed or the fixture's set-up threw).
struct ServerSchema {
    QString name;
    ServerSchema()
    {
        static int made = 0;
        if (onServer())
            name = QStringLiteral("t_%1_%2_%3")
                       .arg(QCoreApplication::applicationPid())
                       .arg(++made)
                       .arg(QRandomGenerator::global()->bounded(1000000));
    }
    ~ServerSchema()
    {
        if (name.isEmpty())
            return;
        try {
            auto db = data::Database::openServer(QString(), testServer(), name);
            db->execNative(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(name));
        } catch (const data::EngineError &e) {
            ADD_FAILURE() << "schemat " << name.toStdString() << ": " << e.message().toStdString();
        }
    }
    ServerSchema(const ServerSchema &) = delete;
    ServerSchema &operator=(const ServerSchema &) = delete;
};

// A workstation's connection to an installation made by a DataFolder of
// another process: its folder, and on the server its schema.
inline std::unique_ptr<data::Database> openInstallation(const QString &folder, const QString &schema)
{
    if (onServer())
        return data::Database::openServer(folder, testServer(), schema);
    return data::Database::open(folder);
}

// A database in a temporary folder (on the server: in a schema of its own;
// the folder then holds the exports).
struct DataFolder {
    QTemporaryDir dir;
    ServerSchema schema;
    std::unique_ptr<data::Database> db;

    explicit DataFolder(Content content = Content::Tables)
    {
        if (onServer()) {
            db = connect(data::Database::OpenMode::Create);
            if (content != Content::Nothing)
                data::createSharedTables(*db);
            if (content == Content::Installed)
                data::fillInstallation(*db, kInstallationDay);
            return;
        }
        if (content == Content::Installed) {
            db = data::createInstallation(dir.path(), kInstallationDay);
            return;
        }
        db = data::Database::open(dir.path(), data::Database::OpenMode::Create);
        if (content == Content::Tables)
            data::createSharedTables(*db);
    }
    // Another connection to the same database: another workstation's.
    std::unique_ptr<data::Database> connect(data::Database::OpenMode mode = data::Database::OpenMode::ExistingOnly) const
    {
        if (onServer())
            return data::Database::openServer(dir.path(), testServer(), schema.name, mode);
        return data::Database::open(dir.path(), mode);
    }
    QString folder() const { return db->folder(); }
    QString path(const QString &file) const { return db->path(file); }

    // Rows of a table file, counted directly.
    int count(const QString &file, const QString &where = QString())
    {
        data::Query q(db.get(), QStringLiteral("Q_Count"));
        q.setSql({QStringLiteral("SELECT COUNT(*) AS n FROM \"%1\"%2")
                      .arg(path(file), where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where)});
        q.open();
        return int(q.asInt(QStringLiteral("n")));
    }
    // The name of the unit CODE in TABLE (jp.db names it in Jp, the others in Nazwa).
    QString unit(const char *table, const char *code)
    {
        data::Query q(db.get(), QStringLiteral("Q"));
        q.setSql({QStringLiteral("SELECT * FROM \"%1\" WHERE Kod = :k").arg(path(QString::fromLatin1(table)))});
        q.setParam(QStringLiteral("k"), QString::fromLatin1(code));
        q.open();
        return q.asString(QString::fromLatin1(table) == QLatin1String("jp.db") ? QStringLiteral("Jp")
                                                                               : QStringLiteral("Nazwa"));
    }
};

// Records the walk of a reference scan.
struct RecordingFileList : data::FileListView {
    QString folder, mask, caption;
    QStringList files;
    QVector<int> selected;
    int shows = 0, hides = 0;
    bool visible = false;
    void showFiles(const QString &f, const QString &m, const QStringList &list, const QString &c) override
    {
        folder = f;
        mask = m;
        files = list;
        caption = c;
        selected.clear();
        ++shows;
        visible = true;
    }
    void selectFile(int index) override { selected << index; }
    void hideFiles() override
    {
        ++hides;
        visible = false;
    }
};

// How the workstation of an Installation starts.
struct Workstation {
    Content content = Content::Installed;
    bool open = true;   // the data module opened at once (checked)
    bool edycja = true;
    int p_w = 1;        // 1 the voivodeship inspectorate, 2 a county one
    int user = 1;       // 1 is the administrator
    const char *voivodeship = data::seedVoivodeship;
};

// A data folder and a workstation's data module over it: the administrator
// with every right on the voivodeship inspectorate's workstation, on
// 15 March 2016 at 10:00; reference scans recorded in fileList.
struct Installation : DataFolder {
    CurrentUser user;
    RunSettings settings;
    OpenRegister reg;
    ScriptedMessages messages;
    Clock clock;
    RecordingFileList fileList;
    std::unique_ptr<data::TF_Dane> dane;

    explicit Installation(const Workstation &w = {}) : DataFolder(w.content)
    {
        clock.set(QDateTime(kInstallationDay, QTime(10, 0)));
        user.user = w.user;
        user.user_str = QStringLiteral("admin");
        user.wersja = QStringLiteral("5.0");
        user.edycja = w.edycja;
        user.przeglad = true;
        user.slowniki = true;
        settings.fd = folder();
        settings.fe = folder();
        settings.wkod = QString::fromLatin1(w.voivodeship);
        settings.pkod = settings.wkod + QStringLiteral("03");
        settings.p_w = w.p_w;
        if (w.open) {
            EXPECT_TRUE(open());
        }
    }
    // (Re)opens the data module; its messages go to shownBy when given.
    bool open(Messages *shownBy = nullptr)
    {
        dane.reset();
        dane = std::make_unique<data::TF_Dane>(db.get(), user, settings, reg, shownBy ? *shownBy : messages, clock);
        dane->rules.fileList = &fileList;
        return dane->open();
    }
    data::TF_Dane &d() { return *dane; }

    // Creates both files of a register (when missing) and makes it the open one.
    void makeRegister(int year, const QString &code, int month = 1)
    {
        const QString suffix = OpenRegister::suffix(year, code);
        if (!db->fileExists(QStringLiteral("g") + suffix))
            db->exec(data::schema::createGroups(folder(), suffix).join(QLatin1Char('\n')));
        if (!db->fileExists(QStringLiteral("p") + suffix))
            db->exec(data::schema::createPositions(folder(), suffix).join(QLatin1Char('\n')));
        openRegister(year, code, month);
    }
    void openRegister(int year, const QString &code, int month)
    {
        reg.rok = year;
        reg.mc = month;
        reg.kod = code;
        reg.sufiks = OpenRegister::suffix(year, code);
        dane->setRegister(reg.sufiks);
    }
    // Adds a group DOK of MONTH to the open register.
    void addGroup(const QString &dok, int month, bool closed = false)
    {
        data::Table *g = dane->T_Gr;
        g->append();
        g->setValue(QStringLiteral("Dok"), dok);
        g->setValue(QStringLiteral("Opis"), QStringLiteral("Opis ") + dok);
        g->setValue(QStringLiteral("Rozdz"), 1);
        g->setValue(QStringLiteral("Par"), 2);
        g->setValue(QStringLiteral("Rok"), reg.rok);
        g->setValue(QStringLiteral("Mc"), month);
        g->setValue(QStringLiteral("Zk"), closed);
        g->setValue(QStringLiteral("O_Ins"), 1);
        g->setValue(QStringLiteral("O_Mod"), 1);
        g->setValue(QStringLiteral("T_Ins"), clock.now());
        g->setValue(QStringLiteral("T_Mod"), clock.now());
        g->post();
    }
};

} // namespace fenwa::testing
