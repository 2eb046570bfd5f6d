#pragma once
// The data module: the one owner of every table, data source and query of
// the program. It opens and upgrades the shared tables at start-up; the
// record rules are bound to its tables.
#include "common/Clock.h"
#include "common/Messages.h"
#include "common/CurrentUser.h"
#include "common/OpenRegister.h"
#include "common/RunSettings.h"
#include "data/BatchMove.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/Rules.h"
#include "data/Table.h"

#include <QObject>
#include <vector>

namespace fenwa::data {

class TF_Dane : public QObject {
    Q_OBJECT
public:
    TF_Dane(Database *db, const CurrentUser &user, const RunSettings &settings, OpenRegister &reg,
            Messages &messages, Clock &clock, QObject *parent = nullptr);
    ~TF_Dane() override;

    // The opening sequence of start-up. On an engine error it stops at that
    // step, shows the error in the engine's words and returns false; the
    // tables of later steps stay closed.
    bool open();
    // Every shared table (for maintenance, which closes and reopens them).
    QVector<Table *> sharedTables() const;

    Database *database() const { return db_; }
    const CurrentUser &user() const { return user_; }
    const RunSettings &settings() const { return settings_; }
    OpenRegister &openRegister() { return reg_; }
    Messages &messages() { return messages_; }
    Clock &clock() { return clock_; }

    // Points T_Gr and T_Poz at a register's files (names from the suffix).
    void setRegister(const QString &suffix);

    // Tables.
    Table *T_Passwd, *T_WIW, *T_PIW, *T_Jp;
    Table *T_Rozdz, *T_Par, *T_Zf, *T_Ch, *T_Gat, *T_Jm, *T_kontr, *T_Bd, *T_Bp, *T_Cz, *T_Zak,
        *T_Prac, *T_ob;
    Table *T_Gr, *T_Poz, *T_Plan, *T_Temp;
    // Data sources.
    DataSource *DS_Passwd, *DS_WIW, *DS_PIW, *DS_Jp, *DS_Rozdz, *DS_Par, *DS_Zf, *DS_Ch, *DS_Gat,
        *DS_Jm, *DS_kontr, *DS_Bd, *DS_Bp, *DS_Cz, *DS_Zak, *DS_Prac, *DS_ob, *DS_Gr, *DS_Poz, *DS_Q_Rob;
    // What the record rules read besides the module: the set-password flag
    // `Pas`, the positions list's copy flag `kopia`, the file-list window that
    // shows the reference scans, and the position editor.
    RuleContext rules;

    // Queries.
    Query *Q_Create, *Q_Rob, *Q_GrDok, *Q_Suma, *Q_Simple, *Q_Kryt, *Q_Plan, *Q_Slownik;
    // The names positions show for their contractor ("Nazwa", the person's
    // name when that is blank), disease ("Ch") and activity ("Cz"): every
    // row, hidden ones too, whatever the dictionary table's filter; read
    // again whenever the dictionary's rows change.
    Query *Q_KontrNazwy, *Q_ChNazwy, *Q_CzNazwy;
    BatchMove BatchMove1;

private:
    void openShared(Table *t, bool writable);
    struct NameList {
        Table *dictionary;
        Query *names;
        QString file, expression, field;
        quint64 readAt = ~quint64(0);   // the dictionary's records version the names were read at
    };
    void readNames(NameList &list);
    void openUpgrading(Table *t, const QString &file, bool writable);
    Table *makeTable(const QString &name, const QString &file);

    Database *db_;
    const CurrentUser &user_;
    const RunSettings &settings_;
    OpenRegister &reg_;
    Messages &messages_;
    Clock &clock_;
    std::vector<NameList> nameLists_;
};

} // namespace fenwa::data
