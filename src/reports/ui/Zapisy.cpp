#include "reports/ui/Zapisy.h"

#include "common/Numbers.h"
#include "data/Guard.h"
#include "data/Units.h"
#include "output/Standard.h"
#include "output/ui/DesktopOpener.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QVBoxLayout>

namespace fenwa::reports::ui {

namespace {

// The statement as it was run, replaced each time; a dump for the curious,
// so a failure to write it stops nothing.
void writeStatement(const QString &folder, const QStringList &lines)
{
    if (folder.isEmpty())
        return;
    QSaveFile f(QDir(folder).filePath(QStringLiteral("test.txt")));
    if (f.open(QIODevice::WriteOnly)) {
        f.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        f.commit();
    }
}

} // namespace

TF_Zapisy::TF_Zapisy(data::TF_Dane &dane, QWidget *parent) : QDialog(parent), dane_(dane), q_(*dane.Q_Rob)
{
    setObjectName(QStringLiteral("F_Zapisy"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto *layout = new QVBoxLayout(this);
    XDBGrid1 = new fenwa::ui::DbGrid(this);
    // Each column's filter stands in the box above its title.
    XDBGrid1->bandedHeader()->setNotesShown(true);
    XDBGrid1->setFooterVisible(true);
    XDBGrid1->horizontalHeader()->setSectionsClickable(true);
    XDBGrid1->installEventFilter(this);
    layout->addWidget(XDBGrid1);
    auto *bar = new QHBoxLayout;
    Szukaj = new QPushButton(QStringLiteral("Szukaj"), this);
    Szukaj->setToolTip(QStringLiteral("Szukaj"));
    Csv = new QPushButton(QStringLiteral("*.CSV"), this);
    QFont bold = Csv->font();
    bold.setBold(true);
    Csv->setFont(bold);
    Excel = new QPushButton(QStringLiteral("Excel"), this);
    Excel->setToolTip(QStringLiteral("Eksportuj do Excel-a"));
    Zamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    for (QPushButton *b : {Szukaj, Csv, Excel})
        bar->addWidget(b);
    bar->addStretch();
    bar->addWidget(Zamknij);
    layout->addLayout(bar);
    connect(Szukaj, &QPushButton::clicked, this, [this] {
        if (onSearch)
            onSearch(this);
    });
    connect(Csv, &QPushButton::clicked, this, &TF_Zapisy::EksportCsv);
    connect(Excel, &QPushButton::clicked, this, &TF_Zapisy::EksportExcel);
    connect(Zamknij, &QPushButton::clicked, this, &QDialog::accept);
    connect(XDBGrid1, &fenwa::ui::DbGrid::currentFieldChanged, this, [this](const QString &field) {
        kolumna.clear(); // "Lp" has no field: setting and removing do nothing there
        for (const BrowserColumn &c : std::as_const(columns_))
            if (c.field.compare(field, Qt::CaseInsensitive) == 0)
                kolumna = c.field;
    });
    connect(XDBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, &TF_Zapisy::orderBy);

    menu = new fenwa::ui::CommandMenu(this);
    menu->openFor(XDBGrid1);
    menu->addCommand(
        QStringLiteral("Szukaj"), [this] { Szukaj->click(); }, QKeySequence(QStringLiteral("Ctrl+F")));
    menu->addSeparator();
    menu->addCommand(QStringLiteral("Ustaw filtr"), [this] { UstawFiltr(); });
    menu->addCommand(QStringLiteral("Usuń filtr"), [this] { UsunFiltr(); });
    menu->addCommand(QStringLiteral("Usuń wszystkie filtry"), [this] { UsunWszystkieFiltry(); });
    menu->addSeparator();
    menu->addCommand(QStringLiteral("Opcje wyświetlania"), [this] { XDBGrid1->chooseColumns(); });
    mDopasuj = menu->addCommand(QStringLiteral("Dopasuj do szerokości"), [this] {
        const bool stretch = mDopasuj->isChecked();
        XDBGrid1->horizontalHeader()->setSectionResizeMode(stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
    });
    mDopasuj->setCheckable(true);

    F_FiltrTekstowy = new TF_FiltrTekstowy(this);
    F_FiltrReal = new TF_FiltrReal(this);
    F_FiltrBool = new TF_FiltrBool(this);
    F_FiltrDat = new TF_FiltrDat(this);
}

void TF_Zapisy::Przegladanie()
{
    int year = 0;
    QString unit;
    if (!askRegister || !askRegister(year, unit))
        return;
    if (openYear(year, unit))
        show(*this);
}

bool TF_Zapisy::openYear(int year, const QString &unit)
{
    const QString code = data::unitCode(dane_, unit);
    if (code.isEmpty()) {
        dane_.messages().error(
            QStringLiteral("Nie znaleziono jednostki „%1” w słownikach inspektoratów i jednostek.").arg(unit));
        return false;
    }
    const bool voivodeship = dane_.settings().voivodeship();
    const QString suffix = QStringLiteral("_%1_%2.db").arg(year).arg(code);
    const QStringList statement = browserStatement(dane_.settings().fd, suffix, year, voivodeship);
    XDBGrid1->saveLayout();
    filtry_.clear();
    applyFilter(q_, QString());
    q_.close();
    q_.setSql(statement);
    writeStatement(statementFolder,
                   browserStatement(dane_.settings().fd, suffix, year, voivodeship, BrowserText::AsWritten));
    if (!data::guarded(dane_.messages(), [&] { q_.open(); }))
        return false;
    if (q_.isEmpty())
        return false;
    q_.setDisplayFormat(QStringLiteral("cena"), kAmountFormat);
    for (const char *f : {"netto", "podatki", "brutto"})
        q_.setDisplayFormat(QString::fromLatin1(f), kAmountFormat);
    columns_ = browserColumns(voivodeship);
    filtry_ = BrowserFilters(columns_.size());
    QVector<fenwa::ui::GridColumn> grid{{.title = QStringLiteral("Lp"), .width = 40, .readOnly = true}};
    for (const BrowserColumn &c : columns_)
        grid << fenwa::ui::GridColumn{.field = c.field,
                                      .title = c.title,
                                      .width = c.width,
                                      .check = c.check,
                                      .readOnly = true,
                                      .titleAlignment = c.centredTitle ? Qt::AlignHCenter : Qt::AlignLeft};
    XDBGrid1->bind(&q_, grid, &dane_.messages());
    XDBGrid1->setHeaderBands(
        {{QStringLiteral("Paragraf"), {QStringLiteral("par"), QStringLiteral("pOpis")}},
         {QStringLiteral("Wartość"), {QStringLiteral("netto"), QStringLiteral("podatki"), QStringLiteral("brutto")}}});
    XDBGrid1->loadLayout();
    pole.clear();
    szukany.clear();
    XDBGrid1->horizontalHeader()->setSortIndicatorShown(false);
    setWindowTitle(QStringLiteral("Przeglądanie pozycji za rok %1").arg(year));
    rebuild();
    return true;
}

void TF_Zapisy::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    filtry_.clear();
    rebuild();
    kolumna = QStringLiteral("data");
    mDopasuj->setChecked(XDBGrid1->horizontalHeader()->sectionResizeMode(0) == QHeaderView::Stretch);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TF_Zapisy::done(int result)
{
    filtry_.clear();
    rebuild();
    XDBGrid1->saveLayout();
    QDialog::done(result);
}

int TF_Zapisy::currentColumn() const
{
    for (int c = 0; c < columns_.size(); ++c)
        if (columns_[c].field.compare(kolumna, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void TF_Zapisy::UstawFiltr()
{
    const int c = currentColumn();
    if (c < 0 || !q_.active() || q_.isEmpty())
        return;
    const BrowserColumn &col = columns_[c];
    switch (q_.fieldDef(col.field).type) {
    case data::FieldType::Boolean:
        F_FiltrBool->prefill(col.title, q_.asBool(col.field));
        if (show(*F_FiltrBool) != QDialog::Accepted)
            return;
        filtry_.setBool(c, col.field, F_FiltrBool->CheckBox1->isChecked());
        break;
    case data::FieldType::Float:
    case data::FieldType::Integer:
        F_FiltrReal->prefill(col.title, q_.asString(col.field));
        for (;;) {
            if (show(*F_FiltrReal) != QDialog::Accepted)
                return;
            QString error;
            if (filtry_.setReal(c, col.field, F_FiltrReal->Od->text(), F_FiltrReal->Do->text(), &error))
                break;
            dane_.messages().error(error);
        }
        break;
    case data::FieldType::Date:
        F_FiltrDat->prefill(col.title, q_.asDate(col.field));
        if (show(*F_FiltrDat) != QDialog::Accepted)
            return;
        filtry_.setDates(c, col.field, F_FiltrDat->Od->date(), F_FiltrDat->Do->date());
        break;
    case data::FieldType::String:
        F_FiltrTekstowy->prefill(col.title, q_.asString(col.field));
        if (show(*F_FiltrTekstowy) != QDialog::Accepted)
            return;
        filtry_.setText(c, col.field, F_FiltrTekstowy->Edit1->text());
        break;
    default: return;
    }
    rebuild();
}

void TF_Zapisy::UsunFiltr()
{
    const int c = currentColumn();
    if (c < 0)
        return;
    filtry_.remove(c);
    rebuild();
}

void TF_Zapisy::UsunWszystkieFiltry()
{
    filtry_.clear();
    rebuild();
}

void TF_Zapisy::rebuild()
{
    if (q_.active())
        keepingView([&] { data::guarded(dane_.messages(), [&] { applyFilter(q_, filtry_.filtr()); }); });
    updateTitles();
    updateFooter();
}

void TF_Zapisy::updateTitles()
{
    fenwa::ui::BandedHeader *header = XDBGrid1->bandedHeader();
    header->clearNotes();
    for (int c = 0; c < columns_.size(); ++c)
        header->setNote(columns_[c].field, filtry_.description(c));
}

void TF_Zapisy::updateFooter()
{
    XDBGrid1->clearFooter();
    if (!q_.active() || columns_.isEmpty())
        return;
    const BrowserTotals t = browserTotals(q_);
    XDBGrid1->setFooterText(0, QString::number(t.rows));
    for (int c = 0; c < columns_.size(); ++c) {
        const QString f = columns_[c].field.toLower();
        if (f == QLatin1String("netto"))
            XDBGrid1->setFooterText(c + 1, formatAmount(t.netto));
        else if (f == QLatin1String("podatki"))
            XDBGrid1->setFooterText(c + 1, formatAmount(t.podatki));
        else if (f == QLatin1String("brutto"))
            XDBGrid1->setFooterText(c + 1, formatAmount(t.brutto));
    }
}

void TF_Zapisy::orderBy(int column)
{
    if (column <= 0 || column > columns_.size() || !q_.active())
        return;
    const QString field = columns_[column - 1].field;
    const data::Dataset::Bookmark mark = q_.bookmark();
    const QStringList before = q_.sql();
    keepingView([&] {
        const bool reopened = data::quiet([&] {
            q_.setSql(orderedStatement(before, field));
            q_.open();
        });
        if (!reopened) {
            q_.setSql(before);
            data::quiet([&] { q_.open(); });
        } else {
            pole = field;
            szukany.clear();
            XDBGrid1->horizontalHeader()->setSortIndicatorShown(true);
            XDBGrid1->horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
        }
        q_.gotoBookmark(mark);
    });
    updateFooter();
}

void TF_Zapisy::keepingView(const std::function<void()> &change)
{
    const int scrolled = XDBGrid1->horizontalScrollBar()->value();
    const int column = XDBGrid1->currentIndex().column();
    change();
    if (column >= 0 && q_.recNo() >= 0)
        XDBGrid1->setCurrentIndex(XDBGrid1->model()->index(q_.recNo(), column));
    XDBGrid1->horizontalScrollBar()->setValue(scrolled);
}

bool TF_Zapisy::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == XDBGrid1 && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && !key->text().isEmpty()) {
            reports::incrementalSearch(q_, pole, szukany, key->text().at(0));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_Zapisy::EksportCsv()
{
    QString path;
    if (askCsvPath) {
        path = askCsvPath();
    } else {
        QFileDialog dialog(this, QStringLiteral("Eksport danych do pliku CSV"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({QStringLiteral("pliki csv (*.csv)"), QStringLiteral("wszystkie pliki (*.*)")});
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
    }
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path)
        && !dane_.messages().question(QStringLiteral("Plik o takiej nazwie istnieje. Zastąpić?")))
        return;
    QVector<BrowserColumn> visible;
    const QHeaderView *header = XDBGrid1->horizontalHeader();
    for (int v = 0; v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (logical > 0 && !XDBGrid1->isColumnHidden(logical))
            visible << columns_[logical - 1];
    }
    int replaced = 0;
    QString error;
    if (!writeCsv(path, q_, visible, &replaced, &error)) {
        dane_.messages().error(error);
        return;
    }
    if (replaced > 0)
        dane_.messages().information(replacedCharactersText(replaced));
    (openFile ? openFile : output::ui::openWithDesktop)(path);
}

void TF_Zapisy::EksportExcel()
{
    if (!q_.active())
        return;
    output::SheetDesign design;
    design.title = windowTitle();
    design.landscape = true;
    design.columns << output::SheetColumn{QStringLiteral("Lp")};
    for (const BrowserColumn &c : columns_) {
        output::SheetColumn s{c.title};
        s.field = c.field;
        s.number = q_.fieldDef(c.field).type == data::FieldType::Float;
        s.amount = s.number;
        design.columns << s;
    }
    QStringList described;
    for (int c = 0; c < columns_.size(); ++c)
        if (!filtry_.description(c).isEmpty())
            described << filtry_.description(c) + QStringLiteral("; ");
    output::SheetExport::run(output::sheetEnvironment(dane_, openFile ? openFile : output::ui::openWithDesktop), design,
                             [&](output::SheetExport &sheet) {
                                 for (q_.first(); !q_.eof(); q_.next()) {
                                     QVector<QVariant> values;
                                     for (const BrowserColumn &c : columns_)
                                         values << (q_.fieldDef(c.field).type == data::FieldType::Float
                                                        ? QVariant(q_.asFloat(c.field))
                                                        : QVariant(q_.asString(c.field)));
                                     sheet.addRow(values);
                                 }
                                 sheet.addLine(QStringLiteral("Filtr: ") + described.join(QString()));
                             });
}

} // namespace fenwa::reports::ui
