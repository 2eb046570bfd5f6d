// The positions list driven headless: reached from the groups window, with a
// stand-in for the position editor that types a position and answers OK.
#include "Installation.h"
#include "QtPrinters.h"
#include "data/SqlBuilder.h"
#include "output/XlsxReader.h"
#include "register/ui/RegisterWindows.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reg::ui;
using fenwa::reg::ShownStatement;

namespace {

struct Position {
    const char *fak;
    double netto, podatki;
    int kontr = 1;
    QDate data{};
};

struct App : fenwa::testing::Installation {
    QWidget main;
    std::unique_ptr<RegisterWindows> windows;
    QTemporaryDir statements;
    QString exported;
    QStringList editorCaptions;
    std::function<void(Table &)> typed;   // what the stand-in editor types; none: it cancels

    explicit App(bool edycja = true, int p_w = 1) : Installation({.edycja = edycja, .p_w = p_w})
    {
        windows = std::make_unique<RegisterWindows>(*dane, &main);
        list().statementFolder = statements.path();
        list().openFile = [this](const QString &path) {
            exported = path;
            return true;
        };
        dane->rules.positionEditor = [this](Table &t, const QString &caption) {
            editorCaptions << caption;
            if (typed)
                typed(t);
            return bool(typed);
        };
    }
    TF_ListaPoz &list() { return *windows->F_ListaPoz; }
    QString wiw() { return unit("wiw.db", "20"); }
    QString county() { return unit("piw.db", "2003"); }

    // Opens the March register of `unitName`, chooses its group `dok` (made
    // when missing) and runs `inList` in the positions list.
    void open(const QString &unitName, const QString &dok, const std::function<void(TF_ListaPoz &)> &inList,
              bool closed = false)
    {
        bool listShown = false;
        windows->runDialog = [&](QDialog &d) {
            if (&d == windows->F_Otworz) {
                windows->F_Otworz->ComboBox2->setCurrentIndex(windows->F_Otworz->ComboBox2->findText(unitName));
                return int(QDialog::Accepted);
            }
            if (&d == windows->F_GrDok) {
                if (!dane->T_Gr->locate(QStringLiteral("Dok"), dok))
                    addGroup(dok, 3, closed);
                windows->F_GrDok->show();
                windows->F_GrDok->Pozycje();
                return windows->F_GrDok->result();
            }
            listShown = true;
            list().show();
            inList(list());
            if (list().isVisible())
                list().done(QDialog::Rejected);
            return list().result();
        };
        windows->Otwrz1Click();
        EXPECT_TRUE(listShown);
    }
    // "Dodaj": the editor types the position and answers OK.
    void add(TF_ListaPoz &w, const Position &p)
    {
        typed = [&](Table &t) {
            t.setValue(QStringLiteral("fak"), QString::fromUtf8(p.fak));
            t.setValue(QStringLiteral("pks"), QStringLiteral("201-01"));
            for (const char *link : {"cz", "zf", "jm", "ch", "gat", "prac"})
                t.setValue(QString::fromLatin1(link), 2);
            t.setValue(QStringLiteral("kontr"), p.kontr);
            if (p.data.isValid())
                t.setValue(QStringLiteral("data"), p.data);
            t.setValue(QStringLiteral("ilosc"), 1);
            t.setValue(QStringLiteral("cena"), p.netto + p.podatki);
            t.setValue(QStringLiteral("netto"), p.netto);
            t.setValue(QStringLiteral("podatki"), p.podatki);
            t.setValue(QStringLiteral("brutto"), p.netto + p.podatki);
        };
        w.updateMenu();
        w.mDodaj->trigger();
        typed = nullptr;
    }
    QStringList column(const char *field)
    {
        QStringList out;
        for (int r = 0; r < dane->T_Poz->recordCount(); ++r)
            out << dane->T_Poz->displayText(r, dane->T_Poz->fieldIndex(QString::fromLatin1(field)));
        return out;
    }
    bool bold(TF_ListaPoz &w, int row)
    {
        auto *m = w.XDBGrid1->datasetModel();
        return m->data(m->index(row, 2), Qt::FontRole).value<QFont>().bold();
    }
};

} // namespace

TEST(PositionsList, OpensFromTheGroupsWindowAndClosingSwitchesTheChoiceListFiltersOff)
{
    App app;
    app.open(app.wiw(), QStringLiteral("FV/1"), [&](TF_ListaPoz &w) {
        EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Grupa dokumentów: FV/1, Rozdział: ")));
        EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral(", rok 2016, miesiąc marzec - %1.").arg(app.wiw())));
        EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
        EXPECT_TRUE(app.dane->T_kontr->filtered());
        EXPECT_FALSE(app.dane->T_Poz->readOnly());

        app.add(w, {"FV/1-1", 100, 23});
        app.add(w, {"FV/1-2", 1000.5, 0.25});
        EXPECT_EQ(app.editorCaptions, (QStringList{QStringLiteral("Nowa pozycja"), QStringLiteral("Nowa pozycja")}));
        ASSERT_EQ(app.dane->T_Poz->recordCount(), 2);
        // A new position is dated the last day of the register's month.
        EXPECT_EQ(app.column("data"), (QStringList{QStringLiteral("31.03.2016"), QStringLiteral("31.03.2016")}));
        EXPECT_EQ(w.XDBGrid1->footerText(0), QStringLiteral("2"));
        EXPECT_EQ(w.XDBGrid1->footerText(8), QStringLiteral("1\u00a0100,50"));
        EXPECT_EQ(w.XDBGrid1->footerText(9), QStringLiteral("23,25"));
        EXPECT_EQ(w.XDBGrid1->footerText(10), QStringLiteral("1\u00a0123,75"));

        // A double click corrects the current position in the editor.
        app.dane->T_Poz->first();
        w.XDBGrid1->doubleClicked(w.XDBGrid1->currentIndex());
        EXPECT_EQ(app.editorCaptions.last(), QStringLiteral("Pozycja FV/1-1"));
        EXPECT_EQ(app.dane->T_Poz->state(), Dataset::State::Browse);   // the editor cancelled
    });
    EXPECT_FALSE(app.dane->T_Poz->active());
    for (Table *t : {app.dane->T_Zf, app.dane->T_Ch, app.dane->T_Cz, app.dane->T_kontr})
        EXPECT_FALSE(t->filtered()) << t->name().toStdString();
    EXPECT_FALSE(app.list().isVisible());
}

TEST(PositionsList, CopiesThreeRowsIntoAGroupOfAnotherRegister)
{
    App app;
    app.open(app.wiw(), QStringLiteral("A/1"), [&](TF_ListaPoz &w) {
        app.add(w, {"A-1", 10, 2.3});
        app.add(w, {"A-2", 20, 4.6, 1, QDate(2016, 3, 2)});
        app.add(w, {"A-3", 30, 6.9});
        app.add(w, {"A-4", 40, 9.2});
        w.XDBGrid1->clearSelection();
        auto *m = w.XDBGrid1->datasetModel();
        for (int row : {0, 1, 2})
            w.XDBGrid1->selectionModel()->select(m->index(row, 1),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
        w.updateMenu();
        w.mKopiuj->trigger();
        EXPECT_TRUE(w.logic().kopia());
        EXPECT_EQ(w.logic().ile(), 3);
    });
    const QStringList captionsBefore = app.editorCaptions;

    app.open(app.county(), QStringLiteral("B/1"), [&](TF_ListaPoz &w) {
        EXPECT_EQ(app.reg.kod, QStringLiteral("2003"));
        w.updateMenu();
        ASSERT_TRUE(w.mWklej->isEnabled());
        w.mWklej->trigger();
        Table *p = app.dane->T_Poz;
        ASSERT_EQ(p->recordCount(), 3);
        EXPECT_EQ(app.column("fak"), (QStringList{QStringLiteral("A-1"), QStringLiteral("A-2"), QStringLiteral("A-3")}));
        EXPECT_EQ(app.column("Dok"), QStringList(3, QString::number(app.reg.dok)));
        EXPECT_EQ(app.column("data")[1], QStringLiteral("02.03.2016"));
        EXPECT_EQ(app.column("brutto")[2], QStringLiteral("36,90"));
        EXPECT_EQ(app.column("ch"), QStringList(3, QStringLiteral("2")));
        EXPECT_EQ(app.column("wyd"), QStringList(3, QStringLiteral("True")));
        EXPECT_EQ(app.column("prac"), QStringList(3, QString()));   // no laboratory
        w.updateMenu();
        EXPECT_FALSE(w.mWklej->isEnabled());   // pasted once
    });
    EXPECT_EQ(app.editorCaptions, captionsBefore);   // a paste shows no editor
    EXPECT_TRUE(app.db->fileExists(QStringLiteral("p_2016_2003.db")));
}

TEST(PositionsList, AClosedGroupIsReadOnlyAndAPasteIntoItAddsNothingButEndsTheCopy)
{
    App app;
    app.open(app.wiw(), QStringLiteral("A/1"), [&](TF_ListaPoz &w) {
        app.add(w, {"A-1", 10, 2.3});
        w.updateMenu();
        w.mKopiuj->trigger();
    });
    app.open(app.wiw(), QStringLiteral("Z/1"), [&](TF_ListaPoz &w) {
        EXPECT_TRUE(app.dane->T_Poz->readOnly());
        EXPECT_FALSE(w.XDBNavigator1->insertButton()->isEnabled());
        w.updateMenu();
        EXPECT_FALSE(w.mDodaj->isEnabled());
        EXPECT_TRUE(w.mWklej->isEnabled());
        w.mWklej->trigger();
        EXPECT_EQ(app.dane->T_Poz->recordCount(), 0);
        EXPECT_FALSE(w.logic().kopia());
        EXPECT_TRUE(app.messages.shown().isEmpty());
    }, true);
}

TEST(PositionsList, APasteNeverDropsTheRecordBeingTyped)
{
    App app;
    app.open(app.wiw(), QStringLiteral("A/1"), [&](TF_ListaPoz &w) {
        app.add(w, {"A-1", 10, 2.3});
        w.updateMenu();
        w.mKopiuj->trigger();
        // While a copy is pending the navigator's insert leaves an empty
        // position, typed into here; its description is too long to save.
        Table *p = app.dane->T_Poz;
        w.XDBNavigator1->insertButton()->click();
        ASSERT_EQ(p->state(), Dataset::State::Insert);
        p->setValue(QStringLiteral("fak"), QStringLiteral("WPISANA"));
        p->setValue(QStringLiteral("opis"), QString(200, QLatin1Char('x')));

        w.updateMenu();
        w.mWklej->trigger();
        ASSERT_FALSE(app.messages.shown().isEmpty());
        EXPECT_EQ(app.messages.shown().last().kind, Messages::Kind::Error);
        EXPECT_EQ(p->state(), Dataset::State::Insert);
        EXPECT_EQ(p->asString(QStringLiteral("fak")), QStringLiteral("WPISANA"));
        EXPECT_EQ(p->recordCount(), 1);
        EXPECT_TRUE(w.logic().kopia());

        // Typed right, it is saved first, then the copy goes in.
        p->setValue(QStringLiteral("opis"), QStringLiteral("krótki"));
        w.mWklej->trigger();
        EXPECT_EQ(p->state(), Dataset::State::Browse);
        EXPECT_EQ(app.column("fak"), (QStringList{QStringLiteral("A-1"), QStringLiteral("WPISANA"), QStringLiteral("A-1")}));
    });
}

TEST(PositionsList, SumOfADocumentCountsItsRowsInTheGroupAndBoldsThemWhileShown)
{
    App app;
    app.open(app.wiw(), QStringLiteral("A/2"), [&](TF_ListaPoz &w) { app.add(w, {"F/1", 1000, 230}); });
    app.open(app.wiw(), QStringLiteral("A/1"), [&](TF_ListaPoz &w) {
        app.add(w, {"F/1", 100, 23});
        app.add(w, {"F/2", 10, 2.3});
        app.add(w, {"F/1", 50, 11.5});
        app.add(w, {"F\"3", 7, 1});   // a quote in the number is a value, not SQL

        const ShownStatement s = w.logic().sumStatement(QStringLiteral("F/1"), app.reg.dok);
        EXPECT_EQ(s.shown, (QStringList{QStringLiteral("Select SUM(netto) netto, SUM(podatki) podatki, SUM(brutto) brutto"),
                                        QStringLiteral("FROM \"%1\"").arg(tablePath(app.db->folder(), QStringLiteral("p_2016_2000.db"))),
                                        QStringLiteral("WHERE fak=\"F/1\" and Dok =%1").arg(app.reg.dok)}));

        QVector<bool> boldWhileShown;
        app.messages.onShown = [&](const ScriptedMessages::Shown &) {
            for (int row = 0; row < 4; ++row)
                boldWhileShown << app.bold(w, row);
        };
        app.dane->T_Poz->first();
        w.updateMenu();
        w.mSuma->trigger();
        EXPECT_EQ(boldWhileShown, (QVector<bool>{true, false, true, false}));
        EXPECT_EQ(app.messages.shown().last().title, QStringLiteral("Suma dokumentu: F/1"));
        EXPECT_EQ(app.messages.last(), QStringLiteral("Wartość netto: 150,00\nWartość zobowiązań publiczno - prawnych: "
                                                      "34,50\nWartość brutto: 184,50"));
        for (int row = 0; row < 4; ++row)
            EXPECT_FALSE(app.bold(w, row)) << row;

        app.dane->T_Poz->last();
        w.mSuma->trigger();
        EXPECT_EQ(app.messages.last(), QStringLiteral("Wartość netto: 7,00\nWartość zobowiązań publiczno - prawnych: "
                                                      "1,00\nWartość brutto: 8,00"));
        app.messages.onShown = nullptr;
    });
}

TEST(PositionsList, ExportHasTheLaboratoryColumnOnlyInAVoivodeship)
{
    const struct {
        int p_w;
        int columns;
        const char *last;
    } kinds[] = {{1, 23, "Pracownia"}, {2, 22, "Zakupy"}};
    for (const auto &kind : kinds) {
        SCOPED_TRACE(kind.p_w);
        App app(true, kind.p_w);
        const QString unit = kind.p_w == 1 ? app.wiw() : app.county();
        app.open(unit, QStringLiteral("E/1"), [&](TF_ListaPoz &w) {
            // An empty group: the title, the headings and the two export lines.
            w.BitBtn3->click();
            auto book = testing_xlsx::read(app.exported);
            EXPECT_EQ(book.text(QStringLiteral("A1")), w.windowTitle());
            EXPECT_TRUE(book.text(QStringLiteral("A3")).startsWith(QStringLiteral("Eksport z programu ")));
            EXPECT_TRUE(book.text(QStringLiteral("A4")).startsWith(QStringLiteral("Data eksportu: ")));
        });
        app.open(unit, QStringLiteral("A/1"), [&](TF_ListaPoz &w) {
            app.add(w, {"F/1", 100, 23});
            w.BitBtn3->click();
            QFile dump(QDir(app.statements.path()).filePath(QStringLiteral("poz.txt")));
            ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
            EXPECT_EQ(QString::fromUtf8(dump.readAll()), w.logic().exportStatement().join(QLatin1Char('\n')) + QLatin1Char('\n'));
            EXPECT_EQ(w.logic().exportStatement().first().endsWith(QStringLiteral(",prac.prac")), kind.p_w == 1);

            auto book = testing_xlsx::read(app.exported);
            int headings = 0;
            for (int c = 0; c < 26; ++c)
                if (!book.text(QChar(u'A' + c) + QStringLiteral("2")).isEmpty())
                    ++headings;
            EXPECT_EQ(headings, kind.columns);
            EXPECT_EQ(book.text(QChar(u'A' + kind.columns - 1) + QStringLiteral("2")), QString::fromUtf8(kind.last));
            EXPECT_TRUE(book.merges.contains(QStringLiteral("A1:%1").arg(QChar(u'A' + kind.columns - 1)) + QStringLiteral("1")));
            EXPECT_EQ(book.text(QStringLiteral("A3")), QStringLiteral("1"));
            EXPECT_EQ(book.text(QStringLiteral("J3")), QStringLiteral("F/1"));
            EXPECT_EQ(book.text(QStringLiteral("H3")), QStringLiteral("31.03.2016"));
            EXPECT_EQ(book.cells.value(QStringLiteral("P3")).type, QString());   // gross is a number
            EXPECT_DOUBLE_EQ(book.text(QStringLiteral("P3")).toDouble(), 123);
            EXPECT_EQ(book.numFmt(QStringLiteral("P3")), QStringLiteral("#,##0.00"));
            EXPECT_EQ(book.text(QStringLiteral("Q3")), QStringLiteral("True"));
            // Widths in characters, as the sheet stores them (with the cell padding).
            EXPECT_NEAR(book.colWidths.value(1), 5.71, 0.01);
            EXPECT_NEAR(book.colWidths.value(16), 15.71, 0.01);
            EXPECT_NEAR(book.colWidths.value(20), 30.71, 0.01);
            EXPECT_TRUE(book.text(QStringLiteral("A4")).startsWith(QStringLiteral("Eksport z programu ")));
        });
    }
}

TEST(PositionsList, OrderingByContractorKeepsTheOrderAndLpReturnsToTheKeyOrder)
{
    App app;
    app.open(app.wiw(), QStringLiteral("A/1"), [&](TF_ListaPoz &w) {
        app.add(w, {"K-1", 1, 0, 3, QDate(2016, 3, 3)});
        app.add(w, {"K-2", 1, 0, 1, QDate(2016, 3, 1)});
        app.add(w, {"K-3", 1, 0, 2, QDate(2016, 3, 2)});
        const QStringList byDate{QStringLiteral("K-2"), QStringLiteral("K-3"), QStringLiteral("K-1")};
        EXPECT_TRUE(w.XDBGrid1->orderByColumn(1));   // "Data"
        EXPECT_EQ(app.column("fak"), byDate);
        EXPECT_FALSE(w.XDBGrid1->orderByColumn(4));   // "Kontrahent" is looked up
        EXPECT_EQ(app.column("fak"), byDate);
        EXPECT_EQ(w.XDBGrid1->horizontalHeader()->sortIndicatorSection(), 1);
        EXPECT_TRUE(w.XDBGrid1->orderByColumn(0));   // "Lp"
        EXPECT_EQ(app.column("fak"), (QStringList{QStringLiteral("K-1"), QStringLiteral("K-2"), QStringLiteral("K-3")}));
    });
}

// The list names every position's contractor: one known only by a person's
// name shows that name, a hidden contractor and a hidden disease show theirs
// while the choice lists hide them, and a renamed contractor shows the new name.
TEST(PositionsList, NamesContractorsKnownByAPersonAndHiddenEntries)
{
    App app;
    Table *kontr = app.dane->T_kontr;
    auto contractor = [&](const QString &nazwa, const QString &osoba, bool hidden) {
        kontr->append();
        kontr->setValue(QStringLiteral("Nazwa"), nazwa);
        kontr->setValue(QStringLiteral("Im_naz"), osoba);
        kontr->setValue(QStringLiteral("Ukr"), hidden);
        kontr->post();
        return kontr->value(QStringLiteral("Id")).toInt();
    };
    const int person = contractor(QString(), QStringLiteral("Kowalska Anna"), false);
    const int hidden = contractor(QStringLiteral("Ukryta Sp. z o.o."), QString(), true);
    Table *ch = app.dane->T_Ch;
    ASSERT_TRUE(ch->locate(QStringLiteral("Id"), 2));
    const QString disease = ch->asString(QStringLiteral("Ch"));
    ch->edit();
    ch->setValue(QStringLiteral("Ukr"), true);
    ch->post();

    app.open(app.wiw(), QStringLiteral("N/1"), [&](TF_ListaPoz &w) {
        app.add(w, {"N-1", 10, 0, person});
        app.add(w, {"N-2", 20, 0, hidden});
        ASSERT_TRUE(kontr->filtered());
        ASSERT_LT(kontr->findRow(kontr->fieldIndex(QStringLiteral("Id")), hidden), 0);
        EXPECT_EQ(app.column("Kontrahent"), (QStringList{QStringLiteral("Kowalska Anna"), QStringLiteral("Ukryta Sp. z o.o.")}));
        EXPECT_EQ(app.column("Choroba"), (QStringList{disease, disease}));

        ASSERT_TRUE(kontr->locate(QStringLiteral("Id"), person));
        kontr->edit();
        kontr->setValue(QStringLiteral("Nazwa"), QStringLiteral("Gabinet Kowalska"));
        kontr->post();
        EXPECT_EQ(app.column("Kontrahent").first(), QStringLiteral("Gabinet Kowalska"));
    });
}
