#include "admin/ui/Obsluga.h"

#include "admin/Maintenance.h"

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
    tell(c, restore(*c.dane.database(), file, c.clock.now(), c.osUser, &c.pliki));
}

} // namespace fenwa::admin
