// The dictionaries window driven headless: Polish search and order, filter
// toggles, picking for the position editor, menus per tab, rights, the
// refused deletion of a used entry, export and the entry statement.
#include "QtPrinters.h"
#include "data/Demo.h"
#include "Installation.h"
#include "dictionaries/ui/Slowniki.h"
#include "output/XlsxReader.h"
#include "Installation.h"
#include "WaitUntil.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::dictionaries;
using namespace fenwa::dictionaries::ui;

namespace {

struct Window : fenwa::testing::Installation {
    std::unique_ptr<TF_Slowniki> w;
    QString exported;
    QString printedLayout, printedTitle;
    int printedRows = -1;

    explicit Window(bool edycja = true, int p_w = 1, bool slowniki = true) : Installation({.edycja = edycja, .p_w = p_w})
    {
        if (!slowniki) {
            user.slowniki = false;
            EXPECT_TRUE(open());
        }
        w = std::make_unique<TF_Slowniki>(*dane);
        w->openFile = [this](const QString &path) {
            exported = path;
            return true;
        };
        w->onPrint = [this](const QString &layout, const output::ReportSource &source, const QString &title) {
            printedLayout = layout;
            printedTitle = title;
            printedRows = source.rowCount();
        };
        w->dumpFolder = dir.path();
    }
    // Contractors of the test only, by name and hidden flag.
    void contractors(const QVector<QPair<QString, bool>> &rows)
    {
        db->exec(QStringLiteral("DELETE FROM \"%1\"").arg(db->path(QStringLiteral("kontr.db"))));
        Table *t = dane->T_kontr;
        t->refresh();
        for (const auto &[name, hidden] : rows) {
            t->append();
            t->setValue(QStringLiteral("Nazwa"), name);
            t->setValue(QStringLiteral("Ukr"), hidden);
            t->post();
        }
    }
    QStringList names(Table *t, const char *field)
    {
        QStringList out;
        for (int r = 0; r < t->recordCount(); ++r)
            out << t->valueAt(r, t->fieldIndex(QString::fromLatin1(field))).toString();
        return out;
    }
    // Typed as a keyboard types it (any letter, Polish ones too).
    static void type(QWidget *widget, const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
        }
    }
    void clickTitle(int page, int column) { emit w->grid(page)->horizontalHeader()->sectionClicked(column); }
};

const int kKontr = tabIndex(QStringLiteral("Tab_kontr"));

} // namespace

// Ordering by "Nazwa kontrahenta" follows the Polish alphabet, and typing
// moves to the first name at or after the typed text in that order; a
// control key clears the typed text; a title click clears it too.
TEST(DictionariesWindow, PolishOrderAndIncrementalSearch)
{
    Window app;
    app.contractors({{QStringLiteral("Żary"), false}, {QStringLiteral("Lublin"), false},
                     {QStringLiteral("Zabrze"), false}, {QStringLiteral("Łódź"), false},
                     {QStringLiteral("Ząbki"), false}, {QStringLiteral("Łańcut"), false},
                     {QStringLiteral("Kraków"), false}});
    app.w->setPage(kKontr);
    app.clickTitle(kKontr, 0);
    Table *t = app.dane->T_kontr;
    EXPECT_EQ(t->indexName(), QStringLiteral("Nazwa"));
    EXPECT_EQ(app.names(t, "Nazwa"), (QStringList{QStringLiteral("Kraków"), QStringLiteral("Lublin"),
                                                  QStringLiteral("Łańcut"), QStringLiteral("Łódź"),
                                                  QStringLiteral("Zabrze"), QStringLiteral("Ząbki"),
                                                  QStringLiteral("Żary")}));
    fenwa::ui::DbGrid *grid = app.w->grid(kKontr);
    const struct {
        const char *typed;
        const char *lands;
    } cases[] = {{"Ł", "Łańcut"}, {"Ło", "Łódź"}, {"Ż", "Żary"}, {"Zą", "Ząbki"}, {"Ku", "Lublin"}, {"Ko", "Kraków"}};
    for (const auto &c : cases) {
        QTest::keyClick(grid, Qt::Key_Backspace);
        EXPECT_TRUE(app.w->szukany.isEmpty());
        Window::type(grid, QString::fromUtf8(c.typed));
        EXPECT_EQ(app.w->szukany, QString::fromUtf8(c.typed));
        EXPECT_EQ(t->asString(QStringLiteral("Nazwa")), QString::fromUtf8(c.lands)) << c.typed;
    }
    // Typing never starts editing, and a title click forgets the typed text.
    EXPECT_EQ(t->state(), Dataset::State::Browse);
    app.clickTitle(kKontr, 1);
    EXPECT_TRUE(app.w->szukany.isEmpty());
}

// A click on a logical column's title toggles its filter: on "Kontrahenci"
// the second click shows all again; on the diseases a click on another flag
// after the first shows everything (the new expression is not applied).
TEST(DictionariesWindow, FilterTogglesOnLogicalColumns)
{
    Window app;
    app.contractors({{QStringLiteral("Alfa"), false}, {QStringLiteral("Beta"), true}, {QStringLiteral("Gamma"), false}});
    Table *kontr = app.dane->T_kontr;
    const int ukr = int(dictionaryTabs()[kKontr].columns.size()) - 1;
    app.w->setPage(kKontr);
    app.clickTitle(kKontr, ukr);
    EXPECT_EQ(app.names(kontr, "Nazwa"), (QStringList{QStringLiteral("Alfa"), QStringLiteral("Gamma")}));
    app.clickTitle(kKontr, ukr);
    EXPECT_EQ(kontr->recordCount(), 3);

    const int chor = tabIndex(QStringLiteral("Tab_chor"));
    Table *ch = app.dane->T_Ch;
    const int all = ch->recordCount();
    int monitored = 0;
    for (int r = 0; r < all; ++r)
        monitored += ch->valueAt(r, ch->fieldIndex(QStringLiteral("M"))).toBool() ? 1 : 0;
    ASSERT_GT(monitored, 0);
    ASSERT_LT(monitored, all);
    app.w->setPage(chor);
    app.clickTitle(chor, 3);   // M
    EXPECT_EQ(ch->recordCount(), monitored);
    app.clickTitle(chor, 4);   // R
    EXPECT_EQ(ch->recordCount(), all);
    EXPECT_EQ(ch->filter(), QStringLiteral("R=True"));
}

// "Adres" stands over the contractors' street and town, and stays over them
// when a column in between is moved away.
TEST(DictionariesWindow, TheAddressBandStandsOverStreetAndTown)
{
    Window app;
    app.w->setPage(kKontr);
    app.w->show();
    fenwa::ui::BandedHeader *h = app.w->grid(kKontr)->bandedHeader();
    ASSERT_TRUE(fenwa::testing::waitUntil([&] { return h->isVisible() && h->height() > 0; }));
    auto spans = [&] {
        QVector<QPair<int, int>> out;
        for (const fenwa::ui::BandedHeader::Piece &p : h->pieces()) {
            EXPECT_EQ(p.title, QStringLiteral("Adres"));
            out << qMakePair(p.firstLogical, p.lastLogical);
        }
        return out;
    };
    EXPECT_EQ(spans(), (QVector<QPair<int, int>>{{2, 3}}));
    h->moveSection(h->visualIndex(0), 2);
    EXPECT_EQ(spans(), (QVector<QPair<int, int>>{{2, 2}, {3, 3}}));
}

// The position editor's pick: a double click on a picking tab closes the
// window with OK and gives the row's Id; the menu's "Wyjście" is OK too, the
// button "Wyjście" Cancel. Opened from the menu, a double click does nothing.
TEST(DictionariesWindow, PickingForThePositionEditor)
{
    Window app;
    app.contractors({{QStringLiteral("Alfa"), false}, {QStringLiteral("Beta"), false}});
    Table *t = app.dane->T_kontr;
    auto doubleClickRow = [&](int row) {
        fenwa::ui::DbGrid *g = app.w->grid(kKontr);
        EXPECT_TRUE(fenwa::testing::waitUntil([&] {
            return g->viewport()->rect().contains(g->visualRect(g->model()->index(row, 0)).center());
        }));
        // As a mouse does it: a click, then the second press as a double click.
        const QPoint at = g->visualRect(g->model()->index(row, 0)).center();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, at);
    };
    int shown = 0;
    app.w->runModal = [&](QDialog &d) {
        ++shown;
        d.show();
        doubleClickRow(1);
        const int result = d.isVisible() ? QDialog::Rejected : d.result();
        d.hide();
        return result;
    };
    const std::optional<qlonglong> picked = app.w->pick(kKontr);
    ASSERT_TRUE(picked.has_value());
    EXPECT_TRUE(t->locate(QStringLiteral("Nazwa"), QStringLiteral("Beta")));
    EXPECT_EQ(*picked, t->asInt(QStringLiteral("Id")));

    // From the main window's menu the same double click leaves the window open.
    EXPECT_EQ(app.w->showAt(QStringLiteral("Tab_kontr")), QDialog::Rejected);
    EXPECT_EQ(shown, 2);

    app.w->runModal = [&](QDialog &d) {
        d.show();
        app.w->mWyjscie->trigger();
        return d.result();
    };
    EXPECT_TRUE(app.w->pick(kKontr).has_value());
    app.w->runModal = [&](QDialog &d) {
        d.show();
        app.w->BitBtn1->click();
        return d.result();
    };
    EXPECT_FALSE(app.w->pick(kKontr).has_value());
}

// "Importuj" only on its four tabs, the personal-data item only on
// "Kontrahenci"; a county installation shows neither units nor laboratories.
TEST(DictionariesWindow, MenuPerTabAndInstallationKind)
{
    for (int p_w : {1, 2}) {
        Window app(true, p_w);
        const QVector<DictionaryTab> &tabs = dictionaryTabs();
        for (int page = 0; page < tabs.size(); ++page) {
            const bool shown = p_w == 1 || !tabs[page].voivodeshipOnly;
            EXPECT_EQ(app.w->pageShown(page), shown) << qPrintable(tabs[page].object);
            if (!shown) {
                EXPECT_FALSE(app.w->pick(page).has_value());
                continue;
            }
            app.w->setPage(page);
            app.w->updateMenu();
            const QString o = tabs[page].object;
            const bool imports = o == QLatin1String("Tab_kontr") || o == QLatin1String("Tab_bd")
                || o == QLatin1String("Tab_bp") || o == QLatin1String("Tab_Zak");
            EXPECT_EQ(app.w->mImportuj->isEnabled(), imports) << qPrintable(o);
            EXPECT_EQ(app.w->mInformacje->isVisible(), o == QLatin1String("Tab_kontr")) << qPrintable(o);
            EXPECT_EQ(app.w->XDBNavigator1->table(), dictionaryTable(*app.dane, tabs[page])) << qPrintable(o);
        }
    }
}

// Without the dictionaries right the tables are read-only: the navigator and
// the row commands are off, and the shortcut adds nothing. "Zakupy" and
// "Kontrahenci" stay writable with the edit right alone.
TEST(DictionariesWindow, ReadOnlyTabsWithoutTheDictionariesRight)
{
    for (bool edycja : {false, true}) {
        Window app(edycja, 1, false);
        app.w->show();
        const QVector<DictionaryTab> &tabs = dictionaryTabs();
        for (int page = 0; page < tabs.size(); ++page) {
            const QString o = tabs[page].object;
            const bool writable = edycja && (o == QLatin1String("Tab_kontr") || o == QLatin1String("Tab_Zak"));
            app.w->setPage(page);
            app.w->updateMenu();
            EXPECT_EQ(app.w->XDBNavigator1->insertButton()->isEnabled(), writable) << qPrintable(o);
            EXPECT_EQ(app.w->mDodaj->isEnabled(), writable) << qPrintable(o);
            if (!writable) {
                QTest::keyClick(app.w->grid(page), Qt::Key_Insert, Qt::ControlModifier);
                EXPECT_EQ(app.w->activeTable()->state(), Dataset::State::Browse) << qPrintable(o);
            }
        }
    }
}

// Deleting a contractor that a position uses is refused after the scan of
// every positions file, shown in the file list; the contractor stays.
TEST(DictionariesWindow, AUsedEntryIsNotDeleted)
{
    Window app;
    fenwa::testing::RecordingFileList list;
    app.dane->rules.fileList = &list;
    data::DemoOptions options;
    options.year = 2016;
    options.now = QDateTime(QDate(2016, 3, 15), QTime(9, 0));
    options.units = {QStringLiteral("2003"), QStringLiteral("2080")};
    options.lastMonth = 3;
    data::createDemoRegisters(*app.db, options);
    Query used(app.db.get(), QStringLiteral("Q"));
    used.setSql({QStringLiteral("SELECT kontr FROM \"%1\" WHERE kontr IS NOT NULL").arg(app.db->path(QStringLiteral("p_2016_2080.db")))});
    used.open();
    ASSERT_FALSE(used.isEmpty());
    const qint64 id = used.asInt(QStringLiteral("kontr"));

    app.w->show();
    app.w->setPage(kKontr);
    Table *t = app.dane->T_kontr;
    ASSERT_TRUE(t->locate(QStringLiteral("Id"), id));
    const int before = t->recordCount();
    app.messages.clear();
    app.w->updateMenu();
    app.w->mUsun->trigger();
    EXPECT_EQ(app.messages.last(), QStringLiteral("Rekord związany ze zbiorem danych - usunięcie rekordu niemożliwe!"));
    EXPECT_EQ(list.caption, QStringLiteral("Szukanie ..."));
    EXPECT_EQ(list.files, (QStringList{QStringLiteral("p_2016_2003.db"), QStringLiteral("p_2016_2080.db")}));
    EXPECT_EQ(list.selected, (QVector<int>{0, 1}));
    EXPECT_EQ(t->recordCount(), before);
    EXPECT_TRUE(t->locate(QStringLiteral("Id"), id));
}

// The export of a tab read back: title, headings, widths from the grid,
// logical values as True/False, rows in the grid's order and filter.
TEST(DictionariesWindow, ExportOfATabReadBack)
{
    Window app;
    app.contractors({{QStringLiteral("Beta"), true}, {QStringLiteral("Alfa"), false}});
    app.w->setPage(kKontr);
    app.clickTitle(kKontr, 0);
    app.w->Eksport();
    ASSERT_FALSE(app.exported.isEmpty()) << qPrintable(app.messages.texts().join(u'|'));
    const auto book = testing_xlsx::read(app.exported);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.text(QStringLiteral("A1")), QStringLiteral("Słownik: Kontrahenci"));
    EXPECT_EQ(book.text(QStringLiteral("A2")), QStringLiteral("Lp"));
    EXPECT_EQ(book.text(QStringLiteral("B2")), QStringLiteral("Nazwa kontrahenta"));
    EXPECT_EQ(book.text(QStringLiteral("H2")), QStringLiteral("Ukrywać?"));
    EXPECT_NEAR(book.colWidths.value(2), app.w->grid(kKontr)->columnWidth(0) / 9 + 0.71, 0.01);
    EXPECT_EQ(book.text(QStringLiteral("B3")), QStringLiteral("Alfa"));
    EXPECT_EQ(book.text(QStringLiteral("H3")), QStringLiteral("False"));
    EXPECT_EQ(book.text(QStringLiteral("B4")), QStringLiteral("Beta"));
    EXPECT_EQ(book.text(QStringLiteral("H4")), QStringLiteral("True"));
    EXPECT_TRUE(book.text(QStringLiteral("A5")).startsWith(QStringLiteral("Eksport z programu ")));
}

// "Zapisy" for a contractor over a year: the text of the statement in
// slownik.txt, the print of its rows under the period's title, the sheet
// with quantities; a period over two years is refused.
TEST(DictionariesWindow, EntryStatementPrintSheetAndDump)
{
    Window app;
    data::DemoOptions options;
    options.year = 2016;
    options.now = QDateTime(QDate(2016, 12, 31), QTime(9, 0));
    options.units = {QStringLiteral("2003")};
    data::createDemoRegisters(*app.db, options);
    Query used(app.db.get(), QStringLiteral("Q"));
    used.setSql({QStringLiteral("SELECT kontr, count(*) AS n FROM \"%1\" WHERE kontr IS NOT NULL AND jm IS NOT NULL "
                                "GROUP BY kontr ORDER BY n DESC")
                     .arg(app.db->path(QStringLiteral("p_2016_2003.db")))});
    used.open();
    ASSERT_FALSE(used.isEmpty());
    const qint64 id = used.asInt(QStringLiteral("kontr"));

    app.w->setPage(kKontr);
    ASSERT_TRUE(app.dane->T_kontr->locate(QStringLiteral("Id"), id));
    EntryRequest asked{QDate(2016, 1, 1), QDate(2016, 12, 31), QStringLiteral("unit"), true, false};
    app.w->askPeriod = [&](EntryRequest &r) {
        r = asked;
        return true;
    };
    app.w->unitCodeOf = [](const QString &) { return QStringLiteral("2003"); };
    app.w->Zapisy();
    EXPECT_EQ(app.printedLayout, QStringLiteral("Rep_Slownik"));
    EXPECT_EQ(app.printedRows, int(used.asInt(QStringLiteral("n"))));
    EXPECT_TRUE(app.printedTitle.startsWith(QStringLiteral("Zapisy: Kontrahenci = \"")));
    EXPECT_TRUE(app.printedTitle.endsWith(QStringLiteral(" za okres od 01.01.2016 do 31.12.2016")));
    QFile dump(QDir(app.dir.path()).filePath(QStringLiteral("slownik.txt")));
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(dump.readAll()),
              entryStatement(app.settings.fd, QStringLiteral("_2016_2003.db"), QStringLiteral("kontr"), id,
                             asked.from, asked.to)
                  .join(u'\n'));

    asked.toSheet = true;
    app.w->Zapisy();
    ASSERT_FALSE(app.exported.isEmpty());
    const auto book = testing_xlsx::read(app.exported);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.text(QStringLiteral("H2")), QStringLiteral("Zobowiązania publiczno- prawne"));
    EXPECT_EQ(book.text(QStringLiteral("K2")), QStringLiteral("Jednostka miary"));
    EXPECT_EQ(book.cells.value(QStringLiteral("G3")).type, QString());   // netto as a number
    EXPECT_FALSE(book.text(QStringLiteral("K3")).isEmpty());

    app.messages.clear();
    app.printedLayout.clear();
    asked = {QDate(2016, 12, 15), QDate(2017, 1, 15), QStringLiteral("unit"), false, false};
    app.w->Zapisy();
    EXPECT_EQ(app.messages.last(), kOneYearOnly);
    EXPECT_TRUE(app.printedLayout.isEmpty());

    // An empty dictionary has no entry to list: said at once, no period asked.
    app.db->exec(QStringLiteral("DELETE FROM \"%1\"").arg(app.db->path(QStringLiteral("ob.db"))));
    app.dane->T_ob->refresh();
    app.w->setPage(tabIndex(QStringLiteral("Tab_ob")));
    bool periodAsked = false;
    app.w->askPeriod = [&](EntryRequest &) { return periodAsked = true; };
    app.messages.clear();
    app.w->Zapisy();
    EXPECT_FALSE(periodAsked);
    EXPECT_EQ(app.messages.shown().size(), 1);
}

// An import that fails says which file could not go into which dictionary,
// adds nothing and leaves the dictionary open again.
TEST(DictionariesWindow, AFailedImportKeepsTheDictionaryOpen)
{
    Window app;
    app.w->setPage(kKontr);
    Table *t = app.dane->T_kontr;
    const int before = t->recordCount();
    const QString file = QDir(app.dir.path()).filePath(QStringLiteral("Kontrahenci.db"));
    QFile bogus(file);
    ASSERT_TRUE(bogus.open(QIODevice::WriteOnly));
    bogus.write("to nie jest tabela");
    bogus.close();
    app.w->chooseImportFile = [&](const ImportSource &source) {
        EXPECT_EQ(source.fileName, QStringLiteral("Kontrahenci.db"));
        return file;
    };
    app.w->updateMenu();
    ASSERT_TRUE(app.w->mImportuj->isEnabled());
    app.w->mImportuj->trigger();
    EXPECT_EQ(app.messages.last(), QStringLiteral("Pliku ") + QDir::toNativeSeparators(file)
                                       + QStringLiteral(" nie można importować do słownika Kontrahenci"));
    EXPECT_TRUE(t->active());
    EXPECT_EQ(t->recordCount(), before);
    EXPECT_EQ(app.w->XDBNavigator1->table(), t);
}
