#include "dictionaries/ui/Slowniki.h"

#include "data/Guard.h"
#include "dictionaries/PersonalData.h"
#include "output/DatasetSource.h"
#include "output/Standard.h"
#include "output/ui/DesktopOpener.h"
#include "output/ui/PrintPreview.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace fenwa::dictionaries::ui {

using data::Table;

TF_Slowniki::TF_Slowniki(data::TF_Dane &dane, QWidget *parent) : QDialog(parent), dane_(dane)
{
    setObjectName(QStringLiteral("F_Slowniki"));
    setWindowTitle(QStringLiteral("Słowniki"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(1000, 600);
    runModal = [](QDialog &d) { return d.exec(); };

    pageControl1 = new QTabWidget(this);
    pageControl1->setObjectName(QStringLiteral("pageControl1"));
    const QVector<DictionaryTab> &tabs = dictionaryTabs();
    for (int page = 0; page < tabs.size(); ++page) {
        const DictionaryTab &tab = tabs[page];
        auto *holder = new QWidget(pageControl1);
        holder->setObjectName(tab.object);
        auto *grid = new fenwa::ui::DbGrid(holder);
        grid->setObjectName(tab.grid);
        grid->setTitleOrdering(true);
        grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
        auto *lay = new QVBoxLayout(holder);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->setSpacing(0);
        lay->addWidget(grid, 1);
        // The units and laboratories are no tabs of a county installation.
        if (tab.voivodeshipOnly && !dane_.settings().voivodeship())
            holder->hide();
        else
            pageControl1->addTab(holder, tab.caption);
        grids_ << grid;
        pages_ << holder;

        QVector<fenwa::ui::GridColumn> columns;
        for (const DictionaryColumn &c : tab.columns)
            columns << fenwa::ui::GridColumn{.field = c.field, .title = c.title, .width = c.width, .check = c.check};
        grid->bind(dictionaryTable(dane_, tab), columns, &dane_.messages());
        if (tab.object == QLatin1String("Tab_kontr")) {
            // The hidden flag is a narrow fixed column.
            const int ukr = int(tab.columns.size()) - 1;
            grid->horizontalHeader()->setSectionResizeMode(ukr, QHeaderView::Fixed);
            grid->setColumnWidth(ukr, 15);
        }
        grid->installEventFilter(this);
        connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this, page](int column) { titleClicked(page, column); });
        connect(grid, &QAbstractItemView::doubleClicked, this, [this, page] {
            if (picking_ && dictionaryTabs()[page].picks)
                accept();
        });
        QVector<fenwa::ui::HeaderBand> bands;
        for (const HeaderBand &band : tab.bands)
            bands << fenwa::ui::HeaderBand{band.title, band.fields};
        grid->setHeaderBands(bands);
    }

    XDBNavigator1 = new fenwa::ui::DbNavigator(this);
    auto button = [this](const QString &text, const QString &hint) {
        auto *b = new QPushButton(text, this);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    BitBtn5 = button(QStringLiteral("Szukaj"), QStringLiteral("Szukaj"));
    BitBtn4 = button(QStringLiteral("Drukuj"), QStringLiteral("Drukuj"));
    BitBtn2 = button(QStringLiteral("Eksportuj do Excel-a"), QStringLiteral("Eksportuj do Excel-a"));
    BitBtn1 = button(QStringLiteral("&Wyjście"), QStringLiteral("Wyjście"));
    auto *bar = new QHBoxLayout;
    bar->addWidget(XDBNavigator1);
    bar->addStretch();
    for (QPushButton *b : {BitBtn5, BitBtn4, BitBtn2, BitBtn1})
        bar->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(4, 4, 4, 4);
    lay->addWidget(pageControl1, 1);
    lay->addLayout(bar);

    // Row commands are on while the active table could do them.
    auto writable = [this] { return activeTable() && activeTable()->active() && !activeTable()->readOnly(); };
    auto browsing = [this, writable] { return writable() && !activeTable()->editing(); };
    auto hasRow = [this, browsing] { return browsing() && !activeTable()->isEmpty(); };
    auto editing = [this, writable] { return writable() && activeTable()->editing(); };
    PopupMenu1 = new fenwa::ui::CommandMenu(this);
    for (fenwa::ui::DbGrid *g : std::as_const(grids_))
        PopupMenu1->openFor(g);
    auto item = [this](const QString &text, const QKeySequence &key, auto slot, std::function<bool()> on = {}) {
        return PopupMenu1->addCommand(text, slot, key, std::move(on));
    };
    mDodaj = item(QStringLiteral("Dodaj"), QKeySequence(Qt::CTRL | Qt::Key_Insert),
                  [this] { record([](Table &t) { t.append(); }); }, browsing);
    mUsun = item(QStringLiteral("Usuń"), QKeySequence(Qt::CTRL | Qt::Key_Delete),
                 [this] { record([](Table &t) { t.remove(); }); }, hasRow);
    mPopraw = item(QStringLiteral("Popraw"), QKeySequence(Qt::CTRL | Qt::Key_F2),
                   [this] { record([](Table &t) { t.edit(); }); }, hasRow);
    mZapisz = item(QStringLiteral("Zapisz"), QKeySequence(Qt::CTRL | Qt::Key_S),
                   [this] { record([](Table &t) { t.post(); }); }, editing);
    mRezygnuj = item(QStringLiteral("Rezygnuj"), {}, [this] { record([](Table &t) { t.cancel(); }); }, editing);
    mRezygnuj->setShortcut(QKeySequence(Qt::Key_Escape));   // handled in keyPressEvent
    PopupMenu1->addSeparator();
    mImportuj = item(QStringLiteral("Importuj"), {}, [this] { Importuj(); },
                     [this] { return activeTab().import.has_value(); });
    PopupMenu1->addSeparator();
    mSzukaj = item(QStringLiteral("Szukaj"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        if (onSearch)
            onSearch(this);
    });
    mDrukuj = item(QStringLiteral("Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { Drukuj(); });
    mEksport = item(QStringLiteral("Eksport do Excel-a"), QKeySequence(Qt::CTRL | Qt::Key_E), [this] { Eksport(); });
    PopupMenu1->addSeparator();
    mZapisy = item(QStringLiteral("Zapisy"), {}, [this] { Zapisy(); });
    mInformacje = item(personalDataTitle, {}, [this] { Informacje(); });
    PopupMenu1->addSeparator();
    mWyjscie = item(QStringLiteral("Wyjście"), QKeySequence(Qt::ALT | Qt::Key_F4), [this] { accept(); });

    connect(BitBtn5, &QPushButton::clicked, mSzukaj, &QAction::trigger);
    connect(BitBtn4, &QPushButton::clicked, this, &TF_Slowniki::Drukuj);
    connect(BitBtn2, &QPushButton::clicked, this, &TF_Slowniki::Eksport);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(pageControl1, &QTabWidget::currentChanged, this, &TF_Slowniki::tabChanged);
    connect(XDBNavigator1, &fenwa::ui::DbNavigator::acted, this, &TF_Slowniki::updateMenu);
    tabChanged();
}

const DictionaryTab &TF_Slowniki::activeTab() const
{
    return dictionaryTabs()[currentPage()];
}

Table *TF_Slowniki::activeTable() const
{
    return qobject_cast<Table *>(grids_[currentPage()]->dataset());
}

int TF_Slowniki::currentPage() const
{
    return std::max(0, int(pages_.indexOf(pageControl1->currentWidget())));
}

bool TF_Slowniki::pageShown(int page) const
{
    return page >= 0 && page < pages_.size() && pageControl1->indexOf(pages_[page]) >= 0;
}

void TF_Slowniki::setPage(int page)
{
    if (!pageShown(page))
        return;
    if (page == currentPage())
        tabChanged();
    else
        pageControl1->setCurrentWidget(pages_[page]);
}

int TF_Slowniki::showAt(const QString &tabObject)
{
    const int page = tabIndex(tabObject);
    if (!pageShown(page))
        return QDialog::Rejected;
    setPage(page);
    return runModal(*this);
}

std::optional<qlonglong> TF_Slowniki::pick(int page)
{
    if (!pageShown(page))
        return std::nullopt;
    setPage(page);
    picking_ = true;
    const int result = runModal(*this);
    picking_ = false;
    Table *t = activeTable();
    if (result != QDialog::Accepted || !t || t->isEmpty() || t->isNull(QStringLiteral("Id")))
        return std::nullopt;
    return t->asInt(QStringLiteral("Id"));
}

void TF_Slowniki::tabChanged()
{
    szukany.clear();
    mInformacje->setVisible(activeTab().object == QLatin1String("Tab_kontr"));
    bindNavigator();
}

void TF_Slowniki::bindNavigator()
{
    XDBNavigator1->bind(activeTable(), &dane_.messages());
    XDBNavigator1->updateButtons();
    updateMenu();
}

void TF_Slowniki::updateMenu() { PopupMenu1->refresh(); }

void TF_Slowniki::record(const std::function<void(Table &)> &command)
{
    // Row commands report nothing: the rules show their own messages.
    if (Table *t = activeTable())
        data::quiet([&] { command(*t); });
    XDBNavigator1->updateButtons();
    updateMenu();
}

void TF_Slowniki::titleClicked(int page, int column)
{
    szukany.clear();
    auto *t = qobject_cast<Table *>(grids_[page]->dataset());
    const QVector<DictionaryColumn> &columns = dictionaryTabs()[page].columns;
    if (t && column >= 0 && column < columns.size())
        toggleFilter(*t, columns[column]);
}

void TF_Slowniki::Drukuj()
{
    Table *t = activeTable();
    if (!t)
        return;
    const QString title = QStringLiteral("Słownik: ") + activeTab().caption;
    const output::DatasetSource source(*t);
    if (onPrint)
        onPrint(activeTab().object, source, title);
    else
        output::ui::runPrint(this, activeTab().object, output::standardParameters(dane_, title), source,
                             dane_.messages());
}

void TF_Slowniki::Eksport()
{
    Table *t = activeTable();
    if (!t)
        return;
    fenwa::ui::DbGrid *g = grids_[currentPage()];
    QVector<int> widths;
    for (int c = 0; c < g->model()->columnCount(); ++c)
        widths << g->columnWidth(c);
    data::safely(dane_.messages(), [&] {
        exportDictionary(output::sheetEnvironment(dane_, openFile ? openFile : output::ui::openWithDesktop),
                         activeTab(), *t, widths);
    });
}

void TF_Slowniki::Importuj()
{
    const DictionaryTab &tab = activeTab();
    Table *t = activeTable();
    if (!tab.import || !t)
        return;
    const ImportSource &source = importSource(*tab.import);
    QString file;
    if (chooseImportFile) {
        file = chooseImportFile(source);
    } else {
        file = QFileDialog::getOpenFileName(this, QString(), importFolder ? importFolder() : QString(),
                                            source.description + QStringLiteral(" (") + source.fileName
                                                + QLatin1Char(')'));
    }
    if (file.isEmpty())
        return;
    t->close();
    const ImportResult result = importDictionary(*dane_.database(), *tab.import, file);
    data::guarded(dane_.messages(), [t] { t->open(); });
    if (!result.error.isEmpty())
        dane_.messages().error(result.error);
    bindNavigator();
}

void TF_Slowniki::Zapisy()
{
    if (!dane_.user().przeglad)
        return;
    Table *t = activeTable();
    if (!t || t->isEmpty() || t->isNull(QStringLiteral("Id"))) {
        dane_.messages().information(QStringLiteral("Wybierz zapis słownika, dla którego ma powstać zestawienie zapisów."));
        return;
    }
    EntryRequest request;
    if (!askPeriod || !askPeriod(request))
        return;
    const QString title = entryTitle(*t, activeTab().caption);
    if (request.from.year() != request.to.year()) {
        dane_.messages().error(kOneYearOnly);
        return;
    }
    const QString code = unitCodeOf ? unitCodeOf(request.unit) : QString();
    const QString suffix = u'_' + QString::number(request.from.year()) + u'_' + code + QStringLiteral(".db");
    data::Query *q = dane_.Q_Slownik;
    q->close();
    q->setSql(entryStatement(dane_.settings().fd, suffix, activeTab().dictionaryName(), t->asInt(QStringLiteral("Id")),
                             request.from, request.to));
    // The statement's text, as run, for whoever wants to see it.
    QFile dump(QDir(dumpFolder).filePath(QStringLiteral("slownik.txt")));
    if (dump.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        dump.write(q->text().toUtf8());
    dump.close();
    if (!data::guarded(dane_.messages(), [q] { q->open(); }))
        return;
    const QString heading = entryHeading(title, request.from, request.to);
    const output::DatasetSource source(*q);
    if (!request.toSheet) {
        if (onPrint)
            onPrint(QStringLiteral("Rep_Slownik"), source, heading);
        else
            output::ui::runPrint(this, QStringLiteral("Rep_Slownik"), output::standardParameters(dane_, heading),
                                 source, dane_.messages());
    } else {
        output::SheetExport::run(output::sheetEnvironment(dane_, openFile ? openFile : output::ui::openWithDesktop),
                                 entrySheet(heading, request.quantities), source);
    }
    q->close();
}

void TF_Slowniki::Informacje()
{
    Table *t = activeTable();
    if (!t || t->isEmpty() || t->isNull(QStringLiteral("Id")))
        return;
    data::Database &db = *dane_.database();
    data::FileListView *view = dane_.rules.fileList;
    const QString mask = QStringLiteral("p_????_????.db");
    const QStringList files = db.listFiles(mask);
    if (view)
        view->showFiles(db.folder(), mask, files, QStringLiteral("Szukanie ..."));
    QString answer;
    // An unreadable file stops the search; the list stays on screen then.
    if (!data::guarded(dane_.messages(), [&] {
            answer = personalDataInformation(db, t->asInt(QStringLiteral("Id")), dane_.clock().now(),
                                             [&](const QString &file) {
                                                 if (view)
                                                     view->selectFile(int(files.indexOf(file)));
                                             });
        }))
        return;
    if (view)
        view->hideFiles();
    dane_.messages().information(answer, personalDataTitle);
}

void TF_Slowniki::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    grids_[currentPage()]->setFocus();
    bindNavigator();
}

bool TF_Slowniki::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        bindNavigator();
    return QDialog::event(event);
}

bool TF_Slowniki::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *g = qobject_cast<fenwa::ui::DbGrid *>(watched);
        auto *t = g ? qobject_cast<Table *>(g->dataset()) : nullptr;
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const bool focusKey = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (t && plain && !focusKey && !key->text().isEmpty() && incrementalSearch(*t, szukany, key->text().at(0)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_Slowniki::keyPressEvent(QKeyEvent *event)
{
    // Esc is "Rezygnuj" of the menu, not a way out of the window.
    if (PopupMenu1->escapeTo(mRezygnuj, event))
        return;
    QDialog::keyPressEvent(event);
}

} // namespace fenwa::dictionaries::ui
