// The position editor driven headless: a register's group is open, the record
// rules show the editor for every position inserted or edited, and a script
// plays the user while it is shown.
#include "common/ScriptedMessages.h"
#include "data/Dane.h"
#include "data/Guard.h"
#include "register/GroupsLogic.h"
#include "Installation.h"
#include "register/Register.h"
#include "register/ui/EdPoz.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reg;
using namespace fenwa::reg::ui;
using fenwa::ui::LookupCombo;

namespace {

struct Editor : fenwa::testing::Installation {
    QWidget main;
    std::unique_ptr<TF_EdPoz> w;
    // What the user does while the editor is shown; it ends with OK or Anuluj.
    std::function<void(TF_EdPoz &)> user = [](TF_EdPoz &e) { e.BitBtn2->click(); };
    QStringList captions;

    explicit Editor(int p_w = 1, int year = 2016, int month = 3) : Installation({.p_w = p_w})
    {
        RegisterFlow flow(*dane);
        flow.openGroups(year, month, unit("wiw.db", "20"));
        addGroup(QStringLiteral("FV/1"), month);
        dane->T_Gr->first();
        GroupsLogic(*dane).takeCurrentGroup();
        flow.openPositions();
        w = std::make_unique<TF_EdPoz>(*dane, &main);
        w->runModal = [this](TF_EdPoz &e) {
            captions << e.windowTitle();
            e.show();
            user(e);
            if (e.isVisible())
                e.QDialog::done(QDialog::Rejected);
            return e.result();
        };
        dane->rules.positionEditor = [this](Table &, const QString &caption) { return w->execute(caption); };
    }
    Table &poz() { return *dane->T_Poz; }
};

void leave(QWidget *control)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(control, &out);
}

} // namespace

TEST(PositionEditor, OkWaitsForEveryRequiredFieldAndTheSaveRunsTheRecordRules)
{
    Editor e;
    e.user = [&](TF_EdPoz &w) {
        EXPECT_EQ(w.DateTimePicker1->date(), QDate(2016, 3, 31));
        EXPECT_TRUE(w.CB_Wyd->isChecked() && w.CB_Kosz->isChecked() && w.CB_Dot->isChecked());
        EXPECT_FALSE(w.BitBtn1->isEnabled());
        const QList<QWidget *> required = {w.E_Pks, w.C_Kontr, w.C_Cz, w.C_Jm, w.E_Ilosc, w.E_Cena,
                                           w.E_Brutto, w.C_Zf, w.E_Fak};
        for (QWidget *c : required)
            EXPECT_TRUE(TF_EdPoz::markedEmpty(c)) << c->metaObject()->className();
        EXPECT_FALSE(TF_EdPoz::markedEmpty(w.E_Opis));
        EXPECT_FALSE(TF_EdPoz::markedEmpty(w.C_Ch));

        // Filled one by one: each loses its colour, OK waits for the last.
        QTest::keyClicks(w.E_Pks, QStringLiteral("12/3"));
        for (LookupCombo *c : {w.C_Kontr, w.C_Cz, w.C_Jm, w.C_Zf})
            QTest::keyClick(c, Qt::Key_Down);
        QTest::keyClicks(w.E_Ilosc, QStringLiteral("3"));
        leave(w.E_Ilosc);
        QTest::keyClicks(w.E_Brutto, QStringLiteral("10"));
        leave(w.E_Brutto);   // the price follows from gross and quantity
        EXPECT_EQ(w.E_Cena->text(), QStringLiteral("3,3333"));
        for (QWidget *c : required)
            EXPECT_EQ(TF_EdPoz::markedEmpty(c), c == w.E_Fak) << c->metaObject()->className();
        EXPECT_FALSE(w.BitBtn1->isEnabled());
        w.done(QDialog::Accepted);   // not even by another way
        EXPECT_TRUE(w.isVisible());
        QTest::keyClicks(w.E_Fak, QStringLiteral("F"));   // the last one: OK at once
        EXPECT_TRUE(w.BitBtn1->isEnabled());
        EXPECT_FALSE(TF_EdPoz::markedEmpty(w.E_Fak));
        QTest::keyClicks(w.E_Fak, QStringLiteral("V/7"));
        w.BitBtn1->click();
    };
    e.poz().append();

    EXPECT_EQ(e.captions, QStringList{QStringLiteral("Nowa pozycja")});
    ASSERT_EQ(e.poz().state(), Dataset::State::Browse);
    ASSERT_EQ(e.poz().recordCount(), 1);
    e.dane->T_kontr->first();
    EXPECT_EQ(e.poz().asInt(QStringLiteral("Kontr")), e.dane->T_kontr->asInt(QStringLiteral("Id")));
    EXPECT_EQ(e.poz().asString(QStringLiteral("Fak")), QStringLiteral("FV/7"));
    EXPECT_DOUBLE_EQ(e.poz().asFloat(QStringLiteral("cena")), 3.3333);
    // Saved, then told that net and charges do not add up to gross.
    EXPECT_EQ(e.messages.last(), QStringLiteral("Niezgodność sumy: 0,00 + 0,00 = 0,00. Kwota brutto wynosi 10,00.\n"));
}

TEST(PositionEditor, AmountsAreDerivedWhenLeftAndTextThatIsNoNumberIsRefused)
{
    Editor e;
    e.user = [&](TF_EdPoz &w) {
        QTest::keyClicks(w.E_Ilosc, QStringLiteral("3"));
        leave(w.E_Ilosc);
        QTest::keyClicks(w.E_Cena, QStringLiteral("1,237"));
        leave(w.E_Cena);
        EXPECT_EQ(w.E_Brutto->text(), QStringLiteral("3,71"));

        w.E_Brutto->clear();
        QTest::keyClicks(w.E_Brutto, QStringLiteral("100"));
        leave(w.E_Brutto);
        QTest::keyClicks(w.E_Netto, QStringLiteral("81,30"));
        leave(w.E_Netto);
        EXPECT_EQ(w.E_Podatki->text(), QStringLiteral("18,7"));

        // The label recomputes the price from gross and quantity.
        EXPECT_EQ(w.L_Cena->toolTip(), QStringLiteral("Kliknij aby przeliczyć koszt jednostkowy brutto"));
        QTest::mouseClick(w.L_Cena, Qt::LeftButton);
        EXPECT_EQ(w.E_Cena->text(), QStringLiteral("33,3333"));

        // Text that is no number: a message, and the field keeps its value.
        w.E_Netto->clear();
        QTest::keyClicks(w.E_Netto, QStringLiteral("abc"));
        leave(w.E_Netto);
        EXPECT_EQ(e.messages.last(), QStringLiteral("Wartość „abc” nie jest liczbą (pole „Netto”). "
                                                    "Pole zachowuje poprzednią wartość."));
        EXPECT_DOUBLE_EQ(e.poz().asFloat(QStringLiteral("netto")), 81.30);
        EXPECT_EQ(w.E_Netto->text(), QStringLiteral("81,3"));

        // OK with such text keeps the editor open on it.
        w.E_Podatki->clear();
        QTest::keyClicks(w.E_Podatki, QStringLiteral("12x"));
        e.messages.clear();
        w.done(QDialog::Accepted);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(e.messages.texts().size(), 1);
        EXPECT_DOUBLE_EQ(e.poz().asFloat(QStringLiteral("podatki")), 18.70);
        w.BitBtn2->click();
    };
    e.poz().append();
    EXPECT_EQ(e.poz().recordCount(), 0);
}

TEST(PositionEditor, ARefusedSaveLeavesThePositionInEditStateWithTheTypedValues)
{
    Editor e;
    Table &p = e.poz();
    auto rules = std::exchange(e.dane->rules.positionEditor, nullptr);
    p.append();
    for (const char *f : {"Kontr", "Cz", "jm", "zf", "ilosc", "cena", "brutto", "netto", "Pks"})
        p.setValue(QString::fromLatin1(f), 1);
    p.setValue(QStringLiteral("Fak"), QStringLiteral("FV/1"));
    p.post();
    e.dane->rules.positionEditor = rules;

    e.user = [&](TF_EdPoz &w) {
        EXPECT_EQ(w.E_Fak->text(), QStringLiteral("FV/1"));
        w.E_Fak->selectAll();
        QTest::keyClicks(w.E_Fak, QStringLiteral("FV/2"));
        // Meanwhile another workstation changes the position.
        e.db->exec(QStringLiteral("UPDATE \"%1\" SET Opis = :o WHERE Id = :i").arg(e.db->path(e.reg.positionsFile())),
                   {{QStringLiteral("o"), QStringLiteral("inny")}, {QStringLiteral("i"), p.asInt(QStringLiteral("Id"))}});
        ASSERT_TRUE(w.BitBtn1->isEnabled());
        w.BitBtn1->click();
    };
    // A copy pending in the positions list ends when the editor opens; the
    // list's command swallows the refusal, as every list command does.
    e.dane->rules.kopia = true;
    EXPECT_FALSE(quiet([&] { p.edit(); }));
    EXPECT_FALSE(e.dane->rules.kopia);
    EXPECT_EQ(e.captions, QStringList{QStringLiteral("Pozycja FV/1")});
    EXPECT_EQ(p.state(), Dataset::State::Edit);
    EXPECT_EQ(p.asString(QStringLiteral("Fak")), QStringLiteral("FV/2"));
}

TEST(PositionEditor, EachDictionaryButtonOpensItsPageAndWritesThePickedId)
{
    Editor e;
    struct Row {
        LookupCombo *TF_EdPoz::*combo;
        int page;
        const char *field;
        Table *TF_Dane::*dictionary;
    };
    const Row rows[] = {{&TF_EdPoz::C_Kontr, 10, "Kontr", &TF_Dane::T_kontr}, {&TF_EdPoz::C_Ch, 3, "Ch", &TF_Dane::T_Ch},
                        {&TF_EdPoz::C_Gat, 4, "Gat", &TF_Dane::T_Gat},       {&TF_EdPoz::C_Cz, 6, "Cz", &TF_Dane::T_Cz},
                        {&TF_EdPoz::C_Jm, 5, "jm", &TF_Dane::T_Jm},          {&TF_EdPoz::C_Zf, 2, "Zf", &TF_Dane::T_Zf},
                        {&TF_EdPoz::C_Bd, 7, "Bd", &TF_Dane::T_Bd},          {&TF_EdPoz::C_Bp, 8, "Bp", &TF_Dane::T_Bp},
                        {&TF_EdPoz::C_Zak, 9, "Zak", &TF_Dane::T_Zak},       {&TF_EdPoz::C_Ob, 11, "Ob", &TF_Dane::T_ob},
                        {&TF_EdPoz::C_Prac, 13, "Prac", &TF_Dane::T_Prac}};
    std::optional<qlonglong> answer;
    QList<int> pages;
    e.w->pickFromDictionary = [&](int page) {
        pages << page;
        return answer;
    };
    e.user = [&](TF_EdPoz &w) {
        for (const Row &r : rows) {
            const QString field = QString::fromLatin1(r.field);
            SCOPED_TRACE(r.field);
            Table *dictionary = e.dane.get()->*r.dictionary;
            ASSERT_GE(dictionary->recordCount(), 1);
            dictionary->last();
            const qlonglong id = dictionary->asInt(QStringLiteral("Id"));
            QToolButton *button = w.dictionaryButton(w.*r.combo);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->toolTip(), QStringLiteral("Słownik"));
            answer = std::nullopt;   // closed without OK: the field stays
            button->click();
            EXPECT_TRUE(e.poz().isNull(field));
            answer = id;
            button->click();
            EXPECT_EQ(e.poz().asInt(field), id);
            EXPECT_EQ((w.*r.combo)->currentId().toLongLong(), id);
            EXPECT_EQ(pages.mid(pages.size() - 2), (QList<int>{r.page, r.page}));
        }
        w.BitBtn2->click();
    };
    e.poz().append();
}

TEST(PositionEditor, TheLookupListsAreWorkedFromTheKeyboard)
{
    Editor e;
    e.user = [&](TF_EdPoz &w) {
        LookupCombo *c = w.C_Cz;
        Table *cz = e.dane->T_Cz;
        ASSERT_GT(cz->recordCount(), 2);
        cz->moveTo(1);
        const QString second = cz->asString(QStringLiteral("Cz"));
        // Typing looks the row up by its text.
        QTest::keyClicks(c, second.left(6));
        EXPECT_EQ(c->currentText(), second);
        EXPECT_EQ(e.poz().asInt(QStringLiteral("Cz")), cz->asInt(QStringLiteral("Id")));
        // The arrow keys move through the rows, Backspace empties.
        QTest::keyClick(c, Qt::Key_Down);
        cz->moveTo(c->currentIndex());
        EXPECT_EQ(e.poz().asInt(QStringLiteral("Cz")), cz->asInt(QStringLiteral("Id")));
        QTest::keyClick(c, Qt::Key_Backspace);
        EXPECT_EQ(c->currentIndex(), -1);
        EXPECT_TRUE(e.poz().isNull(QStringLiteral("Cz")));
        EXPECT_TRUE(TF_EdPoz::markedEmpty(c));
        EXPECT_FALSE(w.BitBtn1->isEnabled());
        // The list shows fifteen rows, and a dictionary row added meanwhile.
        EXPECT_EQ(c->maxVisibleItems(), 15);
        const int before = c->count();
        cz->append();
        cz->setValue(QStringLiteral("Cz"), QStringLiteral("Nowa czynność"));
        cz->post();
        c->showPopup();
        EXPECT_EQ(c->count(), before + 1);
        c->hidePopup();
        w.BitBtn2->click();
    };
    e.poz().append();
}

TEST(PositionEditor, TabLeavesTheDateForTheNextFieldInsteadOfItsMonth)
{
    Editor e;
    e.user = [&](TF_EdPoz &w) {
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        w.DateTimePicker1->setFocus(Qt::TabFocusReason);
        const QDate date = w.DateTimePicker1->date();
        QTest::keyClick(w.DateTimePicker1, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w.E_Pks);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12/3"));
        EXPECT_EQ(w.DateTimePicker1->date(), date);
        EXPECT_EQ(w.E_Pks->text(), QStringLiteral("12/3"));
        QTest::keyClick(w.E_Pks, Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), w.DateTimePicker1);
        w.BitBtn2->click();
    };
    e.poz().append();
}

TEST(PositionEditor, TheLaboratoryOnlyInAVoivodeshipInstallationAndTheExtraFieldsFold)
{
    for (int p_w : {1, 2}) {
        Editor e(p_w);
        QList<int> heights;
        e.user = [&](TF_EdPoz &w) {
            heights << w.height();
            w.CB_Dodatkowe->click();   // the tick stays for the next opening
            heights << w.height();
            EXPECT_EQ(w.C_Zak->isVisible(), w.CB_Dodatkowe->isChecked());
            EXPECT_EQ(w.C_Prac->isVisible(), w.CB_Dodatkowe->isChecked() && p_w == 1);
            w.BitBtn2->click();
        };
        e.poz().append();
        e.poz().append();
        ASSERT_EQ(heights.size(), 4);
        EXPECT_LT(heights[0], heights[1]);
        EXPECT_EQ(heights[2], heights[1]);
        EXPECT_LT(heights[3], heights[2]);
    }
}

// A position whose contractor was hidden after it was chosen shows the
// contractor's name in the editor, and emptying the box empties it.
TEST(PositionEditor, AHiddenContractorKeepsItsNameInTheBox)
{
    Editor e;
    Table *kontr = e.dane->T_kontr;
    kontr->last();
    const qlonglong id = kontr->asInt(QStringLiteral("Id"));
    const QString name = kontr->asString(QStringLiteral("Nazwa"));
    ASSERT_FALSE(name.isEmpty());
    Table &p = e.poz();
    auto rules = std::exchange(e.dane->rules.positionEditor, nullptr);
    p.append();
    for (const char *f : {"Cz", "jm", "zf", "ilosc", "cena", "brutto", "netto", "Pks"})
        p.setValue(QString::fromLatin1(f), 1);
    p.setValue(QStringLiteral("Kontr"), id);
    p.setValue(QStringLiteral("Fak"), QStringLiteral("FV/1"));
    p.post();
    e.dane->rules.positionEditor = rules;
    kontr->edit();
    kontr->setValue(QStringLiteral("Ukr"), true);
    kontr->post();
    ASSERT_LT(kontr->findRow(kontr->fieldIndex(QStringLiteral("Id")), id), 0) << "hidden from choosing";

    e.user = [&](TF_EdPoz &w) {
        EXPECT_EQ(w.C_Kontr->shownText(), name);
        w.C_Kontr->setFocus();
        QTest::keyClick(w.C_Kontr, Qt::Key_Backspace);
        EXPECT_TRUE(w.C_Kontr->shownText().isEmpty());
        EXPECT_TRUE(p.isNull(QStringLiteral("Kontr")));
        w.BitBtn2->click();
    };
    p.edit();
    EXPECT_EQ(e.captions, QStringList{QStringLiteral("Pozycja FV/1")});
}
