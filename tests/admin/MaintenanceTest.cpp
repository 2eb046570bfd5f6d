#include "LegacyFolder.h"
#include "admin/Maintenance.h"
#include "Installation.h"
#include "data/Schema.h"
#include "data/Seed.h"
#include "data/Statement.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::RecordingFileList;

namespace {

// An installation with a register of two groups and its settings file, and an archive folder.
struct Office : fenwa::testing::DataFolder {
    QTemporaryDir archives;
    QString ini = QDir(dir.path()).filePath("fenwa5.ini");
    RecordingFileList view;

    Office() : DataFolder(fenwa::testing::Content::Installed)
    {
        db->exec(schema::createGroups(dir.path(), "_2016_2001").join('\n'));
        db->exec(schema::createPositions(dir.path(), "_2016_2001").join('\n'));
        db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, Opis, Rok, Mc) VALUES ('FV/1', 'Żółć', 2016, 3), "
                                "('FV/2', 'Łódź', 2016, 4)")
                     .arg(db->path("g_2016_2001.db")));
        QFile f(ini);
        f.open(QIODevice::WriteOnly);
        f.write("[Katalogi]\nDane=/srv/fenwa5\n");
    }
    admin::Outcome archive(const QDate &day = QDate(2016, 3, 15))
    {
        return admin::archive(*db, ini, archives.path(), day, &view);
    }
    admin::Outcome restore(const QString &zip)
    {
        return admin::restore(*db, zip, QDateTime(QDate(2016, 3, 16), QTime(9, 30)), QString(), &view);
    }
    // Every table's rows, table by table, as text.
    QStringList content() { return contentOf(*db); }
    static QStringList contentOf(const Database &d)
    {
        QStringList out;
        for (const QString &file : d.listFiles("*")) {
            Statement st(d, QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1").arg(SqlDialect::tableName(file)));
            while (st.step()) {
                QStringList row{file};
                for (int i = 0; i < st.columnCount(); ++i)
                    row << st.text(i);
                out << row.join('|');
            }
        }
        return out;
    }
    QStringList dataFolder() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

void writeZip(const QString &path, const QVector<std::pair<QByteArray, QByteArray>> &members)
{
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_TRUE(z);
    for (const auto &[name, bytes] : members) {
        zip_source_t *src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        ASSERT_GE(zip_file_add(z, name.constData(), src, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(Maintenance, ArchiveAndRestoreBringBackEveryTableAsItWas)
{
    Office o;
    const QStringList before = o.content();
    const admin::Outcome archived = o.archive();
    ASSERT_TRUE(archived.done) << archived.text.toStdString();
    const QString zip = QDir(o.archives.path()).filePath("fenwa5_20160315.zip");
    EXPECT_EQ(archived.text, QStringLiteral("2 plików zostało dodanych do archiwum: \"%1\".").arg(zip));
    EXPECT_EQ(o.view.files, QStringList({"fenwa5.sqlite", "fenwa5.ini"}));
    EXPECT_FALSE(o.view.visible);

    o.db->exec(QStringLiteral("DELETE FROM \"%1\" WHERE Dok = 'FV/1'").arg(o.db->path("g_2016_2001.db")));
    o.db->exec(QStringLiteral("UPDATE \"%1\" SET Login = 'zmieniony'").arg(o.db->path("passwd.db")));
    o.db->deleteFile("p_2016_2001.db");
    o.db->exec(schema::createGroups(o.dir.path(), "_2017_2001").join('\n'));
    ASSERT_NE(o.content(), before);

    const admin::Outcome restored = o.restore(zip);
    ASSERT_TRUE(restored.done) << restored.text.toStdString();
    EXPECT_TRUE(restored.text.startsWith(QStringLiteral("1 plik został odtworzony z archiwum: \"%1\".").arg(zip)));
    EXPECT_EQ(o.content(), before);
    EXPECT_FALSE(o.db->fileExists("g_2017_2001.db"));
    EXPECT_TRUE(o.db->fileExists("p_2016_2001.db"));

    const QString kept = QDir(o.dir.path()).filePath("fenwa5_przed_odtworzeniem_20160316_093000.sqlite");
    EXPECT_TRUE(restored.text.contains(kept));
    QTemporaryDir look;
    ASSERT_TRUE(QFile::copy(kept, QDir(look.path()).filePath("fenwa5.sqlite")));
    auto old = Database::open(look.path());
    EXPECT_TRUE(old->fileExists("g_2017_2001.db")) << "the database replaced is kept as it was";
}

// On the server when the tests run on one: its archive restores on a data
// folder, and the folder's archive on the server.
TEST(Maintenance, AnArchiveRestoresOnEitherBackend)
{
    Office o;
    const QStringList before = o.content();
    ASSERT_TRUE(o.archive().done);
    QTemporaryDir other;
    auto folder = createInstallation(other.path(), fenwa::testing::kInstallationDay);
    QTemporaryDir archives;
    const QDateTime at(QDate(2016, 3, 16), QTime(9, 30));
    const admin::Outcome there =
        admin::restore(*folder, QDir(o.archives.path()).filePath("fenwa5_20160315.zip"), at, QString(), nullptr);
    ASSERT_TRUE(there.done) << there.text.toStdString();
    EXPECT_EQ(Office::contentOf(*folder).filter("g_2016_2001.db|").size(), 2);

    o.db->exec(QStringLiteral("DELETE FROM \"%1\"").arg(o.db->path("g_2016_2001.db")));
    o.db->deleteFile("p_2016_2001.db");
    ASSERT_TRUE(admin::archive(*folder, QString(), archives.path(), QDate(2016, 3, 17), nullptr).done);
    const admin::Outcome back = admin::restore(*o.db, QDir(archives.path()).filePath("fenwa5_20160317.zip"),
                                               at.addDays(1), QString(), nullptr);
    ASSERT_TRUE(back.done) << back.text.toStdString();
    EXPECT_EQ(o.content(), before);
}

TEST(Maintenance, ASecondArchiveOfTheDayGetsTheNextNumberAndLeavesTheFirst)
{
    Office o;
    ASSERT_TRUE(o.archive().done);
    const QString first = QDir(o.archives.path()).filePath("fenwa5_20160315.zip");
    const QByteArray firstBytes = fileBytes(first);
    o.db->exec(QStringLiteral("DELETE FROM \"%1\"").arg(o.db->path("g_2016_2001.db")));

    const admin::Outcome second = o.archive();
    ASSERT_TRUE(second.done);
    const QString next = QDir(o.archives.path()).filePath("fenwa5_20160315_2.zip");
    EXPECT_TRUE(second.text.contains(next)) << second.text.toStdString();
    EXPECT_TRUE(second.text.contains("już istnieje"));
    EXPECT_EQ(fileBytes(first), firstBytes);
    EXPECT_TRUE(o.archive(QDate(2016, 3, 16)).text.contains("fenwa5_20160316.zip\""));
    EXPECT_EQ(QDir(o.archives.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).size(), 3)
        << "no work files are left";
}

TEST(Maintenance, ADamagedForeignOrHostileArchiveChangesNothing)
{
    Office o;
    ASSERT_TRUE(o.archive().done);
    const QByteArray good = fileBytes(QDir(o.archives.path()).filePath("fenwa5_20160315.zip"));
    QTemporaryDir foreignFolder;
    {
        auto foreign = Database::open(foreignFolder.path(), Database::OpenMode::Create);
        foreign->execNative("CREATE TABLE faktury (nr TEXT); INSERT INTO faktury VALUES ('1');");
    }
    const QByteArray foreignDb = fileBytes(QDir(foreignFolder.path()).filePath("fenwa5.sqlite"));
    QByteArray flipped = good;
    flipped[flipped.size() / 3] = char(flipped[flipped.size() / 3] ^ 0x55);

    const struct {
        const char *name;
        QVector<std::pair<QByteArray, QByteArray>> members;   // empty: `raw` is the file
        QByteArray raw;
        const char *reason;
    } cases[] = {
        {"truncated", {}, good.left(good.size() / 2), "uszkodzony"},
        {"damaged inside", {}, flipped, "uszkodzon"},
        {"not a zip", {}, "PK? to nie jest archiwum", "nie jest archiwum ZIP"},
        {"parent path", {{"../fenwa5.sqlite", foreignDb}, {"fenwa5.sqlite", foreignDb}}, {}, "niedozwolonej nazwie"},
        {"deep path", {{"../../x", "x"}}, {}, "niedozwolonej nazwie"},
        {"absolute path", {{"/tmp/fenwa5.sqlite", foreignDb}}, {}, "niedozwolonej nazwie"},
        {"foreign database", {{"fenwa5.sqlite", foreignDb}}, {}, "nie jest bazą danych tego programu"},
        {"text as database", {{"fenwa5.sqlite", QByteArray(8192, 't')}}, {}, "nie daje się otworzyć"},
        {"no database", {{"fenwa5.ini", "[a]\n"}}, {}, "nie zawiera bazy danych"},
        {"paradox folder", {{"PASSWD.DB", "x"}, {"ROZDZ.PX", "x"}}, {}, "Paradox"},
    };
    const QStringList before = o.content();
    const QStringList files = o.dataFolder();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir from;
        const QString zip = QDir(from.path()).filePath("archiwum.zip");
        if (c.members.isEmpty()) {
            QFile f(zip);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.raw);
        } else {
            writeZip(zip, c.members);
        }
        const admin::Outcome r = o.restore(zip);
        EXPECT_FALSE(r.done);
        EXPECT_TRUE(r.text.contains(QString::fromUtf8(c.reason))) << r.text.toStdString();
        EXPECT_TRUE(r.text.endsWith("Baza danych nie została zmieniona."));
        EXPECT_EQ(o.content(), before);
        EXPECT_EQ(o.dataFolder(), files);
        EXPECT_EQ(QDir(from.path()).entryList(QDir::Files), QStringList{"archiwum.zip"}) << "nothing written beside";
        EXPECT_FALSE(o.view.visible);
    }
}

TEST(Maintenance, AnArchiveOfTheParadoxFolderIsOfferedToTheMigrationAndCarriedOver)
{
    Office o;
    QTemporaryDir legacy, from;
    fenwa::testing::writeLegacyFolder(legacy.path(), {"2001"}, 2015, 6);
    QVector<std::pair<QByteArray, QByteArray>> members{{"PASSWD.PX", "indeks"}};
    for (const QString &name : QDir(legacy.path()).entryList(QDir::Files))
        members.append({QFile::encodeName(name), fileBytes(QDir(legacy.path()).filePath(name))});
    const QString zip = QDir(from.path()).filePath("fenwa4.zip");
    writeZip(zip, members);
    const QStringList before = o.content();

    const admin::Outcome offered = o.restore(zip);
    EXPECT_FALSE(offered.done);
    EXPECT_TRUE(offered.paradoxTables.contains("passwd.db") && offered.paradoxTables.contains("PASSWD.PX"));
    EXPECT_EQ(o.content(), before) << "nothing changes until the migration is chosen";

    const QDateTime now(QDate(2016, 3, 16), QTime(9, 30));
    const admin::Outcome carried = admin::restoreParadox(*o.db, zip, now, QString(), &o.view);
    ASSERT_TRUE(carried.done) << carried.text.toStdString();
    EXPECT_TRUE(carried.text.contains("g_2015_2001.db: 12 / 12")) << carried.text.toStdString();
    EXPECT_TRUE(o.db->fileExists("p_2015_2001.db"));
    EXPECT_FALSE(o.db->fileExists("g_2016_2001.db")) << "the current data are replaced, not mixed";
    Statement users(*o.db, QStringLiteral("SELECT \"Login\" FROM passwd ORDER BY \"Id\""));
    QStringList logins;
    while (users.step())
        logins << users.text(0);
    EXPECT_EQ(logins, QStringList({"admin", QStringLiteral("Łucja Żak")}));
    EXPECT_TRUE(QFileInfo::exists(QDir(o.dir.path()).filePath("fenwa5_przed_odtworzeniem_20160316_093000.sqlite")));

    // Tables the migration cannot read change nothing either.
    const QStringList migrated = o.content();
    const QString damaged = QDir(from.path()).filePath("uszkodzone.zip");
    writeZip(damaged, {{"passwd.db", "to nie jest tabela"}, {"kontr.db", "ani to"}});
    const admin::Outcome refused = admin::restoreParadox(*o.db, damaged, now.addSecs(60), QString(), &o.view);
    EXPECT_FALSE(refused.done);
    EXPECT_TRUE(refused.text.contains("żadna tabela")) << refused.text.toStdString();
    EXPECT_EQ(o.content(), migrated);
}

TEST(Maintenance, PackingAndRestoringWaitForEveryOtherRunningCopy)
{
    Office o;
    ASSERT_TRUE(o.archive().done);
    const QString zip = QDir(o.archives.path()).filePath("fenwa5_20160315.zip");
    auto other = o.connect();
    other->registerRunningCopy("kowalski");

    const admin::Outcome packed = admin::pack(*o.db, &o.view);
    EXPECT_FALSE(packed.done);
    EXPECT_TRUE(packed.text.contains("Pakowanie bazy danych wymaga zamknięcia programu"));
    EXPECT_TRUE(packed.text.contains(QStringLiteral("kowalski (%1)").arg(QSysInfo::machineHostName())))
        << packed.text.toStdString();
    const admin::Outcome restored = o.restore(zip);
    EXPECT_FALSE(restored.done);
    EXPECT_TRUE(restored.text.contains("kowalski")) << restored.text.toStdString();
    EXPECT_TRUE(o.dataFolder().filter("przed_odtworzeniem").isEmpty()) << "no copy of the database was kept";

    other->unregisterRunningCopy();
    EXPECT_TRUE(admin::pack(*o.db, &o.view).done);
    EXPECT_EQ(o.view.caption, "Pakowanie ...");
}

TEST(Maintenance, ReindexingMakesEveryDictionaryAndRegisterIndexAgain)
{
    Office o;
    o.db->execNative("DROP INDEX \"rozdz.Opis\"");
    const QStringList registerIndexes = o.db->indexNames("p_2016_2001.db");
    for (const QString &name : registerIndexes)
        if (!name.startsWith("sqlite_") && !name.endsWith("_pkey"))   // the key's own index
            o.db->execNative(QStringLiteral("DROP INDEX \"%1\"").arg(name));
    ASSERT_TRUE(schema::missingRegisterIndexes(*o.db, "p_2016_2001.db").size() > 0);

    admin::reindex(*o.db, &o.view);
    EXPECT_TRUE(o.db->indexNames("rozdz.db").contains("rozdz.Opis")) << o.db->indexNames("rozdz.db").join(' ').toStdString();
    EXPECT_TRUE(schema::missingRegisterIndexes(*o.db, "p_2016_2001.db").isEmpty());
    EXPECT_TRUE(schema::missingRegisterIndexes(*o.db, "g_2016_2001.db").isEmpty());
    EXPECT_TRUE(o.view.files.contains("p_2016_2001.db"));
    EXPECT_EQ(o.view.selected.size(), o.view.files.size());
    EXPECT_FALSE(o.view.visible);
}
