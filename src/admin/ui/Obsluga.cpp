#include "admin/ui/Obsluga.h"

#include "admin/Maintenance.h"

#include <QDir>
#include <QFileDialog>

namespace fenwa::admin {

namespace {

void tell(const MaintenanceContext &c, const Outcome &outcome)
{
    if (outcome.text.isEmpty())
        return;
    if (outcome.done)
        c.messages.information(outcome.text);
    else
        c.messages.error(outcome.text);
}

} // namespace

QString paradoxArchiveQuestion(const QString &zipFile, const QStringList &tables)
{
    return QStringLiteral("Archiwum \"%1\" zawiera tabele Paradox poprzedniej wersji programu (%2).\n"
                          "Przenieść z nich dane do bazy danych? Obecne dane zostaną zastąpione przeniesionymi; "
                          "poprzednia baza danych zostanie zachowana w osobnym pliku.")
        .arg(QDir::toNativeSeparators(zipFile),
             tables.mid(0, 5).join(QStringLiteral(", ")) + (tables.size() > 5 ? QStringLiteral("…") : QString()));
}

void Indeksowanie1Click(const MaintenanceContext &c)
{
    SharedTablesClosed closed(c.dane);
    try {
        reindex(*c.dane.database(), &c.pliki);
    } catch (const data::EngineError &e) {
        c.messages.error(e.message());
    }
}

void Pakowanie1Click(const MaintenanceContext &c)
{
    SharedTablesClosed closed(c.dane);
    tell(c, pack(*c.dane.database(), &c.pliki));
}

void Archiwizowanie1Click(const MaintenanceContext &c, const QString &archiveFolder)
{
    SharedTablesClosed closed(c.dane);
    tell(c, archive(*c.dane.database(), c.settingsFile, archiveFolder, c.clock.today(), &c.pliki));
}

void Odtwarzanie1Click(const MaintenanceContext &c, const QString &archiveFolder)
{
    SharedTablesClosed closed(c.dane);
    const QString file = QFileDialog::getOpenFileName(c.parent, QString(), archiveFolder,
                                                      QStringLiteral("pliki zip (*.zip)"));
    if (file.isEmpty())
        return;
    const Outcome restored = restore(*c.dane.database(), file, c.clock.now(), c.osUser, &c.pliki);
    if (restored.paradoxTables.isEmpty()) {
        tell(c, restored);
        return;
    }
    // The previous program's archive: offered to the migration.
    const QStringList &tables = restored.paradoxTables;
    if (!c.messages.question(paradoxArchiveQuestion(file, tables)))
        return;
    tell(c, restoreParadox(*c.dane.database(), file, c.clock.now(), c.osUser, &c.pliki));
}

} // namespace fenwa::admin
