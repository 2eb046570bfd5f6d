#pragma once
// What the positions list does, without the window: the enabling rules of
// its menu, the copy buffer and the paste into the group now open, the sums
// of one source document with the highlight of its rows, who added and last
// changed a position, and the export statement.
//
// The copy flag is the data module's `rules.kopia`: while it is set, a new
// position gets its defaults but no editor (the paste fills and saves it),
// and the editor clears it when it opens.
#include "data/Dane.h"

#include <QDate>
#include <QVector>

namespace fenwa::reg {

struct PositionsMenuState {
    bool dodaj = false, usun = false, popraw = false, zapisz = false, rezygnuj = false;
    bool kopiuj = false, wklej = false;
    bool szukaj = false, drukuj = false, eksport = false, informacje = false, suma = false;
};

// A statement as the dump file shows it (values written in) and as it runs
// (values bound).
struct ShownStatement {
    QStringList shown;
    QStringList sql;
    data::Params params;
};

class PositionsLogic {
public:
    static constexpr int bufferSize = 50;
    // One copied position: its links, amounts, texts, date and flags; not the
    // laboratory, the group, the identifier or the stamps. Blank values stay blank.
    struct Entry {
        QVariant data, pks, fak, kontr, ilosc, cena, netto, brutto, podatki;
        QVariant ch, gat, jm, bd, bp, zak, ob, opis, cz, zf, wyd, kosz, dot;
    };

    explicit PositionsLogic(data::TF_Dane &dane) : dane_(dane) {}

    PositionsMenuState menuState() const;

    // "Kopiuj": rows of T_Poz. More rows than the buffer holds, or a pending
    // record that cannot be saved: the copy is refused (with a message for
    // the first) and the buffer kept. No row: nothing changes.
    void copy(const QVector<int> &rows);
    // "Wklej": a record being typed is saved first (refused: it stays as
    // typed, nothing is pasted and the copy stays pending); then each entry
    // is appended to the group now open and saved on its own, a refused one
    // dropped. The copy ends in every other case, also when the group is
    // read-only (nothing is added then).
    void paste();
    bool kopia() const { return dane_.rules.kopia; }
    void endCopy() { dane_.rules.kopia = false; }
    int ile() const { return ile_; }
    const QVector<Entry> &buffer() const { return pp_; }

    // "Suma": the current position's document is highlighted (`repaint` is
    // called when the highlight goes on and off), its sums within the group
    // are shown in an information box, then the highlight goes. Failures
    // show nothing.
    void sums(const std::function<void()> &repaint);
    // Whether row `row` of T_Poz belongs to the highlighted document.
    bool highlighted(int row) const;
    // Q_Suma for a document number in a group.
    ShownStatement sumStatement(const QString &fak, int group) const;

    // "Informacje": who added and who last changed the current position.
    void information();

    // The export statement of the open group: the voivodeship installation
    // adds the laboratory.
    QStringList exportStatement() const;

private:
    data::TF_Dane &dane_;
    int ile_ = 0;
    QVector<Entry> pp_;
    bool wyr_ = false;
    QString fwyr_;
};

} // namespace fenwa::reg
