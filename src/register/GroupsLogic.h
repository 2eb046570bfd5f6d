#pragma once
// What the document groups window does, without the window: the enabling
// rules, closing and reopening groups, the copy buffer, sums, information,
// and the group list for print and export.
#include "data/Dane.h"

#include <QVector>

namespace fenwa::reg {

struct GroupsMenuState {
    bool dodaj = false, usun = false, popraw = false, zapisz = false, rezygnuj = false;
    bool zamknij = false, otworz = false;
    bool szukaj = false, drukuj = false, eksport = false, informacje = false;
    bool wklej = false;
    // "Pozycje", "Kopiuj", "Suma" and "Wyjście" are always on.
};

class GroupsLogic {
public:
    static constexpr int bufferSize = 50;
    struct Entry {
        QString dok;
        QString opis;
        QVariant rozdz;
        QVariant par;
    };

    explicit GroupsLogic(data::TF_Dane &dane) : dane_(dane) {}

    // The six buttons: T_Gr browsing and not empty.
    bool buttonsEnabled() const;
    GroupsMenuState menuState() const;

    // "Pozycje": true when the window may close with OK.
    bool canShowPositions() const;
    // Closing the window: the current group goes to the main window's fields; T_Gr closes.
    void takeCurrentGroup();

    // "Zamknij" / "Otwórz": shows the outcome.
    void setClosed(bool closed);

    // "Kopiuj": rows of T_Gr in selection order. More rows than the buffer
    // holds, or a pending record that cannot be saved: the copy is refused
    // with a message and the buffer kept.
    void copy(const QVector<int> &rows);
    // "Wklej": a record being typed is saved first (refused: it stays as
    // typed, nothing is pasted); then each entry is appended and saved on its
    // own; refusals swallowed (a refused entry is cancelled so the next one
    // can go in).
    void paste();
    bool kopia() const { return kopia_; }
    int ile() const { return ile_; }
    const QVector<Entry> &buffer() const { return grgr_; }

    // "Suma": the sums of the current group in an information message.
    void sums();
    // "Informacje": who added and who last changed the group.
    void information();

    // The statement of Q_GrDok for the open register's month.
    QStringList groupListStatement() const;

private:
    data::TF_Dane &dane_;
    bool kopia_ = false;
    int ile_ = 0;
    QVector<Entry> grgr_;
};

} // namespace fenwa::reg
