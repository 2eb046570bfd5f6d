#pragma once
// The four commands of the main window's "Obsługa bazy danych" submenu as
// the user runs them: the data module's shared tables closed around each, the
// file list window showing the files treated, the outcome told in a message.
// The rights (arc for archiving, admin for restoring) are checked by the menu.
#include "admin/ui/Pliki.h"
#include "common/Clock.h"
#include "common/Messages.h"
#include "data/Dane.h"

#include <QString>

class QWidget;

namespace fenwa::admin {

struct MaintenanceContext {
    data::TF_Dane &dane;
    TF_Pliki &pliki;
    Messages &messages;
    Clock &clock;
    QString settingsFile;   // added to each archive
    QString osUser;         // this copy in the running-copies list
    QWidget *parent;        // of the file dialog
};

void Indeksowanie1Click(const MaintenanceContext &c);
void Pakowanie1Click(const MaintenanceContext &c);
// Archives into archiveFolder (the settings' "Archiwizacja").
void Archiwizowanie1Click(const MaintenanceContext &c, const QString &archiveFolder);
// Asks for an archive ("pliki zip|*.zip", starting in archiveFolder) and
// restores it; an archive of the previous program's Paradox folder is offered
// to the migration instead (paradoxArchiveQuestion).
void Odtwarzanie1Click(const MaintenanceContext &c, const QString &archiveFolder);
QString paradoxArchiveQuestion(const QString &zipFile, const QStringList &tables);

} // namespace fenwa::admin
