#include "register/ui/GrDok.h"

#include "common/ui/CommandMenu.h"
#include "common/ui/LookupDelegate.h"
#include "data/Guard.h"
#include "output/DatasetSource.h"
#include "output/Standard.h"
#include "output/ui/DesktopOpener.h"
#include "output/ui/PrintPreview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenwa::reg::ui {

using data::Table;
using fenwa::ui::GridColumn;
using fenwa::ui::LookupColumn;
using fenwa::ui::LookupDelegate;

TF_GrDok::TF_GrDok(data::TF_Dane &dane, QWidget *parent) : QDialog(parent), dane_(dane), logic_(dane)
{
    setObjectName(QStringLiteral("F_GrDok"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(1180, 640);

    XDBGrid1 = new fenwa::ui::DbGrid(this);
    XDBGrid1->setMultiSelect(true);
    XDBGrid1->setTitleOrdering(true);
    XDBGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    XDBNavigator1 = new fenwa::ui::DbNavigator(this);
    auto button = [this](const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setToolTip(text);
        b->setAutoDefault(false);
        return b;
    };
    BitBtn1 = button(QStringLiteral("Pozycje"));
    BitBtn3 = button(QStringLiteral("Suma pozycji"));
    BitBtn5 = button(QStringLiteral("Szukaj"));
    BitBtn4 = button(QStringLiteral("Drukuj"));
    BitBtn2 = button(QStringLiteral("Eksportuj do Excel-a"));
    BitBtn6 = button(QStringLiteral("&Wyjście"));
    BitBtn6->setToolTip(QStringLiteral("Wyjście"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(XDBNavigator1);
    bar->addStretch();
    for (QPushButton *b : {BitBtn1, BitBtn3, BitBtn5, BitBtn4, BitBtn2, BitBtn6})
        bar->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(4, 4, 4, 4);
    lay->addWidget(XDBGrid1, 1);
    lay->addLayout(bar);

    using M = GroupsMenuState;
    PopupMenu1 = new fenwa::ui::CommandMenu(this);
    PopupMenu1->openFor(XDBGrid1);
    auto item = [this](const QString &text, const QKeySequence &key, auto slot, bool M::*on = nullptr) {
        std::function<bool()> enabled;
        if (on)
            enabled = [this, on] { return logic_.menuState().*on; };
        return PopupMenu1->addCommand(text, slot, key, enabled);
    };
    mPozycje = item(QStringLiteral("Pozycje"), {}, [this] { Pozycje(); });
    PopupMenu1->setDefaultAction(mPozycje);
    PopupMenu1->addSeparator();
    mDodaj = item(QStringLiteral("Dodaj"), QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] { record([](Table &t) { t.append(); }); }, &M::dodaj);
    mUsun = item(QStringLiteral("Usuń"), QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { record([](Table &t) { t.remove(); }); }, &M::usun);
    mPopraw = item(QStringLiteral("Popraw"), QKeySequence(Qt::CTRL | Qt::Key_F2), [this] { record([](Table &t) { t.edit(); }); }, &M::popraw);
    mZapisz = item(QStringLiteral("Zapisz"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { record([](Table &t) { t.post(); }); }, &M::zapisz);
    mRezygnuj = item(QStringLiteral("Rezygnuj"), {}, [this] { record([](Table &t) { t.cancel(); }); }, &M::rezygnuj);
    mRezygnuj->setShortcut(QKeySequence(Qt::Key_Escape));   // handled in keyPressEvent
    PopupMenu1->addSeparator();
    mKopiuj = item(QStringLiteral("Kopiuj"), QKeySequence(Qt::CTRL | Qt::Key_C), [this] {
        logic_.copy(XDBGrid1->selectedRows());
        updateMenu();
    });
    mWklej = item(QStringLiteral("Wklej"), QKeySequence(Qt::CTRL | Qt::Key_V), [this] {
        logic_.paste();
        updateMenu();
        updateButtons();
    }, &M::wklej);
    PopupMenu1->addSeparator();
    mZamknij = item(QStringLiteral("Zamknij"), {}, [this] { logic_.setClosed(true); }, &M::zamknij);
    mOtworz = item(QStringLiteral("Otwórz"), {}, [this] { logic_.setClosed(false); }, &M::otworz);
    PopupMenu1->addSeparator();
    mSzukaj = item(QStringLiteral("Szukaj"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        if (onSearch)
            onSearch(this);
    }, &M::szukaj);
    mDrukuj = item(QStringLiteral("Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { Drukuj(); }, &M::drukuj);
    mEksport = item(QStringLiteral("Eksport do Excel-a"), QKeySequence(Qt::CTRL | Qt::Key_E), [this] { Eksport(); }, &M::eksport);
    PopupMenu1->addSeparator();
    mSuma = item(QStringLiteral("Suma"), {}, [this] { logic_.sums(); });
    mInformacje = item(QStringLiteral("Informacje"), {}, [this] { logic_.information(); }, &M::informacje);
    PopupMenu1->addSeparator();
    mWyjscie = item(QStringLiteral("Wyjście"), QKeySequence(Qt::ALT | Qt::Key_F4), [this] { reject(); });

    connect(BitBtn1, &QPushButton::clicked, this, &TF_GrDok::Pozycje);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { logic_.sums(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] {
        if (onSearch)
            onSearch(this);
    });
    connect(BitBtn4, &QPushButton::clicked, this, &TF_GrDok::Drukuj);
    connect(BitBtn2, &QPushButton::clicked, this, &TF_GrDok::Eksport);
    connect(BitBtn6, &QPushButton::clicked, this, &QDialog::reject);
    connect(XDBGrid1, &QAbstractItemView::doubleClicked, this, [this] {
        if (!dane_.T_Gr->editing())
            Pozycje();
    });

    // The buttons follow every state change of the groups and positions tables.
    for (data::DataSource *ds : {dane_.DS_Gr, dane_.DS_Poz})
        connect(ds, &data::DataSource::stateChanged, this, [this] {
            if (isVisible())
                updateButtons();
        });
    connect(dane_.T_Gr, &data::Dataset::rowsChanged, this, [this] {
        if (isVisible())
            updateButtons();
    });
    bindGrid();
    setTabOrder(XDBGrid1, XDBNavigator1);
}

void TF_GrDok::bindGrid()
{
    const QString chapter = QStringLiteral("Rozdz"), paragraph = QStringLiteral("Par");
    XDBGrid1->bind(dane_.T_Gr,
                   {{.title = QStringLiteral("Lp"), .width = 30},
                    {.field = QStringLiteral("Dok"), .title = QStringLiteral("Symbol"), .width = 128},
                    {.field = QStringLiteral("Rozdzial"), .title = QStringLiteral("Rozdział"), .width = 70,
                     .lookupKey = chapter},
                    {.field = QStringLiteral("Para"), .title = QStringLiteral("Paragraf"), .width = 70,
                     .lookupKey = paragraph},
                    {.field = QStringLiteral("Paragraf"), .title = QStringLiteral("Paragraf - wyszczególnienie"),
                     .width = 256, .lookupKey = paragraph},
                    {.field = QStringLiteral("Opis"), .title = QStringLiteral("Opis"), .width = 512},
                    {.field = QStringLiteral("Zk"), .title = QStringLiteral("Zamknięty?"), .width = 72, .check = true,
                     .readOnly = true}},
                   &dane_.messages());
    XDBGrid1->datasetModel()->setBoldRule([this](int row) {
        const int zk = dane_.T_Gr->fieldIndex(QStringLiteral("Zk"));
        return zk >= 0 && dane_.T_Gr->valueAt(row, zk).toBool();
    });
    const QVector<LookupColumn> chapters{{QStringLiteral("Rozdz"), QStringLiteral("Rozdział"), 40},
                                         {QStringLiteral("Opis"), QStringLiteral("Opis"), 600}};
    const QVector<LookupColumn> paragraphs{{QStringLiteral("Par"), QStringLiteral("Paragraf"), 40},
                                           {QStringLiteral("Dod"), QStringLiteral("Dodatkowy Wyróżnik"), 20},
                                           {QStringLiteral("Opis"), QStringLiteral(" Nazwa/zakres"), 600}};
    XDBGrid1->setItemDelegateForColumn(2, new LookupDelegate(dane_.T_Rozdz, chapters, 0, QStringLiteral("Rozdz"), false, this));
    XDBGrid1->setItemDelegateForColumn(3, new LookupDelegate(dane_.T_Par, paragraphs, 0, QStringLiteral("Par"), false, this));
    XDBGrid1->setItemDelegateForColumn(4, new LookupDelegate(dane_.T_Par, paragraphs, 2, QStringLiteral("Par"), true, this));
    XDBNavigator1->bind(dane_.T_Gr, &dane_.messages());
    // The navigator's commands report nothing of the window's own: the rules talk.
    XDBNavigator1->onInsert = [this] { dane_.T_Gr->append(); };
}

void TF_GrDok::record(const std::function<void(Table &)> &command)
{
    data::quiet([&] { command(*dane_.T_Gr); });
    updateButtons();
}

void TF_GrDok::updateButtons()
{
    const bool on = logic_.buttonsEnabled();
    for (QPushButton *b : {BitBtn1, BitBtn3, BitBtn5, BitBtn4, BitBtn2, BitBtn6})
        b->setEnabled(on);
    XDBNavigator1->updateButtons();
    updateMenu();
}

void TF_GrDok::updateMenu() { PopupMenu1->refresh(); }

void TF_GrDok::Pozycje()
{
    if (logic_.canShowPositions())
        accept();
}

void TF_GrDok::Drukuj()
{
    data::guarded(dane_.messages(), [this] {
        data::Query *q = dane_.Q_GrDok;
        q->close();
        q->setSql(logic_.groupListStatement());
        q->open();
        if (onPrint)
            onPrint(QStringLiteral("Rep_GrDok"));
        else
            output::ui::runPrint(this, QStringLiteral("Rep_GrDok"), output::standardParameters(dane_, windowTitle()),
                                 output::DatasetSource(*q), dane_.messages());
        q->close();
    });
}

void TF_GrDok::Eksport()
{
    data::Query *q = dane_.Q_GrDok;
    try {
        q->close();
        q->setSql(logic_.groupListStatement());
        q->open();
    } catch (const data::EngineError &) {
        q->close();
        dane_.messages().error(output::kExcelError);
        return;
    }
    output::SheetDesign design;
    design.title = windowTitle();
    design.landscape = true;
    design.boxedRowsAfterData = 1;
    using output::sheetColumn;
    design.columns = {sheetColumn("Lp", 3, ""),
                      sheetColumn("Symbol", 8, "Dok"),
                      sheetColumn("Rozdział", 8, "Rozdzial"),
                      sheetColumn("Paragraf", 20, "Paragraf"),
                      sheetColumn("Opis", 20, "Opis"),
                      sheetColumn("Zamknięty?", 10, "zk"),
                      sheetColumn("Data otwarcia", 13, "T_Ins"),
                      sheetColumn("Użytkownik", 10, "login"),
                      sheetColumn("Data ostatniej edycji", 13, "T_mod"),
                      sheetColumn("Użytkownik", 10, "Log")};
    output::SheetExport::run(output::sheetEnvironment(dane_, openFile ? openFile : output::ui::openWithDesktop), design,
                             output::DatasetSource(*q));
    q->close();
}

void TF_GrDok::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    XDBGrid1->loadLayout();
    XDBGrid1->setFocus();
    updateButtons();
}

bool TF_GrDok::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        updateButtons();
    return QDialog::event(event);
}

void TF_GrDok::keyPressEvent(QKeyEvent *event)
{
    // Esc is "Rezygnuj" of the menu, not a way out of the window.
    if (PopupMenu1->escapeTo(mRezygnuj, event))
        return;
    QDialog::keyPressEvent(event);
}

void TF_GrDok::done(int result)
{
    // Whatever way the window closes, the current group goes to the main window.
    logic_.takeCurrentGroup();
    XDBGrid1->saveLayout();
    QDialog::done(result);
}

} // namespace fenwa::reg::ui
