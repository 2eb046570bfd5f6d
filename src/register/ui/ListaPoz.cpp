#include "register/ui/ListaPoz.h"

#include "common/Numbers.h"
#include "data/Guard.h"
#include "output/DatasetSource.h"
#include "output/Standard.h"
#include "output/ui/DesktopOpener.h"
#include "output/ui/PrintPreview.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <algorithm>

namespace fenwa::reg::ui {

using data::Table;
using fenwa::ui::GridColumn;

namespace {

// The export's statement file; a dump for the curious, so a failure to
// write it does not stop the export.
void writeStatement(const QString &folder, const QStringList &lines)
{
    if (folder.isEmpty())
        return;
    QSaveFile f(QDir(folder).filePath(QStringLiteral("poz.txt")));
    if (f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        f.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        f.commit();
    }
}

} // namespace

TF_ListaPoz::TF_ListaPoz(data::TF_Dane &dane, QWidget *parent) : QDialog(parent), dane_(dane), logic_(dane)
{
    setObjectName(QStringLiteral("F_ListaPoz"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(1180, 640);
    setWindowState(Qt::WindowMaximized);

    XDBGrid1 = new fenwa::ui::DbGrid(this);
    XDBGrid1->setMultiSelect(true);
    XDBGrid1->setTitleOrdering(true);
    XDBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    XDBGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    XDBGrid1->setFooterVisible(true);
    XDBNavigator1 = new fenwa::ui::DbNavigator(this);
    auto button = [this](const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setToolTip(text);
        b->setAutoDefault(false);
        return b;
    };
    BitBtn1 = button(QStringLiteral("Szukaj"));
    BitBtn2 = button(QStringLiteral("Drukuj"));
    BitBtn3 = button(QStringLiteral("Eksportuj do Excel-a"));
    BitBtn4 = button(QStringLiteral("Wyjście"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(XDBNavigator1);
    bar->addStretch();
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4})
        bar->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(4, 4, 4, 4);
    lay->addWidget(XDBGrid1, 1);
    lay->addLayout(bar);

    using M = PositionsMenuState;
    PopupMenu1 = new fenwa::ui::CommandMenu(this);
    PopupMenu1->openFor(XDBGrid1);
    auto item = [this](const QString &text, const QKeySequence &key, auto slot, bool M::*on) {
        return PopupMenu1->addCommand(text, slot, key, [this, on] { return logic_.menuState().*on; });
    };
    mDodaj = item(QStringLiteral("Dodaj"), QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] {
        // A new position by hand ends a pending copy, so the editor opens.
        logic_.endCopy();
        record([](Table &t) { t.append(); });
    }, &M::dodaj);
    mUsun = item(QStringLiteral("Usuń"), QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { record([](Table &t) { t.remove(); }); }, &M::usun);
    mPopraw = item(QStringLiteral("Popraw"), QKeySequence(Qt::CTRL | Qt::Key_F2), [this] { record([](Table &t) { t.edit(); }); }, &M::popraw);
    PopupMenu1->setDefaultAction(mPopraw);
    mZapisz = item(QStringLiteral("Zapisz"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { record([](Table &t) { t.post(); }); }, &M::zapisz);
    mRezygnuj = item(QStringLiteral("Rezygnuj"), {}, [this] { record([](Table &t) { t.cancel(); }); }, &M::rezygnuj);
    mRezygnuj->setShortcut(QKeySequence(Qt::Key_Escape));   // handled in keyPressEvent
    PopupMenu1->addSeparator();
    mKopiuj = item(QStringLiteral("Kopiuj"), QKeySequence(Qt::CTRL | Qt::Key_C), [this] {
        logic_.copy(XDBGrid1->selectedRows());
        updateMenu();
    }, &M::kopiuj);
    mWklej = item(QStringLiteral("Wklej"), QKeySequence(Qt::CTRL | Qt::Key_V), [this] {
        logic_.paste();
        updateMenu();
    }, &M::wklej);
    PopupMenu1->addSeparator();
    mSzukaj = item(QStringLiteral("Szukaj"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] { search(); }, &M::szukaj);
    mDrukuj = item(QStringLiteral("Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { Drukuj(); }, &M::drukuj);
    mEksport = item(QStringLiteral("Eksport do Excel-a"), {}, [this] { Eksport(); }, &M::eksport);
    PopupMenu1->addSeparator();
    mInformacje = item(QStringLiteral("Informacje"), {}, [this] { logic_.information(); }, &M::informacje);
    mSuma = item(QStringLiteral("Suma"), {}, [this] {
        logic_.sums([this] { XDBGrid1->viewport()->repaint(); });
    }, &M::suma);

    connect(BitBtn1, &QPushButton::clicked, this, &TF_ListaPoz::search);
    connect(BitBtn2, &QPushButton::clicked, this, &TF_ListaPoz::Drukuj);
    connect(BitBtn3, &QPushButton::clicked, this, &TF_ListaPoz::Eksport);
    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::reject);
    connect(XDBGrid1, &QAbstractItemView::doubleClicked, this, [this] {
        updateMenu();
        if (mPopraw->isEnabled())
            mPopraw->trigger();
    });

    for (auto signal : {&data::Dataset::rowsChanged, &data::Dataset::stateChanged})
        connect(dane_.T_Poz, signal, this, [this] {
            updateFooter();
            updateMenu();
        });
    bindGrid();
    setTabOrder(XDBGrid1, XDBNavigator1);
}

void TF_ListaPoz::bindGrid()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    // A date is shown whole, whatever the font.
    const int dateWidth = std::max(64, XDBGrid1->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000")) + 12);
    XDBGrid1->bind(dane_.T_Poz,
                   {{.title = QStringLiteral("Lp"), .width = 40, .titleAlignment = left},
                    {.field = QStringLiteral("data"), .title = QStringLiteral("Data"), .width = dateWidth},
                    {.field = QStringLiteral("fak"), .title = QStringLiteral("Numer dokumentu źródłowego"), .width = 128},
                    {.field = QStringLiteral("pks"), .title = QStringLiteral("Pozycja księgowa"), .width = 64},
                    {.field = QStringLiteral("Kontrahent"), .title = QStringLiteral("Kontrahent"), .width = 256},
                    {.field = QStringLiteral("Choroba"), .title = QStringLiteral("Choroba"), .width = 256},
                    {.field = QStringLiteral("Czynnosc"), .title = QStringLiteral("Czynność"), .width = 256,
                     .titleAlignment = left},
                    {.field = QStringLiteral("opis"), .title = QStringLiteral("Opis"), .width = 256},
                    {.field = QStringLiteral("netto"), .title = QStringLiteral("netto"), .width = 128},
                    {.field = QStringLiteral("podatki"), .title = QStringLiteral("zobowiązania publiczno- prawne"),
                     .width = 128},
                    {.field = QStringLiteral("brutto"), .title = QStringLiteral("brutto"), .width = 128}},
                   &dane_.messages());
    XDBGrid1->setHeaderBands({{QStringLiteral("Wartość"),
                               {QStringLiteral("netto"), QStringLiteral("podatki"), QStringLiteral("brutto")}}});
    XDBGrid1->datasetModel()->setBoldRule([this](int row) { return logic_.highlighted(row); });
    XDBNavigator1->bind(dane_.T_Poz, &dane_.messages());
    // The navigator's save ends a pending copy once it has saved.
    connect(XDBNavigator1, &fenwa::ui::DbNavigator::posted, this, [this] {
        logic_.endCopy();
        updateMenu();
    });
}

void TF_ListaPoz::record(const std::function<void(Table &)> &command)
{
    data::guarded(dane_.messages(), [&] { command(*dane_.T_Poz); });
    XDBNavigator1->updateButtons();
    updateMenu();
}

void TF_ListaPoz::search()
{
    updateMenu();
    if (mSzukaj->isEnabled() && onSearch)
        onSearch(this);
}

void TF_ListaPoz::updateMenu() { PopupMenu1->refresh(); }

void TF_ListaPoz::updateFooter()
{
    XDBGrid1->clearFooter();
    const Table *p = dane_.T_Poz;
    if (!p->active())
        return;
    XDBGrid1->setFooterText(0, QString::number(p->recordCount()));
    const auto *model = XDBGrid1->datasetModel();
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString field = model->column(c).field;
        if (field != QLatin1String("netto") && field != QLatin1String("podatki") && field != QLatin1String("brutto"))
            continue;
        const int f = p->fieldIndex(field);
        long double sum = 0;
        for (int r = 0; r < p->recordCount(); ++r)
            sum += p->valueAt(r, f).toDouble();
        XDBGrid1->setFooterText(c, formatAmount(double(sum)));
    }
}

void TF_ListaPoz::Drukuj()
{
    updateMenu();
    if (!mDrukuj->isEnabled())
        return;
    data::guarded(dane_.messages(), [this] {
        if (onPrint)
            onPrint(QStringLiteral("Rep_Poz"));
        else
            output::ui::runPrint(this, QStringLiteral("Rep_Poz"), output::standardParameters(dane_, windowTitle()),
                                 output::DatasetSource(*dane_.T_Poz), dane_.messages());
    });
}

void TF_ListaPoz::Eksport()
{
    updateMenu();
    if (!mEksport->isEnabled())
        return;
    data::Query *q = dane_.Q_Rob;
    try {
        const QStringList statement = logic_.exportStatement();
        q->close();
        q->setSql(statement);
        writeStatement(statementFolder, statement);
        q->open();
    } catch (const data::EngineError &) {
        q->close();
        dane_.messages().error(output::kExcelError);
        return;
    }
    output::SheetDesign design;
    design.title = windowTitle();
    design.landscape = true;
    const auto col = [](const QString &heading, double width, const QString &field, bool amount = false,
                        bool number = false) { return output::sheetColumn(heading, width, field, amount, number); };
    design.columns = {col("Lp", 5, ""),
                      col("Źródło finansowania", 15, "zf"),
                      col("Choroba", 15, "ch"),
                      col("Gatunek zwierzęcia", 15, "gat"),
                      col("Nazwa kontrahenta", 15, "kontr"),
                      col("Czynność", 15, "cz"),
                      col("Opis", 15, "opis"),
                      col("Data", 15, "data"),
                      col("Pozycja księgowa", 15, "pks"),
                      col("Numer dokumentu źródłowego", 15, "fak"),
                      col("Ilosc", 15, "ilosc", false, true),
                      col("Jm", 15, "jm"),
                      col("Cena jednostkowa brutto", 0, "cena", false, true),
                      col("Netto", 15, "netto", true),
                      col("Zobowiązania publiczno-prawne", 15, "podatki", true),
                      col("Brutto", 15, "brutto", true),
                      col("Wydatki", 0, "wyd"),
                      col("Koszty", 0, "kosz"),
                      col("Dotyczy roku bieżącego", 0, "dot"),
                      col("Badanie diagnostyczne", 30, "bd"),
                      col("Badanie pozostałości", 30, "bp"),
                      col("Zakupy", 30, "zak")};
    if (dane_.settings().voivodeship())
        design.columns << col("Pracownia", 30, "prac");
    output::SheetExport::run(output::sheetEnvironment(dane_, openFile ? openFile : output::ui::openWithDesktop), design,
                             output::DatasetSource(*q));
    q->close();
}

void TF_ListaPoz::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    XDBGrid1->loadLayout();
    XDBGrid1->setFocus();
    XDBNavigator1->updateButtons();
    updateFooter();
    updateMenu();
}

void TF_ListaPoz::keyPressEvent(QKeyEvent *event)
{
    // Esc is "Rezygnuj" of the menu, not a way out of the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        updateMenu();
        if (mRezygnuj->isEnabled())
            mRezygnuj->trigger();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TF_ListaPoz::done(int result)
{
    if (dane_.T_Poz->editing())
        dane_.T_Poz->cancel();
    XDBGrid1->saveLayout();
    QDialog::done(result);
}

} // namespace fenwa::reg::ui
