#include "admin/Maintenance.h"

#include "admin/Migration.h"

#include "common/Platform.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <zip.h>

namespace fenwa::admin {

namespace {

const QString databaseName = QString::fromLatin1(data::Database::fileName);
// No database of an inspectorate comes near this; a member claiming more is refused.
constexpr qint64 maxMemberSize = qint64(4) << 30;

struct ZipCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

QString othersRunningText(const QString &what, const QStringList &others)
{
    return QStringLiteral("%1 wymaga zamknięcia programu na pozostałych stanowiskach. Program pracuje jeszcze: %2.")
        .arg(what, others.join(QStringLiteral(", ")));
}

// "N plik został dodany" / "N plików zostało dodanych" (the same with odtworzony).
QString filesText(int n, const char *singular, const char *plural)
{
    return QStringLiteral("%1 plik%2").arg(n).arg(QString::fromUtf8(n == 1 ? singular : plural));
}

// A member name that stays inside the folder it is read into: a bare file name.
bool safeMemberName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && !name.contains(QLatin1String("..")) && !name.contains(QLatin1Char(':')) && !name.contains(QChar(0));
}

// A table or index file of the previous program's Paradox folder.
bool paradoxMember(const QString &name)
{
    static const QStringList masks{QStringLiteral("*.db"), QStringLiteral("*.px"), QStringLiteral("*.x??"),
                                   QStringLiteral("*.y??")};
    return QDir::match(masks, name);
}

// The files of a command shown on the file list while it lives.
class Progress {
public:
    Progress(data::FileListView *view, const QString &folder, const QString &mask, const QStringList &files,
             const QString &caption = QString())
        : view_(view)
    {
        if (view_)
            view_->showFiles(folder, mask, files, caption);
    }
    ~Progress()
    {
        if (view_)
            view_->hideFiles();
    }
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;
    void at(int index)
    {
        if (view_)
            view_->selectFile(index);
    }

private:
    data::FileListView *view_;
};

struct Refusal {
    QString reason;
    QStringList paradoxTables = {};   // the archive is the previous program's Paradox folder
};

// Copies member `index` to `target`, at most its stated size; Refusal when
// the member cannot be read whole (cut short, wrong checksum).
void extract(zip_t *z, zip_uint64_t index, const QString &name, qint64 size, const QString &target)
{
    zip_file_t *in = zip_fopen_index(z, index, 0);
    if (!in)
        throw Refusal{QStringLiteral("pliku „%1” nie można odczytać z archiwum.").arg(name)};
    QFile out(target);
    qint64 total = 0;
    bool ok = out.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    while (ok) {
        const zip_int64_t n = zip_fread(in, buffer.data(), zip_uint64_t(buffer.size()));
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        total += n;
        ok = total <= size && out.write(buffer.constData(), n) == n;
    }
    zip_fclose(in);
    out.close();
    if (!ok || total != size || out.error() != QFileDevice::NoError)
        throw Refusal{QStringLiteral("plik „%1” w archiwum jest uszkodzony lub nie mieści się na dysku.").arg(name)};
}

// Opens an archive whose every member has a bare file name; `names` gets
// the members' names in archive order. Refusal otherwise.
Zip openArchive(const QString &zipFile, QStringList &names)
{
    int error = 0;
    Zip z(zip_open(QFile::encodeName(zipFile).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!z)
        throw Refusal{QStringLiteral("plik jest uszkodzony albo nie jest archiwum ZIP.")};
    const zip_int64_t count = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(z.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        if (!safeMemberName(name))
            throw Refusal{QStringLiteral("archiwum zawiera plik o niedozwolonej nazwie „%1”.").arg(name)};
        names << name;
    }
    return z;
}

// Reads the archive's database into `folder` after checking every member;
// Refusal with the reason otherwise.
void readArchive(const QString &zipFile, const QString &folder)
{
    QStringList names;
    const Zip z = openArchive(zipFile, names);
    const zip_int64_t database = names.indexOf(databaseName);
    QStringList paradox;
    for (const QString &name : std::as_const(names))
        if (name != databaseName && paradoxMember(name))
            paradox << name;
    if (database < 0 && !paradox.isEmpty())
        throw Refusal{QStringLiteral("archiwum zawiera tabele Paradox poprzedniej wersji programu (%1), "
                                     "a nie bazę danych tego programu.")
                          .arg(paradox.mid(0, 3).join(QStringLiteral(", "))
                               + (paradox.size() > 3 ? QStringLiteral("…") : QString())),
                      paradox};
    if (database < 0)
        throw Refusal{QStringLiteral("archiwum nie zawiera bazy danych programu (%1).").arg(databaseName)};
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(z.get(), zip_uint64_t(database), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)
        || st.size > zip_uint64_t(maxMemberSize))
        throw Refusal{QStringLiteral("plik „%1” w archiwum ma niedozwolony rozmiar.").arg(databaseName)};
    extract(z.get(), zip_uint64_t(database), databaseName, qint64(st.size), QDir(folder).filePath(databaseName));
}

// Reads the Paradox tables (*.db) of the previous program's archive into
// `folder`, every member name checked first; Refusal otherwise.
void readParadoxArchive(const QString &zipFile, const QString &folder)
{
    QStringList names;
    const Zip z = openArchive(zipFile, names);
    QVector<std::pair<zip_uint64_t, QString>> tables;
    // Index and memo files are not read by the migration.
    for (int i = 0; i < names.size(); ++i)
        if (QDir::match(QStringLiteral("*.db"), names[i]))
            tables.append({zip_uint64_t(i), names[i]});
    qint64 total = 0;
    QSet<QString> written;   // names differing in letter case only would overwrite each other
    for (const auto &[index, name] : tables) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(z.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)
            || st.size > zip_uint64_t(maxMemberSize) || (total += qint64(st.size)) > maxMemberSize)
            throw Refusal{QStringLiteral("plik „%1” w archiwum ma niedozwolony rozmiar.").arg(name)};
        if (written.contains(name.toLower()))
            throw Refusal{QStringLiteral("archiwum zawiera dwa razy plik „%1”.").arg(name)};
        written.insert(name.toLower());
        extract(z.get(), index, name, qint64(st.size), QDir(folder).filePath(name));
    }
}

// Checks that the database read into `folder` is whole and is this
// program's; forgets the running copies it recorded.
void checkRestored(const QString &folder)
{
    std::unique_ptr<data::Database> db;
    try {
        db = data::Database::open(folder);
    } catch (const data::EngineError &e) {
        throw Refusal{QStringLiteral("baza danych w archiwum nie daje się otworzyć: %1").arg(e.message())};
    }
    if (!db->integrityProblems().isEmpty())
        throw Refusal{QStringLiteral("baza danych w archiwum jest uszkodzona.")};
    bool ours = db->fileExists(QStringLiteral("passwd.db"));
    for (const char *field : {"Login", "Password", "Active", "Admin"}) {
        bool found = false;
        if (ours)
            for (const auto &f : db->fields(QStringLiteral("passwd.db")))
                found = found || f.name.compare(QLatin1String(field), Qt::CaseInsensitive) == 0;
        ours = ours && found;
    }
    for (const char *table : {"rozdz.db", "par.db"})
        ours = ours && db->fileExists(QLatin1String(table));
    if (!ours)
        throw Refusal{QStringLiteral("plik %1 w archiwum nie jest bazą danych tego programu.").arg(databaseName)};
    db->clearRunningCopies();
}

} // namespace

SharedTablesClosed::SharedTablesClosed(data::TF_Dane &dane)
{
    for (data::Table *t : dane.sharedTables()) {
        if (t->active()) {
            t->close();
            closed_ << t;
        }
    }
}

SharedTablesClosed::~SharedTablesClosed()
{
    for (data::Table *t : std::as_const(closed_)) {
        try {
            t->open();
        } catch (...) {
            // The table stays closed; the next use of it reports the engine's error.
        }
    }
}

void reindex(data::Database &db, data::FileListView *view)
{
    const QStringList registers = db.listFiles(QStringLiteral("?_????_????.db"));
    QStringList files;
    for (const auto &t : data::schema::sharedTables())
        if (!t.indexes.isEmpty())
            files << t.file;
    const int dictionaries = int(files.size());
    files << registers;
    Progress progress(view, db.folder(), QStringLiteral("?_????_????.db;"), files);
    for (int i = 0; i < files.size(); ++i) {
        progress.at(i);
        data::Database::Transaction tx(db);
        if (i < dictionaries)
            data::schema::createIndexes(db, *data::schema::find(files[i]));
        else
            data::schema::createRegisterIndexes(db, files[i]);
        db.reindex(files[i]);
        tx.commit();
    }
}

Outcome pack(data::Database &db, data::FileListView *view)
{
    const QStringList others = db.otherRunningCopyNames();
    if (!others.isEmpty())
        return {false, othersRunningText(QStringLiteral("Pakowanie bazy danych"), others)};
    Progress progress(view, db.folder(), QStringLiteral("*.db"), {databaseName}, QStringLiteral("Pakowanie ..."));
    try {
        progress.at(0);
        db.pack();
    } catch (const data::EngineError &e) {
        return {false, e.message()};
    }
    return {true, QString()};
}

Outcome archive(data::Database &db, const QString &settingsFile, const QString &archiveFolder,
                const QDate &today, data::FileListView *view)
{
    QStringList names{databaseName};
    const bool withSettings = QFileInfo(settingsFile).isFile();
    if (withSettings)
        names << QFileInfo(settingsFile).fileName();
    Progress progress(view, db.folder(), QStringLiteral("*.db;*.px;*.x??;*.y??;*.ini"), names);

    const QString base = QDir(archiveFolder).filePath(QStringLiteral("fenwa5_%1").arg(today.toString(QStringLiteral("yyyyMMdd"))));
    QTemporaryDir work(QDir(archiveFolder).filePath(QStringLiteral(".fenwa5-archiwum-XXXXXX")));
    if (!work.isValid())
        return {false, QStringLiteral("Nie można utworzyć archiwum w folderze „%1”: %2")
                           .arg(shown(archiveFolder), work.errorString())};
    const QString snapshot = work.filePath(databaseName);
    try {
        progress.at(0);
        db.copyTo(snapshot);
    } catch (const data::EngineError &e) {
        return {false, QStringLiteral("Nie można utworzyć archiwum: %1").arg(e.message())};
    }
    const QString written = work.filePath(QStringLiteral("archiwum.zip"));
    int error = 0;
    Zip z(zip_open(QFile::encodeName(written).constData(), ZIP_CREATE | ZIP_EXCL, &error));
    bool ok = bool(z);
    const QStringList sources{snapshot, settingsFile};
    for (int i = 0; ok && i < names.size(); ++i) {
        progress.at(i);
        zip_source_t *src = zip_source_file(z.get(), QFile::encodeName(sources[i]).constData(), 0, 0);
        ok = src && zip_file_add(z.get(), names[i].toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) >= 0;
        if (src && !ok)
            zip_source_free(src);
    }
    if (ok) {
        ok = zip_close(z.get()) == 0;
        if (ok)
            z.release();
    }
    if (!ok)
        return {false, QStringLiteral("Nie można zapisać archiwum w folderze „%1”.").arg(shown(archiveFolder))};

    // A second archive of the day gets the next free number; none is overwritten.
    QString target = base + QStringLiteral(".zip");
    for (int n = 2; !platform::renameNoReplace(written, target); ++n) {
        if (!QFileInfo::exists(target) || n > 999)
            return {false, QStringLiteral("Nie można zapisać archiwum „%1”.").arg(shown(target))};
        target = QStringLiteral("%1_%2.zip").arg(base).arg(n);
    }
    QString text = filesText(int(names.size()), " został dodany", "ów zostało dodanych")
                   + QStringLiteral(" do archiwum: \"%1\".").arg(shown(target));
    if (target != base + QStringLiteral(".zip"))
        text += QStringLiteral("\nArchiwum z tego dnia już istnieje i nie zostało zmienione; nowe ma w nazwie kolejny numer.");
    return {true, text};
}

namespace {

QString refusedText(const QString &zipFile, const QString &reason)
{
    return QStringLiteral("Dane nie zostały odtworzone z archiwum \"%1\": %2\nBaza danych nie została zmieniona.")
        .arg(shown(zipFile), reason);
}

// Puts the checked database `restored` in place of the current one, with no
// other copy running; the current one is kept beside it as a dated file,
// whose path is returned. Refusal with nothing changed otherwise.
QString putInPlace(data::Database &db, const QString &restored, const QDateTime &now, const QString &osUser)
{
    const QStringList others = db.otherRunningCopyNames();
    if (!others.isEmpty())
        throw Refusal{othersRunningText(QStringLiteral("odtworzenie"), others)};
    const QString kept = QDir(db.folder()).filePath(
        QStringLiteral("fenwa5_przed_odtworzeniem_%1.sqlite").arg(now.toString(QStringLiteral("yyyyMMdd_HHmmss"))));
    if (QFileInfo::exists(kept))
        throw Refusal{QStringLiteral("plik „%1” już istnieje.").arg(shown(kept))};
    try {
        db.copyTo(kept);
        db.replaceWith(restored);
    } catch (const data::EngineError &e) {
        throw Refusal{e.message()};
    }
    if (!osUser.isEmpty()) {
        try {
            db.registerRunningCopy(osUser);
        } catch (const data::EngineError &) {
            // The restored data are in place; only this copy is not listed.
        }
    }
    return kept;
}

} // namespace

Outcome restore(data::Database &db, const QString &zipFile, const QDateTime &now, const QString &osUser,
                data::FileListView *view)
{
    Progress progress(view, db.folder(), databaseName, {databaseName});
    QTemporaryDir work;
    if (!work.isValid())
        return {false, refusedText(zipFile, QStringLiteral("nie można utworzyć folderu tymczasowego: %1").arg(work.errorString()))};
    try {
        readArchive(zipFile, work.path());
        checkRestored(work.path());
        progress.at(0);
        const QString kept = putInPlace(db, work.filePath(databaseName), now, osUser);
        return {true, filesText(1, " został odtworzony", "ów zostało odtworzonych")
                          + QStringLiteral(" z archiwum: \"%1\".\nPoprzednia baza danych została zachowana w pliku \"%2\".")
                                .arg(shown(zipFile), shown(kept))};
    } catch (const Refusal &r) {
        return {false, refusedText(zipFile, r.reason), r.paradoxTables};
    } catch (const data::EngineError &e) {
        return {false, refusedText(zipFile, e.message())};
    }
}

Outcome restoreParadox(data::Database &db, const QString &zipFile, const QDateTime &now, const QString &osUser,
                       data::FileListView *view)
{
    QTemporaryDir work;
    if (!work.isValid())
        return {false, refusedText(zipFile, QStringLiteral("nie można utworzyć folderu tymczasowego: %1").arg(work.errorString()))};
    const QString old = work.filePath(QStringLiteral("paradox")), fresh = work.filePath(QStringLiteral("baza"));
    try {
        if (!QDir().mkpath(old) || !QDir().mkpath(fresh))
            throw Refusal{QStringLiteral("nie można utworzyć folderu tymczasowego.")};
        readParadoxArchive(zipFile, old);
        const QStringList tables = QDir(old).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        Progress progress(view, db.folder(), QStringLiteral("*.db"), tables, QStringLiteral("Przenoszenie danych ..."));
        const MigrationReport report = migrateLegacyFolder(old, fresh, now.date(), [&](const QString &file) {
            progress.at(int(tables.indexOf(file)));
        });
        if (report.tables.isEmpty())
            throw Refusal{QStringLiteral("żadna tabela z archiwum nie została przeniesiona.\n") + report.skipped.join(QLatin1Char('\n'))};
        checkRestored(fresh);
        const QString kept = putInPlace(db, QDir(fresh).filePath(databaseName), now, osUser);
        return {true, QStringLiteral("Dane poprzedniej wersji programu z archiwum \"%1\" zostały przeniesione do bazy danych.\n"
                                     "Poprzednia baza danych została zachowana w pliku \"%2\".\n\n%3")
                          .arg(shown(zipFile), shown(kept), report.text())};
    } catch (const Refusal &r) {
        return {false, refusedText(zipFile, r.reason)};
    } catch (const data::EngineError &e) {
        return {false, refusedText(zipFile, e.message())};
    }
}

} // namespace fenwa::admin
