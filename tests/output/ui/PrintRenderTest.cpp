// Every layout rendered to PDF and read back with pdftotext; the preview window.
#include "QtPrinters.h"
#include "WaitUntil.h"
#include "common/ScriptedMessages.h"
#include "output/ui/PrintPreview.h"
#include "output/ui/PrintRenderer.h"

#include "common/Messages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGraphicsView>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa::output;
using namespace fenwa::output::ui;
using fenwa::testing::waitUntil;

namespace {

const QString kStopka = QStringLiteral("Wydruk z programu Fenwa5 - [14.09.2016], użytkownik: anna\n"
                                       "Data Wydruku: 14.09.2016");

PrintParameters params(const QString &title = QStringLiteral("Słownik: próba wydruku"))
{
    PrintParameters p;
    p.set(QStringLiteral("Tytul"), title);
    p.set(QStringLiteral("IW"), PrintParameters::iw(QStringLiteral("Wojewódzki Inspektorat Weterynarii"),
                                                   QStringLiteral("ul. Lipowa 5"),
                                                   QStringLiteral("20-001 Lublin")));
    p.set(QStringLiteral("Stopka_raportu"), kStopka);
    p.set(QStringLiteral("Kryterium"), QStringLiteral("Rozdział"));
    return p;
}

// A source with every field the layout names: amounts 1.25 × row number,
// dates in March 2016, texts "<field> <row>" (or `text` when given).
MemorySource sourceFor(const PrintLayout &l, int rows, const QString &text = {})
{
    MemorySource s;
    QStringList fields;
    QStringList amounts{"netto", "podatki", "brutto", "ilosc"};
    for (const auto &c : l.columns)
        for (const auto &p : c.parts)
            for (const QString &f : p.fields)
                if (!fields.contains(f, Qt::CaseInsensitive)) {
                    fields << f;
                    Column col{f, f, ColumnType::Text, {}};
                    if (amounts.contains(f, Qt::CaseInsensitive)) {
                        col.type = ColumnType::Number;
                        col.format = QStringLiteral("#,##0.00");
                    } else if (f.compare(QLatin1String("data"), Qt::CaseInsensitive) == 0) {
                        col.type = ColumnType::Date;
                    }
                    s.addColumn(col);
                }
    for (int r = 1; r <= rows; ++r) {
        QVector<QVariant> row;
        for (int i = 0; i < s.columnCount(); ++i) {
            const Column c = s.column(i);
            if (c.type == ColumnType::Number)
                row << 1.25 * r;
            else if (c.type == ColumnType::Date)
                row << QDate(2016, 3, 1 + r % 28);
            else
                row << (text.isEmpty() ? QStringLiteral("%1 %2").arg(c.name).arg(r) : text);
        }
        s.addRow(row);
    }
    return s;
}

struct Pdf {
    QStringList pages;   // text of each page
    QString all() const { return pages.join(QLatin1Char('\f')); }
};

Pdf readPdf(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    Pdf pdf;
    pdf.pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pdf.pages.isEmpty() && pdf.pages.last().trimmed().isEmpty())
        pdf.pages.removeLast();
    return pdf;
}

struct Word {
    double x0, x1;   // points from the page's left edge
    QString text;
};

// The words of a PDF's first page with their horizontal extent.
QVector<Word> readWords(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"), QStringLiteral("1"),
                                          path, QStringLiteral("-")});
    p.waitForFinished(60000);
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    QVector<Word> words;
    for (auto it = word.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
    }
    return words;
}

struct PrintRenderTest : ::testing::Test {
    QTemporaryDir dir;
    // FENWA5_KEEP_PDF=1 keeps the printed files for a look at them.
    void SetUp() override
    {
        if (qEnvironmentVariableIsSet("FENWA5_KEEP_PDF")) {
            dir.setAutoRemove(false);
            std::printf("PDF folder: %s\n", qPrintable(dir.path()));
        }
    }

    Pdf render(const PrintLayout &l, const ReportSource &src, const PrintParameters &p,
               int *pages = nullptr, const QString &name = {})
    {
        const PrintJob job = preparePrint(l, p, src);
        EXPECT_TRUE(job.missingFields.isEmpty()) << job.missingFields.join(",").toStdString();
        PrintRenderer r(job);
        const QString path = dir.filePath((name.isEmpty() ? l.name : name) + QStringLiteral(".pdf"));
        EXPECT_TRUE(r.writePdf(path));
        if (pages)
            *pages = r.pageCount();
        return readPdf(path);
    }
};

QString firstLine(const QString &headingLines) { return headingLines.split('\n').first(); }

} // namespace

TEST_F(PrintRenderTest, EveryLayoutPrintsHeaderHeadingsRowsAndFooter)
{
    for (const PrintLayout &l : printLayouts()) {
        SCOPED_TRACE(l.name.toStdString());
        const MemorySource src = sourceFor(l, 3);
        int pages = 0;
        const Pdf pdf = render(l, src, params(), &pages);
        ASSERT_EQ(pdf.pages.size(), 1);
        EXPECT_EQ(pages, 1);
        const QString text = pdf.all();
        EXPECT_TRUE(text.contains(QStringLiteral("Słownik: próba wydruku")));
        EXPECT_TRUE(text.contains(QStringLiteral("Wojewódzki Inspektorat Weterynarii")));
        EXPECT_TRUE(text.contains(QStringLiteral("20-001 Lublin")));
        for (const PrintColumn &c : l.columns)
            for (const QString &h : c.headingFromKryterium ? QStringList{"Rozdział"} : c.heading)
                EXPECT_TRUE(text.contains(h)) << h.toStdString();
        // The text of the first part of every column in row 3.
        const PrintJob job = preparePrint(l, params(), src);
        for (int c = 0; c < l.columns.size(); ++c)
            EXPECT_TRUE(text.contains(job.rows[2][c].first().split(' ').first()))
                << job.rows[2][c].first().toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Wydruk z programu Fenwa5 - [14.09.2016], użytkownik: anna")));
        EXPECT_TRUE(text.contains(QStringLiteral("Data Wydruku: 14.09.2016")));
        EXPECT_EQ(text.contains(QStringLiteral("Razem")), l.totals);
        if (l.totals) {   // 1.25 + 2.50 + 3.75
            EXPECT_TRUE(text.contains(QStringLiteral("7,50")));
        }
        EXPECT_EQ(text.contains(QStringLiteral("Strona:1")), l.pageNumbers);
    }
}

TEST_F(PrintRenderTest, TextsWiderThanTheirCellsAreSetSmallerNotCut)
{
    const QString symbol = QStringLiteral("DEL 059/12/2020");   // a 15-character group symbol
    for (const PrintLayout &l : printLayouts()) {
        SCOPED_TRACE(l.name.toStdString());
        render(l, sourceFor(l, 1, symbol), params());
        int found = 0;
        for (const Word &w : readWords(dir.filePath(l.name + QStringLiteral(".pdf")))) {
            if (!w.text.contains(QStringLiteral("059")))
                continue;
            ++found;
            bool inside = false;
            for (int c = 0; c < l.columns.size(); ++c) {
                const double left = (l.left + l.columnLeft(c)) * 72, right = left + l.columns[c].width * 72;
                inside = inside || (w.x0 >= left - 0.5 && w.x1 <= right + 0.5);
            }
            EXPECT_TRUE(inside) << w.text.toStdString() << " at " << w.x0 << ".." << w.x1;
        }
        EXPECT_GT(found, 0);
    }
}

TEST_F(PrintRenderTest, LongTablesRepeatHeadingsAndCountPages)
{
    const PrintLayout &l = *findPrintLayout(QStringLiteral("tab_gat"));
    int pages = 0;
    const Pdf pdf = render(l, sourceFor(l, 100), params(), &pages);
    ASSERT_GE(pdf.pages.size(), 3);
    EXPECT_EQ(pages, pdf.pages.size());
    for (int i = 0; i < pdf.pages.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(pdf.pages[i].contains(QStringLiteral("Nazwa gatunku zwierzęcia")));
        EXPECT_TRUE(pdf.pages[i].contains(QStringLiteral("Strona:%1").arg(i + 1)));
        // The header block only on the first page, the footer only on the last.
        EXPECT_EQ(pdf.pages[i].contains(QStringLiteral("Słownik: próba wydruku")), i == 0);
        EXPECT_EQ(pdf.pages[i].contains(QStringLiteral("Data Wydruku")), i == pdf.pages.size() - 1);
    }
    EXPECT_TRUE(pdf.pages[1].contains(QStringLiteral("Strona:2")));
    // Every row once, in order.
    const QString all = pdf.all();
    int at = 0;
    for (int r = 1; r <= 100; ++r) {
        const int found = all.indexOf(QRegularExpression(QStringLiteral("\\bGat %1\\b").arg(r)), at);
        ASSERT_GE(found, 0) << r;
        at = found;
    }
}

TEST_F(PrintRenderTest, TotalsOverAllPagesOnceBelowTheLastRow)
{
    const PrintLayout &l = *findPrintLayout(QStringLiteral("Rep_Poz"));
    int pages = 0;
    const Pdf pdf = render(l, sourceFor(l, 40), params(QStringLiteral("Grupa dokumentów: FV/1")), &pages);
    ASSERT_GE(pages, 2);
    // 1.25 × (1 + … + 40) = 1025
    EXPECT_TRUE(pdf.pages.last().contains(QStringLiteral("Razem")));
    EXPECT_TRUE(pdf.pages.last().contains(QString::fromUtf8("1\u00a0025,00"))
                || pdf.pages.last().contains(QStringLiteral("1 025,00")));
    EXPECT_FALSE(pdf.pages.first().contains(QStringLiteral("Razem")));
    for (const QString &page : pdf.pages)
        EXPECT_TRUE(page.contains(QStringLiteral("Nazwa kontrahenta")));
    EXPECT_FALSE(pdf.all().contains(QStringLiteral("Strona:")));
}

TEST_F(PrintRenderTest, MemoCellsWrapAndGrowTheirRowWithoutLosingText)
{
    const PrintLayout &l = *findPrintLayout(QStringLiteral("Rep_Poz"));
    MemorySource src = sourceFor(l, 0);
    const QString name = QStringLiteral("Przedsiębiorstwo Usług Weterynaryjnych i Laboratoryjnych "
                                        "Spółka z ograniczoną odpowiedzialnością oddział w Zamościu ")
                             .repeated(3).left(255);
    const QString opis = QStringLiteral("Badania kontrolne próbek krwi bydła w kierunku enzootycznej "
                                        "białaczki bydła wykonane w pierwszym kwartale roku zgodnie z "
                                        "planem zwalczania chorób.").left(160);
    QVector<QVariant> row;
    for (int i = 0; i < src.columnCount(); ++i) {
        const QString f = src.column(i).name.toLower();
        if (f == "kontrahent") row << name;
        else if (f == "opis") row << opis;
        else if (src.column(i).type == ColumnType::Number) row << 10.0;
        else if (f == "data") row << QDate(2016, 1, 5);
        else row << QStringLiteral("X1");
    }
    src.addRow(row);
    row[src.columnIndex("Kontrahent")] = QStringLiteral("Krótki");
    row[src.columnIndex("Opis")] = QStringLiteral("NASTĘPNY");
    src.addRow(row);

    const PrintJob job = preparePrint(l, params(), src);
    PrintRenderer r(job);
    QPdfWriter probe(dir.filePath("probe.pdf"));
    probe.setResolution(300);
    r.setupDevice(probe);
    r.paginate(probe);
    const QVector<double> heights = r.rowHeights();
    ASSERT_EQ(heights.size(), 2);
    EXPECT_GT(heights[0], 0.9);          // 255 characters at 1.9 inches: many lines
    EXPECT_DOUBLE_EQ(heights[1], 0.5);   // a short row keeps the layout's height

    const Pdf pdf = render(l, src, params());
    const QString text = pdf.all().simplified();
    for (const QString &w : (name + ' ' + opis).split(' ', Qt::SkipEmptyParts))
        EXPECT_TRUE(text.contains(w)) << w.toStdString();
    // The next row starts after every line of the long one.
    EXPECT_GT(text.indexOf(QStringLiteral("NASTĘPNY")), text.indexOf(QStringLiteral("zwalczania")));
    EXPECT_GT(text.indexOf(QStringLiteral("Krótki")), text.lastIndexOf(QStringLiteral("Zamościu")));
}

TEST_F(PrintRenderTest, EmptySourcePrintsHeaderHeadingsAndFooter)
{
    for (const char *name : {"Rep_Simple", "Tab_Kontr", "Rep_Simple_Il"}) {
        const PrintLayout &l = *findPrintLayout(QString::fromLatin1(name));
        const Pdf pdf = render(l, sourceFor(l, 0), params());
        ASSERT_EQ(pdf.pages.size(), 1) << name;
        const QString t = pdf.all();
        EXPECT_TRUE(t.contains(QStringLiteral("Słownik: próba wydruku")));
        EXPECT_TRUE(t.contains(firstLine(l.columns.last().heading.join('\n'))));
        EXPECT_TRUE(t.contains(QStringLiteral("Data Wydruku: 14.09.2016")));
        if (l.totals) {
            EXPECT_TRUE(t.contains(QStringLiteral("Razem")) && t.contains(QStringLiteral("0,00")));
        }
    }
}

TEST_F(PrintRenderTest, ALongTitleGrowsTheHeaderBlockInsteadOfBeingCut)
{
    const PrintLayout &l = *findPrintLayout(QStringLiteral("Rep_Slownik"));
    const QString title = QStringLiteral("Zapisy: Kontrahenci = \"Przedsiębiorstwo Handlowo Usługowe "
                                         "Weterynaria Plus spółka jawna,ul. Długa 15,22-400 Zamość,"
                                         "NIP 922-000-11-22,201-01,False\" za okres od 01.01.2016 do "
                                         "31.12.2016 oraz dalszy ciąg bardzo długiego tytułu wydruku");
    const Pdf pdf = render(l, sourceFor(l, 2), params(title));
    const QString text = pdf.all().simplified();
    for (const QString &w : title.split(' '))
        EXPECT_TRUE(text.contains(w)) << w.toStdString();
}

TEST_F(PrintRenderTest, BadPdfPathFailsCleanly)
{
    const PrintLayout &l = *findPrintLayout(QStringLiteral("Tab_Cz"));
    const MemorySource src = sourceFor(l, 1);
    const PrintJob job = preparePrint(l, params(), src);
    PrintRenderer r(job);
    EXPECT_FALSE(r.writePdf(QStringLiteral("/nonexistent/folder/x.pdf")));
}

TEST_F(PrintRenderTest, PreviewOpensAtFullSizeNavigatesAndSavesPdf)
{
    const PrintLayout &l = *findPrintLayout(QStringLiteral("Tab_Rozdz"));
    const MemorySource src = sourceFor(l, 90);
    PrintParameters p = params(QStringLiteral("Wydatki: 01.01.2016 .. 31.12.2016"));
    p.saveFolder = dir.path();
    const PrintJob job = preparePrint(l, p, src);
    fenwa::ScriptedMessages messages;
    PrintPreview preview(job, messages);
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Podgląd wydruku"));
    // Files are proposed in the export folder under a name made from the title.
    EXPECT_EQ(preview.proposedPdfPath(), dir.filePath(QStringLiteral("Wydatki 01-01-2016 -- 31-12-2016.pdf")));
    EXPECT_EQ(preview.printer().docName(), QStringLiteral("Wydatki 01-01-2016 -- 31-12-2016"));
    EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
    EXPECT_DOUBLE_EQ(preview.zoom(), 1.0);
    ASSERT_GE(preview.pageCount(), 2);
    EXPECT_EQ(preview.currentPage(), 1);
    preview.goToPage(2);
    EXPECT_EQ(preview.currentPage(), 2);
    preview.goToPage(99);
    EXPECT_EQ(preview.currentPage(), preview.pageCount());
    preview.setZoom(2.0);
    EXPECT_DOUBLE_EQ(preview.zoom(), 2.0);
    EXPECT_EQ(preview.zoomText(), QStringLiteral("200 %"));
    // The zoom field follows "−" and "+" also between its listed steps.
    for (QAction *a : preview.findChildren<QAction *>())
        if (a->toolTip() == QStringLiteral("Pomniejsz"))
            a->trigger();
    EXPECT_EQ(preview.zoomText(), QStringLiteral("160 %"));
    if (qEnvironmentVariableIsSet("FENWA5_KEEP_PDF")) {   // a picture of the window to look at
        preview.setZoom(1.0);
        preview.goToPage(1);
        preview.resize(1100, 800);
        preview.show();
        QApplication::processEvents();
        preview.grab().save(dir.filePath(QStringLiteral("preview.png")));
        preview.hide();
    }

    const QString path = dir.filePath(QStringLiteral("zapis.pdf"));
    ASSERT_TRUE(preview.saveAs(path));
    const Pdf pdf = readPdf(path);
    EXPECT_EQ(pdf.pages.size(), preview.pageCount());
    EXPECT_TRUE(pdf.pages[1].contains(QStringLiteral("Strona:2")));
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(preview.saveAs(QStringLiteral("/nonexistent/x.pdf")));
}

TEST_F(PrintRenderTest, PreviewOpensAtThePageTopAndShowsTheSameAfterAScroll)
{
    const PrintLayout &l = *findPrintLayout(QStringLiteral("Rep_GrDok"));
    const MemorySource src = sourceFor(l, 3);
    const PrintJob job = preparePrint(l, params(), src);
    fenwa::ScriptedMessages messages;
    PrintPreview preview(job, messages);
    preview.show();
    auto *view = preview.findChild<QGraphicsView *>();
    ASSERT_NE(view, nullptr);
    QScrollBar *bar = view->verticalScrollBar();
    // The first look shows the top of page 1, where the scroll bar says.
    ASSERT_TRUE(waitUntil([&] { return bar->maximum() > 0 && bar->value() == bar->minimum(); }))
        << bar->value() << " in " << bar->minimum() << ".." << bar->maximum();
    const QImage first = view->viewport()->grab().toImage();
    const int top = bar->value();
    bar->setValue(top + bar->pageStep() / 2);
    QApplication::processEvents();
    bar->setValue(top);
    QApplication::processEvents();
    EXPECT_TRUE(view->viewport()->grab().toImage() == first) << "the same rows before and after a scroll";
}

TEST(PrintStatus, GeneratingPageText)
{
    StatusWindow w;
    w.showPage(3);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Status"));
    EXPECT_EQ(w.text(), QStringLiteral("Generowanie strony 3"));
    EXPECT_EQ(generatingPageText(12), QStringLiteral("Generowanie strony 12"));
}

TEST(RunPrint, UnknownLayoutOrMissingFieldsAreReported)
{
    fenwa::ScriptedMessages messages;
    MemorySource src({{QStringLiteral("Gat")}});
    EXPECT_FALSE(runPrint(nullptr, QStringLiteral("Tab_Nic"), PrintParameters{}, src, messages));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].title, QStringLiteral("Błąd"));
    EXPECT_FALSE(runPrint(nullptr, QStringLiteral("Tab_Jm"), PrintParameters{}, src, messages));
    EXPECT_TRUE(messages.last().contains(QStringLiteral("Jms")));
}
