// The grid, its model and the navigator bound to a real table.
#include "Installation.h"
#include "WaitUntil.h"
#include "admin/IniFile.h"
#include "common/ScriptedMessages.h"
#include "common/ui/ColumnChooser.h"
#include "common/ui/DbGrid.h"
#include "common/ui/DbNavigator.h"
#include "data/Table.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QAbstractItemModelTester>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::ui;
using fenwa::testing::DataFolder;
using fenwa::testing::waitUntil;

namespace {

struct Fixture {
    DataFolder f;
    Table t{f.db.get(), QStringLiteral("T_Ch")};
    ScriptedMessages messages;
    DbGrid grid;
    DbNavigator nav;

    Fixture()
    {
        t.setTableName(QStringLiteral("ch.db"));
        t.open();
        for (const char *name : {"ASF", "HPAI", "BSE"}) {
            t.append();
            t.setValue(QStringLiteral("Ch"), QString::fromLatin1(name));
            t.setValue(QStringLiteral("Z"), QString::fromLatin1(name) != QLatin1String("BSE"));
            t.post();
        }
        t.first();
        grid.bind(&t,
                  {{.title = QStringLiteral("Lp"), .width = 30},
                   {.field = QStringLiteral("Ch"), .title = QStringLiteral("Nazwa choroby"), .width = 200},
                   {.field = QStringLiteral("Z"), .title = QStringLiteral("Zwalczanie"), .width = 40, .check = true}},
                  &messages);
        nav.bind(&t, &messages);
    }
};

} // namespace

TEST(DbGrid, ShowsTheDatasetAndFollowsItsCursor)
{
    Fixture x;
    DatasetModel *m = x.grid.datasetModel();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->data(m->index(1, 0)).toInt(), 2);
    EXPECT_EQ(m->data(m->index(1, 1)).toString(), QStringLiteral("HPAI"));
    EXPECT_EQ(m->data(m->index(2, 2), Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nazwa choroby"));
    // Cells are not editable while browsing: typing never starts an edit.
    EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);

    x.t.last();
    EXPECT_EQ(x.grid.currentIndex().row(), 2);
    x.grid.setCurrentIndex(m->index(1, 1));
    EXPECT_EQ(x.t.asString(QStringLiteral("Ch")), QStringLiteral("HPAI"));
    EXPECT_EQ(x.grid.selectedRows(), QVector<int>{1});

    x.grid.setMultiSelect(true);
    x.grid.selectionModel()->select(m->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    x.grid.selectionModel()->select(m->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(x.grid.selectedRows(), (QVector<int>{0, 1, 2}));

    x.grid.setFooterVisible(true);
    x.grid.setFooterText(0, QStringLiteral("3"));
    EXPECT_EQ(x.grid.footerText(0), QStringLiteral("3"));
}

TEST(DbGrid, CheckBoxCellsAreHighlightedWithTheirRowAndHeadingsFit)
{
    Fixture x;
    DatasetModel *m = x.grid.datasetModel();
    x.grid.setCurrentIndex(m->index(1, 1));
    const QModelIndex flag = m->index(1, 2);
    EXPECT_TRUE(m->flags(flag) & Qt::ItemIsEnabled);
    EXPECT_FALSE(m->flags(flag) & Qt::ItemIsUserCheckable) << "ticked only while its record is edited";
    EXPECT_TRUE(x.grid.selectionModel()->isSelected(flag));
    QFont bold = x.grid.horizontalHeader()->font();
    bold.setBold(true);
    EXPECT_GT(x.grid.columnWidth(2), QFontMetrics(bold).horizontalAdvance(QStringLiteral("Zwalczanie")));

    // A click on the empty space below the rows leaves the row highlighted.
    x.grid.setMultiSelect(true);
    x.grid.resize(500, 300);
    x.grid.show();
    const QPoint below(20, x.grid.viewport()->height() - 5);
    ASSERT_FALSE(x.grid.indexAt(below).isValid());
    QMouseEvent press(QEvent::MouseButtonPress, below, x.grid.viewport()->mapToGlobal(below), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(x.grid.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, below, x.grid.viewport()->mapToGlobal(below), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(x.grid.viewport(), &release);
    EXPECT_TRUE(x.grid.selectionModel()->isRowSelected(1, QModelIndex()));
}

TEST(DbNavigator, ButtonsFollowTheStateAndRefusalsAreSwallowed)
{
    Fixture x;
    EXPECT_TRUE(x.nav.insertButton()->isEnabled());
    EXPECT_FALSE(x.nav.postButton()->isEnabled());
    EXPECT_EQ(x.nav.insertButton()->toolTip(), QStringLiteral("Dodaj"));
    EXPECT_EQ(x.nav.editButton()->toolTip(), QStringLiteral("Popraw"));

    x.nav.insertButton()->click();
    EXPECT_EQ(x.t.state(), Dataset::State::Insert);
    EXPECT_TRUE(x.nav.postButton()->isEnabled());
    EXPECT_FALSE(x.nav.insertButton()->isEnabled());
    DatasetModel *m = x.grid.datasetModel();
    ASSERT_EQ(m->rowCount(), 4);   // the new record is the last row
    EXPECT_EQ(x.grid.currentIndex().row(), 3);
    EXPECT_TRUE(m->flags(m->index(3, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(m->setData(m->index(3, 1), QStringLiteral("Wścieklizna")));
    EXPECT_TRUE(m->setData(m->index(3, 2), Qt::Checked, Qt::CheckStateRole));

    bool refuse = true;
    x.t.beforePost = [&](Table &) {
        if (refuse) {
            x.messages.warning(QStringLiteral("Pozycja \"Wścieklizna\" już istnieje!"));
            throw Abort{};
        }
    };
    x.nav.postButton()->click();
    EXPECT_EQ(x.t.state(), Dataset::State::Insert);
    EXPECT_EQ(x.messages.shown().size(), 1);   // the rule's message only
    EXPECT_EQ(m->data(m->index(3, 1)).toString(), QStringLiteral("Wścieklizna"));

    refuse = false;
    x.nav.postButton()->click();
    EXPECT_EQ(x.t.state(), Dataset::State::Browse);
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(x.t.asString(QStringLiteral("Ch")), QStringLiteral("Wścieklizna"));
    EXPECT_TRUE(x.t.asBool(QStringLiteral("Z")));

    // An engine error is shown in the engine's words.
    x.nav.editButton()->click();
    x.t.setValue(QStringLiteral("Ch"), QString(101, QLatin1Char('x')));
    x.nav.postButton()->click();
    EXPECT_EQ(x.messages.shown().last().kind, Messages::Kind::Error);
    EXPECT_TRUE(x.messages.last().contains(QStringLiteral("za długi")));
    x.nav.cancelButton()->click();
    EXPECT_EQ(x.t.asString(QStringLiteral("Ch")), QStringLiteral("Wścieklizna"));

    // A read-only table disables every change button.
    x.t.close();
    x.t.setReadOnly(true);
    x.t.open();
    x.nav.updateButtons();
    for (QToolButton *b : {x.nav.insertButton(), x.nav.deleteButton(), x.nav.editButton(), x.nav.postButton(),
                           x.nav.cancelButton()})
        EXPECT_FALSE(b->isEnabled());
}

TEST(DbGrid, TextStillBeingTypedIsSavedWithTheRecord)
{
    Fixture x;
    x.grid.show();
    x.nav.insertButton()->click();
    DatasetModel *m = x.grid.datasetModel();
    const QModelIndex cell = m->index(3, 1);
    x.grid.setCurrentIndex(cell);
    x.grid.edit(cell);
    auto *editor = x.grid.viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), 100);   // the size of the field Ch
    editor->setText(QStringLiteral("Gruźlica bydła"));
    // The save button takes no focus: the open editor must still reach the record.
    x.nav.postButton()->click();
    EXPECT_EQ(x.t.state(), Dataset::State::Browse);
    EXPECT_EQ(x.t.asString(QStringLiteral("Ch")), QStringLiteral("Gruźlica bydła"));
}

TEST(DbGrid, AValueThatIsNotOfTheFieldsTypeIsRefusedWithItsFieldNamed)
{
    DataFolder f;
    f.db->exec(QStringLiteral("CREATE TABLE \"%1\" (Id AUTOINC, Kol INTEGER, Kwota FLOAT, Data DATE, PRIMARY KEY (Id))")
                   .arg(f.path(QStringLiteral("proba.db"))));
    Table t(f.db.get(), QStringLiteral("T_Proba"));
    t.setTableName(QStringLiteral("proba.db"));
    t.open();
    ScriptedMessages messages;
    DbGrid grid;
    grid.bind(&t,
              {{.field = QStringLiteral("Kol"), .title = QStringLiteral("Kol")},
               {.field = QStringLiteral("Kwota"), .title = QStringLiteral("Kwota")},
               {.field = QStringLiteral("Data"), .title = QStringLiteral("Data")}},
              &messages);
    grid.show();
    t.append();
    auto type = [&](int column, const QString &text) {
        const QModelIndex cell = grid.datasetModel()->index(0, column);
        grid.setCurrentIndex(cell);
        grid.edit(cell);
        QLineEdit *editor = nullptr;
        for (auto *e : grid.viewport()->findChildren<QLineEdit *>())
            if (e->isVisible())
                editor = e;   // closed editors are hidden until they go
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(editor, &enter);
    };
    const struct {
        int column;
        const char *text;
        const char *field;
    } refused[] = {{0, "abc", "Kol"}, {0, "2,5", "Kol"}, {1, "12,3 zł", "Kwota"}, {2, "31.02.2024", "Data"}};
    for (const auto &r : refused) {
        messages.clear();
        type(r.column, QString::fromUtf8(r.text));
        ASSERT_TRUE(waitUntil([&] { return !messages.shown().isEmpty(); })) << r.text;
        EXPECT_EQ(messages.shown().last().kind, Messages::Kind::Error);
        EXPECT_TRUE(messages.last().contains(QStringLiteral("„%1”").arg(QString::fromLatin1(r.field))))
            << messages.last().toStdString();
        EXPECT_TRUE(t.isNull(QString::fromLatin1(r.field)));
        EXPECT_EQ(t.state(), Dataset::State::Insert);
    }
    messages.clear();
    type(1, QStringLiteral("1\u00a0234,56"));
    type(2, QStringLiteral("29.02.2024"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_DOUBLE_EQ(t.asFloat(QStringLiteral("Kwota")), 1234.56);
    EXPECT_EQ(t.asDate(QStringLiteral("Data")), QDate(2024, 2, 29));
}

TEST(DatasetModel, ChangesOnlyTheRowsAStateChangeTouches)
{
    Fixture x;
    DatasetModel *m = x.grid.datasetModel();
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(m, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(m, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(m, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(m, &QAbstractItemModel::dataChanged);

    x.t.append();
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(m->rowCount(), 4);
    x.t.cancel();
    EXPECT_EQ(removed.size(), 1);
    EXPECT_EQ(m->rowCount(), 3);
    x.t.first();
    x.t.edit();
    x.t.setValue(QStringLiteral("Ch"), QStringLiteral("ASF 2"));
    EXPECT_GE(changed.size(), 2);   // the edit begun and the value typed
    EXPECT_TRUE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_EQ(resets.size(), 0);

    // Saving and deleting read the records again; the model stays consistent.
    x.t.post();
    EXPECT_EQ(m->data(m->index(0, 1)).toString(), QStringLiteral("ASF 2"));
    x.t.append();
    x.t.setValue(QStringLiteral("Ch"), QStringLiteral("Wścieklizna"));
    x.t.post();
    EXPECT_EQ(m->rowCount(), 4);
    x.t.remove();
    EXPECT_EQ(m->rowCount(), 3);
}

TEST(DbGrid, BindingAgainLeavesThePreviousDatasetAlone)
{
    Fixture x;
    Table other{x.f.db.get(), QStringLiteral("T_Gat")};
    other.setTableName(QStringLiteral("gat.db"));
    other.open();
    x.grid.bind(&other, {{.field = QStringLiteral("Gat"), .title = QStringLiteral("Gatunek"), .width = 100}},
                &x.messages);
    x.grid.show();
    other.append();
    x.grid.edit(x.grid.datasetModel()->index(0, 0));
    ASSERT_TRUE(waitUntil([&] { return x.grid.viewport()->findChild<QLineEdit *>() != nullptr; }));
    QLineEdit *editor = x.grid.viewport()->findChild<QLineEdit *>();
    editor->setText(QStringLiteral("Bydło"));

    // A save of the table the grid showed before does not close this editor.
    emit x.t.aboutToPost();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(other.asString(QStringLiteral("Gat")).isEmpty());
}

TEST(DbGrid, ATitleClickOrdersByTheIndexNamedAfterItsField)
{
    Fixture x;
    x.grid.setTitleOrdering(true);
    x.grid.show();
    QHeaderView *header = x.grid.horizontalHeader();
    DatasetModel *m = x.grid.datasetModel();
    auto click = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    auto names = [&] {
        QStringList n;
        for (int r = 0; r < m->rowCount(); ++r)
            n << m->data(m->index(r, 1)).toString();
        return n;
    };
    ASSERT_EQ(names(), (QStringList{"ASF", "HPAI", "BSE"}));

    click(1);
    EXPECT_EQ(names(), (QStringList{"ASF", "BSE", "HPAI"}));
    EXPECT_EQ(x.t.indexName(), QStringLiteral("Ch"));
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    // "Zwalczanie" has no index: the order and the marker stay.
    click(2);
    EXPECT_EQ(names(), (QStringList{"ASF", "BSE", "HPAI"}));
    EXPECT_EQ(header->sortIndicatorSection(), 1);

    // The running number returns to the key order.
    click(0);
    EXPECT_EQ(names(), (QStringList{"ASF", "HPAI", "BSE"}));
    EXPECT_TRUE(x.t.indexName().isEmpty());
    EXPECT_EQ(header->sortIndicatorSection(), 0);

    // A record being edited keeps the order it was typed in.
    x.t.edit();
    click(1);
    EXPECT_TRUE(x.t.indexName().isEmpty());
    EXPECT_TRUE(x.t.editing());
}

TEST(DbGrid, ColumnLayoutIsKeptInTheSettingsFile)
{
    Fixture x;
    admin::IniFile ini(x.f.dir.filePath(QStringLiteral("fenwa5.ini")));
    const QString section = QStringLiteral("F_Test.XDBGrid1");
    GridLayoutStore store;
    store.read = [&](const QString &s) { return ini.readSectionValues(s); };
    store.write = [&](const QString &s, const LayoutValues &v) { ini.replaceSection(s, v); };

    x.grid.setTitleOrdering(true);
    x.grid.setLayoutStore(section, store);
    x.grid.show();
    x.grid.loadLayout();   // nothing stored yet: the grid stays as built
    EXPECT_EQ(x.grid.columnWidth(1), 200);

    // The chooser opens from a click right of the last title and hides "Zwalczanie".
    QHeaderView *header = x.grid.horizontalHeader();
    x.grid.resize(800, 300);
    const int checkWidth = x.grid.columnWidth(2);
    QTimer::singleShot(0, [] {
        ASSERT_TRUE(waitUntil([] { return qobject_cast<ColumnChooser *>(QApplication::activeModalWidget()); }));
        auto *chooser = qobject_cast<ColumnChooser *>(QApplication::activeModalWidget());
        EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Widoczne kolumny"));
        chooser->list()->item(2)->setCheckState(Qt::Unchecked);
        chooser->okButton()->click();
    });
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->length() + 20, header->height() / 2));
    EXPECT_TRUE(x.grid.isColumnHidden(2));

    x.grid.setColumnWidth(1, 150);
    header->moveSection(1, 0);
    x.grid.orderByColumn(1);
    x.grid.saveLayout();
    EXPECT_EQ(ini.readString(section, QStringLiteral("Columns")), QStringLiteral("3"));
    EXPECT_EQ(ini.readString(section, QStringLiteral("Column1")), QStringLiteral("Ch,150,1,0"));
    EXPECT_EQ(ini.readString(section, QStringLiteral("Column3")), QStringLiteral("Z,%1,0,0").arg(checkWidth));
    EXPECT_EQ(ini.readString(section, QStringLiteral("OrderFields")), QStringLiteral("Ch"));

    // Another grid on the key-ordered table takes the stored layout.
    x.t.setIndexName(QString());
    DbGrid again;
    again.bind(&x.t, x.grid.datasetModel()->columns(), &x.messages);
    again.setTitleOrdering(true);
    again.setLayoutStore(section, store);
    again.loadLayout();
    EXPECT_EQ(again.horizontalHeader()->logicalIndex(0), 1);
    EXPECT_EQ(again.columnWidth(1), 150);
    EXPECT_TRUE(again.isColumnHidden(2));
    EXPECT_EQ(x.t.indexName(), QStringLiteral("Ch"));

    // With AutoLoadLayout=0 the stored layout is not applied.
    ini.writeString(section, QStringLiteral("AutoLoadLayout"), QStringLiteral("0"));
    DbGrid ignoring;
    ignoring.bind(&x.t, x.grid.datasetModel()->columns(), &x.messages);
    ignoring.setLayoutStore(section, store);
    ignoring.loadLayout();
    EXPECT_FALSE(ignoring.isColumnHidden(2));
}

TEST(BandedHeader, ABandSpansTheVisibleAdjacentColumnsOfItsFields)
{
    Fixture x;
    x.grid.resize(400, 200);
    const int plainHeight = x.grid.horizontalHeader()->sizeHint().height();
    x.grid.setHeaderBands({{QStringLiteral("Choroba"), {QStringLiteral("ch"), QStringLiteral("Z")}}});
    BandedHeader *h = x.grid.bandedHeader();
    EXPECT_EQ(h->sizeHint().height(), 2 * plainHeight);
    x.grid.show();
    ASSERT_TRUE(waitUntil([&] { return h->isVisible() && h->height() > 0; }));
    EXPECT_EQ(h->bandOf(0), -1);   // "Lp" has no field

    auto spans = [&] {
        QVector<QPair<int, int>> out;   // first and last logical column of each piece
        for (const BandedHeader::Piece &p : h->pieces()) {
            EXPECT_EQ(p.title, QStringLiteral("Choroba"));
            EXPECT_EQ(p.rect.left(), h->sectionViewportPosition(p.firstLogical));
            EXPECT_EQ(p.rect.right(), h->sectionViewportPosition(p.lastLogical) + h->sectionSize(p.lastLogical) - 1);
            EXPECT_EQ(p.rect.height(), h->height() / 2);
            out << qMakePair(p.firstLogical, p.lastLogical);
        }
        return out;
    };
    EXPECT_EQ(spans(), (QVector<QPair<int, int>>{{1, 2}}));
    x.grid.setColumnHidden(2, true);
    EXPECT_EQ(spans(), (QVector<QPair<int, int>>{{1, 1}}));
    x.grid.setColumnHidden(2, false);
    // "Lp" moved between the two columns splits the band in two.
    h->moveSection(h->visualIndex(0), 1);
    EXPECT_EQ(spans(), (QVector<QPair<int, int>>{{1, 1}, {2, 2}}));
    EXPECT_FALSE(h->grab().isNull());
}
