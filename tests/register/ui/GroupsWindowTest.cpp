// The register's windows driven headless: open a register, work with groups,
// print, export and search.
#include "QtPrinters.h"
#include "Installation.h"
#include "data/Dane.h"
#include "data/Seed.h"
#include "output/XlsxReader.h"
#include "register/ui/RegisterWindows.h"
#include "reports/ui/Szukaj.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reg::ui;

namespace {

struct App : fenwa::testing::Installation {
    QWidget main;
    std::unique_ptr<RegisterWindows> windows;
    QString exported;

    explicit App(bool edycja = true) : Installation({.edycja = edycja})
    {
        windows = std::make_unique<RegisterWindows>(*dane, &main);
        windows->F_GrDok->openFile = [this](const QString &path) {
            exported = path;
            return true;
        };
    }
    TF_GrDok &groups() { return *windows->F_GrDok; }
    // Opens the register of the unit at `unitIndex` and runs `inGroups` inside the groups window.
    int open(int unitIndex, const std::function<int(TF_GrDok &)> &inGroups)
    {
        int result = -1;
        windows->runDialog = [&](QDialog &d) {
            if (&d == windows->F_Otworz) {
                windows->F_Otworz->ComboBox2->setCurrentIndex(unitIndex);
                return int(QDialog::Accepted);
            }
            if (&d == windows->F_ListaPoz)
                return int(QDialog::Rejected);   // the positions are another test's
            groups().show();
            result = inGroups(groups());
            if (groups().isVisible())
                groups().done(result);
            return result;
        };
        windows->Otwrz1Click();
        return result;
    }
    void addGroup(TF_GrDok &w, const QString &dok)
    {
        Table *g = dane->T_Gr;
        w.XDBNavigator1->insertButton()->click();
        g->setValue(QStringLiteral("Dok"), dok);
        g->setValue(QStringLiteral("Opis"), QStringLiteral("Opis ") + dok);
        g->setValue(QStringLiteral("Rozdz"), 2);
        g->setValue(QStringLiteral("Par"), 5);
        w.XDBNavigator1->postButton()->click();
    }
};

} // namespace

TEST(GroupsWindow, OpenAddCloseReopenAndChoose)
{
    App app;
    const int result = app.open(0, [&](TF_GrDok &w) {
        EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Dokumenty: ")));
        EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral(" za rok 2016, miesiąc marzec.")));
        // An empty month: the six buttons are off, of the table's menu items only "Dodaj".
        EXPECT_FALSE(w.BitBtn1->isEnabled());
        EXPECT_FALSE(w.BitBtn6->isEnabled());
        w.updateMenu();
        EXPECT_TRUE(w.mDodaj->isEnabled());
        EXPECT_FALSE(w.mUsun->isEnabled() || w.mZapisz->isEnabled() || w.mDrukuj->isEnabled());
        EXPECT_TRUE(w.mPozycje->isEnabled() && w.mKopiuj->isEnabled() && w.mSuma->isEnabled());

        w.XDBNavigator1->insertButton()->click();
        EXPECT_FALSE(w.BitBtn1->isEnabled());
        w.updateMenu();
        EXPECT_TRUE(w.mZapisz->isEnabled() && w.mRezygnuj->isEnabled());
        // Esc cancels the insert and does not close the window.
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&w, &esc);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(app.dane->T_Gr->state(), Dataset::State::Browse);

        app.addGroup(w, QStringLiteral("FV/1"));
        app.addGroup(w, QStringLiteral("FV/2"));
        EXPECT_EQ(app.dane->T_Gr->recordCount(), 2);
        EXPECT_TRUE(w.BitBtn1->isEnabled());

        w.mZamknij->trigger();
        EXPECT_EQ(app.messages.last(), QStringLiteral("Dokument FV/2 został zamknięty!"));
        auto *model = w.XDBGrid1->datasetModel();
        EXPECT_TRUE(model->data(model->index(1, 1), Qt::FontRole).value<QFont>().bold());
        EXPECT_FALSE(model->data(model->index(0, 1), Qt::FontRole).value<QFont>().bold());
        w.updateMenu();
        EXPECT_TRUE(w.mOtworz->isEnabled());
        EXPECT_FALSE(w.mZamknij->isEnabled());

        w.BitBtn1->click();   // "Pozycje"
        return w.result();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(app.reg.symbol, QStringLiteral("FV/2"));
    EXPECT_TRUE(app.reg.zk);
    EXPECT_FALSE(app.dane->T_Gr->active());
    EXPECT_EQ(app.reg.rozdz, app.dane->T_Rozdz->locate(QStringLiteral("Id"), 2)
                                 ? app.dane->T_Rozdz->asString(QStringLiteral("Rozdz"))
                                 : QString());
    EXPECT_TRUE(app.db->fileExists(app.reg.positionsFile()));   // "Pozycje" goes on to the positions
}

TEST(GroupsWindow, ExportPrintAndSearch)
{
    App app;
    reports::ui::TF_Szukaj search(app.messages, &app.main);
    search.addTarget([&]() -> Dataset * { return app.groups().isVisible() ? app.dane->T_Gr : nullptr; });
    app.groups().onSearch = [&](QWidget *owner) { search.showFor(owner); };
    QStringList printed;
    app.groups().onPrint = [&](const QString &layout) {
        printed << layout << QString::number(app.dane->Q_GrDok->recordCount());
    };

    app.open(0, [&](TF_GrDok &w) {
        for (const char *d : {"A/1", "B/2", "C/3"})
            app.addGroup(w, QString::fromLatin1(d));
        w.BitBtn4->click();
        EXPECT_EQ(printed, (QStringList{QStringLiteral("Rep_GrDok"), QStringLiteral("3")}));
        EXPECT_FALSE(app.dane->Q_GrDok->active());

        w.BitBtn2->click();
        EXPECT_FALSE(app.exported.isEmpty());
        auto book = testing_xlsx::read(app.exported);
        EXPECT_EQ(book.text(QStringLiteral("A1")), w.windowTitle());
        EXPECT_TRUE(book.merges.contains(QStringLiteral("A1:J1")));
        EXPECT_EQ(book.text(QStringLiteral("J2")), QStringLiteral("Użytkownik"));
        EXPECT_EQ(book.text(QStringLiteral("A3")), QStringLiteral("1"));
        EXPECT_EQ(book.text(QStringLiteral("B5")), QStringLiteral("C/3"));
        EXPECT_EQ(book.text(QStringLiteral("F4")), QStringLiteral("False"));
        EXPECT_EQ(book.text(QStringLiteral("H4")), QStringLiteral("admin"));
        // Rows 3 to the first free row are one box; the footer lines stand below
        // it, unbordered, in Arial.
        EXPECT_DOUBLE_EQ(book.font(QStringLiteral("B5")).size, 8);
        EXPECT_TRUE(book.border(QStringLiteral("C5")).bottom.isEmpty());
        EXPECT_EQ(book.border(QStringLiteral("C6")).bottom, QStringLiteral("thin"));
        EXPECT_TRUE(book.text(QStringLiteral("A6")).isEmpty());
        EXPECT_TRUE(book.text(QStringLiteral("A7")).startsWith(QStringLiteral("Eksport z programu ")));
        EXPECT_TRUE(book.text(QStringLiteral("A8")).startsWith(QStringLiteral("Data eksportu: ")));
        for (const char *ref : {"A7", "A8"}) {
            EXPECT_TRUE(book.border(QString::fromLatin1(ref)).left.isEmpty()) << ref;
            EXPECT_TRUE(book.border(QString::fromLatin1(ref)).top.isEmpty()) << ref;
            EXPECT_EQ(book.font(QString::fromLatin1(ref)).name, QStringLiteral("Arial")) << ref;
        }

        w.BitBtn5->click();
        EXPECT_TRUE(search.isVisible());
        EXPECT_EQ(search.parentWidget(), &w);   // takes input while the window is modal
        app.dane->T_Gr->first();
        search.Edit1->setText(QStringLiteral("c/3"));
        EXPECT_TRUE(search.Button1->isEnabled());
        search.Button1->click();
        EXPECT_EQ(app.dane->T_Gr->asString(QStringLiteral("Dok")), QStringLiteral("C/3"));
        EXPECT_EQ(w.XDBGrid1->currentIndex().row(), 2);
        search.close();
        return int(QDialog::Rejected);
    });
    // No searchable window is open any more.
    search.showFor(&app.main);
    search.Edit1->setText(QStringLiteral("x"));
    search.Button1->click();
    EXPECT_EQ(app.messages.last(), QStringLiteral("W tym oknie funkcja wyszukiwania nie działa."));
}

TEST(GroupsWindow, BrowseOnlyUserCannotChangeGroups)
{
    App app(false);
    app.open(0, [&](TF_GrDok &w) {
        EXPECT_FALSE(w.XDBNavigator1->insertButton()->isEnabled());
        w.mDodaj->trigger();
        EXPECT_EQ(app.dane->T_Gr->state(), Dataset::State::Browse);
        EXPECT_TRUE(app.messages.shown().isEmpty());
        return int(QDialog::Rejected);
    });
    // Leaving the groups window another way ends the flow before the positions.
    EXPECT_FALSE(app.db->fileExists(app.reg.positionsFile()));
}

TEST(OpenDialog, ProposesTodayAndEnablesOk)
{
    App app;
    TF_Otworz &d = *app.windows->F_Otworz;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Otwórz"));
    EXPECT_EQ(d.SpinEdit1->minimum(), 2011);
    EXPECT_EQ(d.SpinEdit1->maximum(), 2030);
    EXPECT_EQ(d.ComboBox3->count(), 12);
    EXPECT_EQ(d.ComboBox3->itemText(9), QStringLiteral("październik"));
    EXPECT_FALSE(d.BitBtn1->isEnabled());   // no unit chosen yet
    d.ComboBox3->setCurrentIndex(0);
    d.ComboBox2->setCurrentIndex(1);
    EXPECT_TRUE(d.BitBtn1->isEnabled());
    d.propose(QDate(2016, 3, 15));
    EXPECT_EQ(d.month(), 3);
    EXPECT_EQ(d.year(), 2016);
    EXPECT_EQ(d.ComboBox2->currentIndex(), 1);   // the unit stays
}

namespace {
void chooseChapterAndParagraph(App &app, TF_GrDok &w)
{
    {
        Table *g = app.dane->T_Gr;
        w.XDBNavigator1->insertButton()->click();
        g->setValue(QStringLiteral("Dok"), QStringLiteral("L/1"));
        g->setValue(QStringLiteral("Opis"), QStringLiteral("Opis"));
        auto *model = w.XDBGrid1->datasetModel();
        const int row = g->currentDisplayRow();

        // Chapter: the list of rozdz.db; the chosen row's Id goes into Rozdz.
        QModelIndex chapter = model->index(row, 2);
        ASSERT_TRUE(model->flags(chapter) & Qt::ItemIsEditable);
        w.XDBGrid1->setCurrentIndex(chapter);
        w.XDBGrid1->edit(chapter);
        auto *combo = w.XDBGrid1->viewport()->findChild<QComboBox *>();
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->count(), app.dane->T_Rozdz->recordCount());
        // The list is readable: no column narrower than its texts or heading,
        // one line a row, fifteen rows at once.
        auto *list = qobject_cast<QTableView *>(combo->view());
        ASSERT_NE(list, nullptr);
        const QFontMetrics fm = list->fontMetrics();
        for (int c = 0; c < list->model()->columnCount(); ++c) {
            int widest = fm.horizontalAdvance(list->model()->headerData(c, Qt::Horizontal).toString());
            for (int r = 0; r < list->model()->rowCount(); ++r)
                widest = std::max(widest, fm.horizontalAdvance(list->model()->index(r, c).data().toString()));
            EXPECT_GT(list->columnWidth(c), widest) << "column " << c;
        }
        EXPECT_LT(list->rowHeight(0), 2 * fm.height());
        EXPECT_EQ(combo->maxVisibleItems(), 15);
        combo->setCurrentIndex(1);
        w.XDBGrid1->commitEditor();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);   // the closed editor goes
        app.dane->T_Rozdz->moveTo(1);
        EXPECT_EQ(g->asInt(QStringLiteral("Rozdz")), app.dane->T_Rozdz->asInt(QStringLiteral("Id")));
        EXPECT_EQ(model->data(chapter).toString(), app.dane->T_Rozdz->asString(QStringLiteral("Rozdz")));

        // The paragraph list opens fifteen rows high, with a scroll bar for the rest.
        QModelIndex code = model->index(row, 3);
        w.XDBGrid1->setCurrentIndex(code);
        w.XDBGrid1->edit(code);
        combo = w.XDBGrid1->viewport()->findChild<QComboBox *>();
        ASSERT_NE(combo, nullptr);
        ASSERT_GT(combo->count(), 15);
        combo->showPopup();
        auto *codes = qobject_cast<QTableView *>(combo->view());
        ASSERT_NE(codes, nullptr);
        EXPECT_LT(codes->viewport()->height(), 17 * codes->rowHeight(0));
        EXPECT_GT(codes->verticalScrollBar()->maximum(), 0);
        EXPECT_TRUE(codes->verticalScrollBar()->isVisible());
        combo->hidePopup();
        w.XDBGrid1->commitEditor();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Paragraph by its name, typed: the row whose name it is.
        ASSERT_TRUE(app.dane->T_Par->locate(QStringLiteral("Par"), QStringLiteral("4210")));
        const QString name = app.dane->T_Par->asString(QStringLiteral("Opis"));
        QModelIndex paragraph = model->index(row, 4);
        w.XDBGrid1->setCurrentIndex(paragraph);
        w.XDBGrid1->edit(paragraph);
        combo = w.XDBGrid1->viewport()->findChild<QComboBox *>();
        ASSERT_NE(combo, nullptr);
        ASSERT_TRUE(combo->isEditable());
        combo->setEditText(name);
        w.XDBGrid1->commitEditor();
        EXPECT_EQ(g->asInt(QStringLiteral("Par")), app.dane->T_Par->asInt(QStringLiteral("Id")));
        EXPECT_EQ(model->data(model->index(row, 3)).toString(), QStringLiteral("4210"));

        w.XDBNavigator1->postButton()->click();
        EXPECT_EQ(g->state(), Dataset::State::Browse);
    }
}
} // namespace

TEST(GroupsWindow, ChapterAndParagraphFromTheirLists)
{
    App app;
    app.open(0, [&](TF_GrDok &w) {
        chooseChapterAndParagraph(app, w);
        return int(QDialog::Rejected);
    });
}

TEST(GroupsWindow, RefusedGroupsKeepWhatWasTyped)
{
    App app;
    app.open(0, [&](TF_GrDok &w) {
        app.addGroup(w, QStringLiteral("FV/1"));
        Table *g = app.dane->T_Gr;
        // The same symbol again (in this month or any other of the year).
        w.XDBNavigator1->insertButton()->click();
        g->setValue(QStringLiteral("Dok"), QStringLiteral("FV/1"));
        g->setValue(QStringLiteral("Opis"), QStringLiteral("Druga"));
        w.XDBNavigator1->postButton()->click();
        EXPECT_EQ(app.messages.last(), QStringLiteral("Pozycja \"FV/1\" już istnieje!"));
        EXPECT_EQ(app.messages.shown().last().title, QStringLiteral("Ostrzeżenie"));
        EXPECT_EQ(g->state(), Dataset::State::Insert);
        EXPECT_EQ(g->asString(QStringLiteral("Opis")), QStringLiteral("Druga"));
        // Without chapter and paragraph.
        g->setValue(QStringLiteral("Dok"), QStringLiteral("FV/2"));
        w.XDBNavigator1->postButton()->click();
        EXPECT_EQ(app.messages.last(),
                  QStringLiteral("Pola \"Symbol\", \"Rodział\", \"Paragraf\" i \"Opis\" nie mogą być puste!"));
        EXPECT_EQ(g->state(), Dataset::State::Insert);
        EXPECT_EQ(g->asString(QStringLiteral("Dok")), QStringLiteral("FV/2"));
        w.mRezygnuj->trigger();
        EXPECT_EQ(g->recordCount(), 1);
        return int(QDialog::Rejected);
    });
}

TEST(GroupsWindow, AGroupsFileThatCannotBeOpenedStopsTheFlow)
{
    App app;
    // A damaged groups file of the unit's year: it lacks the register's fields.
    app.db->exec(QStringLiteral("CREATE TABLE \"%1\" (Id AUTOINC, Dok CHAR(40), PRIMARY KEY (Id))")
                     .arg(app.db->path(QStringLiteral("g_2016_2000.db"))));
    bool groupsShown = false;
    app.open(0, [&](TF_GrDok &) {
        groupsShown = true;
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(groupsShown);
    ASSERT_EQ(app.messages.shown().size(), 1);
    EXPECT_EQ(app.messages.shown()[0].kind, Messages::Kind::Error);
    EXPECT_TRUE(app.messages.last().contains(QStringLiteral("g_2016_2000.db")));
}

TEST(GroupsWindow, AGroupChangedOnAnotherWorkstationKeepsWhatWasTyped)
{
    App app;
    auto other = Database::open(app.db->folder());
    app.open(0, [&](TF_GrDok &w) {
        app.addGroup(w, QStringLiteral("FV/1"));
        Table *g = app.dane->T_Gr;
        w.XDBNavigator1->editButton()->click();
        g->setValue(QStringLiteral("Opis"), QStringLiteral("Opis tutaj"));
        other->exec(QStringLiteral("UPDATE \"%1\" SET Opis = :o").arg(other->path(g->tableName())),
                    {{QStringLiteral(":o"), QStringLiteral("Opis tam")}});
        w.XDBNavigator1->postButton()->click();
        EXPECT_EQ(app.messages.shown().last().kind, Messages::Kind::Error);
        EXPECT_TRUE(app.messages.last().contains(QStringLiteral("zmieniony na innym stanowisku")));
        EXPECT_EQ(g->state(), Dataset::State::Edit);
        EXPECT_EQ(g->asString(QStringLiteral("Opis")), QStringLiteral("Opis tutaj"));
        // Cancelling shows the stored record; the change can then be made again.
        w.mRezygnuj->trigger();
        EXPECT_EQ(g->asString(QStringLiteral("Opis")), QStringLiteral("Opis tam"));
        w.XDBNavigator1->editButton()->click();
        g->setValue(QStringLiteral("Opis"), QStringLiteral("Opis tutaj"));
        w.XDBNavigator1->postButton()->click();
        EXPECT_EQ(g->state(), Dataset::State::Browse);
        return int(QDialog::Rejected);
    });
    Query q(other.get(), QStringLiteral("Q"));
    q.setSql({QStringLiteral("SELECT Opis FROM \"%1\"").arg(app.db->path(QStringLiteral("g_2016_2000.db")))});
    q.open();
    EXPECT_EQ(q.asString(QStringLiteral("Opis")), QStringLiteral("Opis tutaj"));
}

namespace {
// Two saved groups and a third being typed whose symbol repeats the first:
// its save is refused by the duplicate rule and it stays pending.
void typeRefusedGroup(App &app, TF_GrDok &w)
{
    app.addGroup(w, QStringLiteral("FV/1"));
    app.addGroup(w, QStringLiteral("FV/2"));
    Table *g = app.dane->T_Gr;
    w.XDBNavigator1->insertButton()->click();
    g->setValue(QStringLiteral("Dok"), QStringLiteral("FV/1"));
    g->setValue(QStringLiteral("Opis"), QStringLiteral("Wpisana"));
    g->setValue(QStringLiteral("Rozdz"), 2);
    g->setValue(QStringLiteral("Par"), 5);
    w.XDBNavigator1->postButton()->click();
    ASSERT_EQ(g->state(), Dataset::State::Insert);
    app.messages.clear();
}

void expectTypedGroupKept(App &app, int savedGroups)
{
    Table *g = app.dane->T_Gr;
    EXPECT_EQ(g->state(), Dataset::State::Insert);
    EXPECT_EQ(g->asString(QStringLiteral("Dok")), QStringLiteral("FV/1"));
    EXPECT_EQ(g->asString(QStringLiteral("Opis")), QStringLiteral("Wpisana"));
    EXPECT_EQ(g->recordCount(), savedGroups);   // the typed one is not saved
    EXPECT_EQ(app.messages.last(), QStringLiteral("Pozycja \"FV/1\" już istnieje!"));
}
} // namespace

TEST(GroupsWindow, CopyWhileTheTypedGroupIsRefusedKeepsItAndTheBuffer)
{
    App app;
    app.open(0, [&](TF_GrDok &w) {
        typeRefusedGroup(app, w);
        w.XDBGrid1->selectAll();
        w.mKopiuj->trigger();
        expectTypedGroupKept(app, 2);
        EXPECT_FALSE(w.logic().kopia());
        return int(QDialog::Rejected);
    });
}

TEST(GroupsWindow, FindNextWhileTheTypedGroupIsRefusedKeepsItAndTheCursor)
{
    App app;
    reports::ui::TF_Szukaj search(app.messages, &app.main);
    search.addTarget([&]() -> Dataset * { return app.dane->T_Gr; });
    app.open(0, [&](TF_GrDok &w) {
        typeRefusedGroup(app, w);
        const int row = app.dane->T_Gr->recNo();
        search.showFor(&w);
        search.Edit1->setText(QStringLiteral("FV/2"));
        search.Gora->setChecked(true);
        search.Button1->click();
        expectTypedGroupKept(app, 2);
        EXPECT_EQ(app.dane->T_Gr->recNo(), row);
        search.close();
        return int(QDialog::Rejected);
    });
}

TEST(GroupsWindow, PasteSavesTheTypedGroupFirstAndNeverDropsIt)
{
    App app;
    app.open(0, [&](TF_GrDok &w) {
        app.addGroup(w, QStringLiteral("KOP/1"));
        w.mKopiuj->trigger();
        EXPECT_TRUE(w.logic().kopia());
        typeRefusedGroup(app, w);

        // The typed group is refused: it stays as typed, nothing is pasted.
        w.mWklej->trigger();
        expectTypedGroupKept(app, 3);
        EXPECT_TRUE(w.logic().kopia());

        // Typed right, it is saved; the pasted copy of KOP/1 is refused and dropped.
        Table *g = app.dane->T_Gr;
        g->setValue(QStringLiteral("Dok"), QStringLiteral("FV/3"));
        w.mWklej->trigger();
        EXPECT_EQ(g->state(), Dataset::State::Browse);
        EXPECT_EQ(g->recordCount(), 4);
        EXPECT_TRUE(g->locate(QStringLiteral("Dok"), QStringLiteral("FV/3")));
        EXPECT_EQ(g->asString(QStringLiteral("Opis")), QStringLiteral("Wpisana"));
        return int(QDialog::Rejected);
    });
}

TEST(GroupsWindow, OrdersByATitleAndKeepsItsLayoutBetweenOpenings)
{
    App app;
    QHash<QString, fenwa::ui::LayoutValues> settings;
    fenwa::ui::GridLayoutStore store;
    store.read = [&](const QString &section) { return settings.value(section); };
    store.write = [&](const QString &section, const fenwa::ui::LayoutValues &v) { settings[section] = v; };
    app.groups().XDBGrid1->setLayoutStore(QString::fromLatin1(TF_GrDok::kGridLayoutSection), store);

    app.open(0, [&](TF_GrDok &w) {
        app.addGroup(w, QStringLiteral("FV/2"));
        app.addGroup(w, QStringLiteral("FV/1"));
        EXPECT_TRUE(w.XDBGrid1->orderByColumn(1));   // "Symbol"
        EXPECT_EQ(app.dane->T_Gr->valueAt(0, app.dane->T_Gr->fieldIndex(QStringLiteral("Dok"))).toString(),
                  QStringLiteral("FV/1"));
        EXPECT_FALSE(w.XDBGrid1->orderByColumn(2));   // "Rozdział" is looked up
        w.XDBGrid1->setColumnWidth(5, 300);
        return int(QDialog::Rejected);
    });
    const fenwa::ui::GridLayout saved = fenwa::ui::GridLayout::fromValues(settings.value("F_GrDok.XDBGrid1"));
    ASSERT_EQ(saved.columns.size(), 7);
    EXPECT_EQ(saved.columns[5].width, 300);
    EXPECT_EQ(saved.orderFields, QStringLiteral("Dok"));

    // Opened again, the window shows the stored widths and order.
    app.dane->T_Gr->setIndexName(QString());
    app.open(0, [&](TF_GrDok &w) {
        EXPECT_EQ(w.XDBGrid1->columnWidth(5), 300);
        EXPECT_EQ(app.dane->T_Gr->indexName(), QStringLiteral("Dok"));
        EXPECT_EQ(w.XDBGrid1->horizontalHeader()->sortIndicatorSection(), 1);
        return int(QDialog::Rejected);
    });
}
