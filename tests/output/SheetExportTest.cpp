// Spreadsheet exports written to .xlsx and read back.
#include "output/FileName.h"
#include "common/ScriptedMessages.h"
#include "output/SheetExport.h"
#include "QtPrinters.h"
#include "output/XlsxReader.h"
#include "output/XlsxSpreadsheet.h"

#include "common/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace fenwa::output;
namespace xl = testing_xlsx;

namespace {

struct SheetExportTest : ::testing::Test {
    QTemporaryDir dir;
    fenwa::ScriptedMessages messages;
    QStringList opened;

    SheetEnvironment env(bool openOk = true)
    {
        SheetEnvironment e;
        e.folder = dir.path();
        e.moment = QDateTime(QDate(2016, 9, 14), QTime(10, 5, 7));
        e.version = QStringLiteral("[14.09.2016]");
        e.login = QStringLiteral("anna");
        e.messages = &messages;
        e.open = [this, openOk](const QString &p) {
            opened << p;
            return openOk;
        };
        return e;
    }

    // The document groups list: ten text columns under "Lp".
    SheetDesign groupsSpec()
    {
        SheetDesign s;
        s.title = QStringLiteral("Grupy dokumentów: styczeń 2016");
        const double widths[] = {3, 8, 8, 20, 20, 10, 13, 10, 13, 10};
        const char *heads[] = {"Lp", "Symbol", "Rozdział", "Paragraf", "Opis", "Zamknięty?",
                               "Data otwarcia", "Użytkownik", "Data ostatniej edycji", "Użytkownik"};
        for (int i = 0; i < 10; ++i)
            s.columns.push_back({QString::fromUtf8(heads[i]), widths[i]});
        return s;
    }
};

QVector<QVariant> groupRow(const QString &dok)
{
    return {dok, QStringLiteral("01030"), QStringLiteral("4210-Zakup materiałów"),
            QStringLiteral("Faktury"), true, QStringLiteral("02.01.2016 10:00:00"),
            QStringLiteral("anna"), QStringLiteral("03.01.2016 11:00:00"), QStringLiteral("jan")};
}

} // namespace

TEST_F(SheetExportTest, SheetConventionsTitleHeadingsRowsAndFooter)
{
    auto r = SheetExport::run(env(), groupsSpec(), [](SheetExport &x) {
        x.addRow(groupRow(QStringLiteral("FV/1")));
        x.addRow(groupRow(QStringLiteral("FV/2")));
        x.addRow(groupRow(QStringLiteral("FV/3")));
    });
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(messages.shown().isEmpty());
    ASSERT_EQ(opened, QStringList{r.path});
    EXPECT_EQ(QFileInfo(r.path).fileName(),
              QStringLiteral("Grupy dokumentów styczeń 2016_20160914_100507.xlsx"));
    const xl::Workbook wb = xl::read(r.path);
    ASSERT_TRUE(wb.ok);
    EXPECT_EQ(wb.orientation, QStringLiteral("landscape"));
    EXPECT_EQ(wb.paperSize, QStringLiteral("9"));   // A4, one page wide

    // Row 1: merged title, centred both ways, Arial 12.
    EXPECT_EQ(wb.text("A1"), QStringLiteral("Grupy dokumentów: styczeń 2016"));
    EXPECT_TRUE(wb.merges.contains(QStringLiteral("A1:J1")));
    EXPECT_EQ(wb.font("A1").name, QStringLiteral("Arial"));
    EXPECT_EQ(wb.font("A1").size, 12);
    EXPECT_EQ(wb.xf("A1").horizontal, QStringLiteral("center"));
    EXPECT_EQ(wb.xf("A1").vertical, QStringLiteral("center"));

    // Row 2: headings, Arial 10, wrapped, centred, boxed.
    EXPECT_EQ(wb.text("A2"), QStringLiteral("Lp"));
    EXPECT_EQ(wb.text("I2"), QStringLiteral("Data ostatniej edycji"));
    for (const char *ref : {"A2", "E2", "J2"}) {
        EXPECT_EQ(wb.font(ref).size, 10) << ref;
        EXPECT_TRUE(wb.xf(ref).wrap) << ref;
        EXPECT_EQ(wb.xf(ref).horizontal, QStringLiteral("center")) << ref;
        const auto &b = wb.border(ref);
        EXPECT_EQ(b.left, QStringLiteral("thin"));
        EXPECT_EQ(b.right, QStringLiteral("thin"));
        EXPECT_EQ(b.top, QStringLiteral("thin"));
        EXPECT_EQ(b.bottom, QStringLiteral("thin"));
        EXPECT_TRUE(b.diagonal.isEmpty());
    }

    // Rows 3..5: running number as text, values as text, Arial 8, a box with
    // inner verticals but no inner horizontal lines.
    EXPECT_EQ(wb.cells.value("A3").type, QStringLiteral("s"));
    EXPECT_EQ(wb.text("A3"), QStringLiteral("1"));
    EXPECT_EQ(wb.text("A5"), QStringLiteral("3"));
    EXPECT_EQ(wb.text("B4"), QStringLiteral("FV/2"));
    EXPECT_EQ(wb.text("F3"), QStringLiteral("True"));
    EXPECT_EQ(wb.font("C4").size, 8);
    EXPECT_TRUE(wb.xf("C4").wrap);
    EXPECT_EQ(wb.border("C3").top, QStringLiteral("thin"));
    EXPECT_TRUE(wb.border("C3").bottom.isEmpty());
    EXPECT_TRUE(wb.border("C4").top.isEmpty());
    EXPECT_TRUE(wb.border("C4").bottom.isEmpty());
    EXPECT_EQ(wb.border("C4").left, QStringLiteral("thin"));
    EXPECT_EQ(wb.border("C5").bottom, QStringLiteral("thin"));

    // The two footer lines in column 1 below the data.
    EXPECT_EQ(wb.text("A6"), QStringLiteral("Eksport z programu Fenwa5 - [14.09.2016], użytkownik: anna"));
    EXPECT_EQ(wb.text("A7"), QStringLiteral("Data eksportu: 14.09.2016"));
    for (const char *ref : {"A6", "A7"}) {
        EXPECT_EQ(wb.font(ref).name, QStringLiteral("Arial")) << ref;
        EXPECT_TRUE(wb.border(ref).left.isEmpty()) << ref;
    }
    EXPECT_EQ(r.lastRow, 7);
    EXPECT_EQ(wb.lastRow(), 7);

    // The file stores a width with the cell padding the program adds on screen.
    EXPECT_NEAR(wb.colWidths.value(1), 3.71, 0.01);
    EXPECT_NEAR(wb.colWidths.value(9), 13.71, 0.01);
}

TEST_F(SheetExportTest, AmountsAreNumbersWithTheGroupedFormat)
{
    SheetDesign s;
    s.title = QStringLiteral("Wydatki");
    s.columns = {{QStringLiteral("Lp")}, {QStringLiteral("Kryterium"), 60},
                 {QStringLiteral("Netto"), 15, true}, {QStringLiteral("Brutto"), 15, true}};
    auto r = SheetExport::run(env(), s, [](SheetExport &x) {
        x.addRow({QStringLiteral("4210"), 1234.5, 1518.44});
        x.addRow({QStringLiteral("4300"), QVariant(), 0.1});
    });
    ASSERT_TRUE(r.ok);
    const auto wb = xl::read(r.path);
    EXPECT_EQ(wb.cells.value("C3").type, QString());   // a number cell
    EXPECT_EQ(wb.text("C3"), QStringLiteral("1234.5"));
    EXPECT_EQ(wb.numFmt("C3"), QStringLiteral("#,##0.00"));
    EXPECT_EQ(wb.numFmt("D4"), QStringLiteral("#,##0.00"));
    EXPECT_FALSE(wb.cells.contains("C4") && !wb.text("C4").isEmpty());   // a null stays empty
    EXPECT_EQ(wb.numFmt("B3"), QStringLiteral("General"));
    EXPECT_NEAR(wb.colWidths.value(2), 60.71, 0.01);
}

TEST_F(SheetExportTest, EveryNumberFormattedWhenAsked)
{
    SheetDesign s;
    s.title = QStringLiteral("Zapisy");
    s.columns = {{QStringLiteral("Lp")}, {QStringLiteral("Opis")}, {QStringLiteral("Kwota")}};
    s.formatEveryNumber = true;
    auto r = SheetExport::run(env(), s, [](SheetExport &x) {
        x.addRow({QStringLiteral("a"), 12.0});
        x.addRow({QStringLiteral("b"), QStringLiteral("tekst")});
    });
    const auto wb = xl::read(r.path);
    EXPECT_EQ(wb.numFmt("C3"), QStringLiteral("#,##0.00"));
    EXPECT_EQ(wb.numFmt("C4"), QStringLiteral("General"));
    EXPECT_EQ(wb.font("C3").size, 8);   // its own format keeps the data block's font
}

TEST_F(SheetExportTest, SubtotalsAfterEachRunWithFormulasAndComputedValues)
{
    SheetDesign s;
    s.title = QStringLiteral("Zestawienie wydatków");
    s.columns = {{QStringLiteral("Lp")}, {QStringLiteral("Rozdział"), 30},
                 {QStringLiteral("Netto"), 15, true}, {QStringLiteral("Podatki"), 15, true},
                 {QStringLiteral("Brutto"), 15, true}};
    s.subtotalGroup = 2;
    s.subtotalColumns = {3, 4, 5};
    auto r = SheetExport::run(env(), s, [](SheetExport &x) {
        x.addRow({QStringLiteral("01030"), 100.0, 23.0, 123.0});
        x.addRow({QStringLiteral("01030"), 10.25, 2.36, 12.61});
        x.addRow({QStringLiteral("01032"), 1.0, 0.0, 1.0});
    });
    ASSERT_TRUE(r.ok);
    const auto wb = xl::read(r.path);
    EXPECT_EQ(wb.text("B5"), QStringLiteral("01030 Suma"));
    EXPECT_EQ(wb.cells.value("C5").formula, QStringLiteral("SUBTOTAL(9,C3:C4)"));
    EXPECT_DOUBLE_EQ(wb.text("C5").toDouble(), 110.25);
    EXPECT_DOUBLE_EQ(wb.text("E5").toDouble(), 135.61);
    EXPECT_EQ(wb.text("A6"), QStringLiteral("3"));   // numbering counts records only
    EXPECT_EQ(wb.text("B6"), QStringLiteral("01032"));
    EXPECT_EQ(wb.text("B7"), QStringLiteral("01032 Suma"));
    EXPECT_EQ(wb.cells.value("D7").formula, QStringLiteral("SUBTOTAL(9,D6:D6)"));
    EXPECT_EQ(wb.text("B8"), QStringLiteral("Suma końcowa"));
    EXPECT_EQ(wb.cells.value("E8").formula, QStringLiteral("SUBTOTAL(9,E3:E7)"));
    EXPECT_DOUBLE_EQ(wb.text("E8").toDouble(), 136.61);
    EXPECT_TRUE(wb.font("B8").bold);
    EXPECT_EQ(wb.numFmt("E8"), QStringLiteral("#,##0.00"));
    EXPECT_EQ(wb.border("E8").bottom, QStringLiteral("thin"));   // the box closes under the totals
    EXPECT_EQ(wb.rowLevels.value(3), 2);
    EXPECT_EQ(wb.rowLevels.value(5), 1);
    EXPECT_TRUE(wb.text("A9").startsWith(QStringLiteral("Eksport z programu ")));
    EXPECT_TRUE(wb.text("A10").startsWith(QStringLiteral("Data eksportu: ")));
}

TEST_F(SheetExportTest, EmptySourceKeepsHeadingsAndGivesZeroTotals)
{
    SheetDesign s = groupsSpec();
    auto r = SheetExport::run(env(), s, [](SheetExport &) {});
    ASSERT_TRUE(r.ok);
    auto wb = xl::read(r.path);
    EXPECT_EQ(wb.font("B2").size, 10);   // the headings are not turned into data rows
    EXPECT_TRUE(wb.text("A3").startsWith(QStringLiteral("Eksport z programu ")));
    EXPECT_TRUE(wb.text("A4").startsWith(QStringLiteral("Data eksportu: ")));

    SheetDesign t;
    t.title = QStringLiteral("Pusty");
    t.columns = {{QStringLiteral("Lp")}, {QStringLiteral("K")}, {QStringLiteral("Netto")}};
    t.subtotalGroup = 2;
    t.subtotalColumns = {3};
    r = SheetExport::run(env(), t, [](SheetExport &) {});
    wb = xl::read(r.path);
    EXPECT_EQ(wb.text("B3"), QStringLiteral("Suma końcowa"));
    EXPECT_EQ(wb.text("C3"), QStringLiteral("0"));
}

TEST_F(SheetExportTest, LongTextsWrapAndTheRowGrows)
{
    SheetDesign s = groupsSpec();
    const QString longName = QString(QStringLiteral("Zakup materiałów biurowych ")).repeated(10).left(255);
    auto r = SheetExport::run(env(), s, [&](SheetExport &x) {
        auto row = groupRow(QStringLiteral("FV/1"));
        row[2] = longName;
        x.addRow(row);
        x.addRow(groupRow(QStringLiteral("FV/2")));
    });
    const auto wb = xl::read(r.path);
    EXPECT_EQ(wb.text("D3"), longName);
    EXPECT_TRUE(wb.xf("D3").wrap);
    EXPECT_GT(wb.rowHeights.value(3), 60);     // 255 characters in a 20-wide column
    // The second row wraps only its dates (19 characters in 13).
    EXPECT_LT(wb.rowHeights.value(4), wb.rowHeights.value(3));
    EXPECT_GT(wb.rowHeights.value(2), 15);     // "Data ostatniej edycji" wraps in 13
}

TEST_F(SheetExportTest, MissingExportFolderShowsTheMessage)
{
    SheetEnvironment e = env();
    e.folder = dir.filePath(QStringLiteral("brak"));
    auto r = SheetExport::run(e, groupsSpec(), [](SheetExport &x) { x.addRow(groupRow("A")); });
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.path.isEmpty());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].kind, fenwa::Messages::Kind::Error);
    EXPECT_EQ(messages.shown()[0].title, QStringLiteral("Błąd"));
    EXPECT_EQ(messages.shown()[0].text, QStringLiteral("Błąd uruchomienia programu MS Excel"));
    EXPECT_TRUE(opened.isEmpty());

    // A file where the folder should be.
    QFile f(dir.filePath(QStringLiteral("plik")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    e.folder = f.fileName();
    r = SheetExport::run(e, groupsSpec(), [](SheetExport &) {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages.shown().size(), 2);
}

TEST_F(SheetExportTest, ReadOnlyExportFolderShowsTheMessage)
{
    const QString ro = dir.filePath(QStringLiteral("ro"));
    QDir().mkpath(ro);
    QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner);
    SheetEnvironment e = env();
    e.folder = ro;
    // A user who writes anywhere (root) meets a folder no one writes into.
    if (access(ro.toLocal8Bit().constData(), W_OK) == 0)
        e.folder = QStringLiteral("/proc/self");
    auto r = SheetExport::run(e, groupsSpec(), [](SheetExport &x) { x.addRow(groupRow("A")); });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages.last(), QStringLiteral("Błąd uruchomienia programu MS Excel"));
    QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(SheetExportTest, FailureMidwayKeepsWhatWasWrittenInAFileThatOpens)
{
    int step = 0, row = 0, column = 0;
    auto r = SheetExport::run(env(), groupsSpec(), [&](SheetExport &x) {
        x.setFailureText([&] {
            return QStringLiteral("Błąd uruchomienia programu MS Excel! [%1:%2:%3")
                .arg(step).arg(row).arg(column);
        });
        step = 30;
        for (row = 0; row < 5; ++row) {
            if (row == 2) {
                column = 4;
                throw std::runtime_error("the engine lost its table");
            }
            x.addRow(groupRow(QStringLiteral("FV/%1").arg(row + 1)));
        }
    });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages.last(), QStringLiteral("Błąd uruchomienia programu MS Excel! [30:2:4"));
    ASSERT_FALSE(r.path.isEmpty());
    EXPECT_EQ(opened, QStringList{r.path});
    const auto wb = xl::read(r.path);
    ASSERT_TRUE(wb.ok);
    EXPECT_EQ(wb.text("A1"), QStringLiteral("Grupy dokumentów: styczeń 2016"));
    EXPECT_EQ(wb.text("B4"), QStringLiteral("FV/2"));
    EXPECT_FALSE(wb.cells.contains("B5"));
    // No footer: the export did not finish, and the sheet does not pretend it did.
    for (auto it = wb.cells.begin(); it != wb.cells.end(); ++it)
        EXPECT_FALSE(it->value.startsWith(QStringLiteral("Data eksportu")));
}

TEST_F(SheetExportTest, ProgramThatCannotStartIsReportedAndTheFileStays)
{
    // The message names the file; on Yes its folder is opened, on No nothing more.
    for (bool yes : {true, false}) {
        opened.clear();
        messages.answer(yes);
        auto r = SheetExport::run(env(false), groupsSpec(), [](SheetExport &x) { x.addRow(groupRow("A")); });
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(QFileInfo::exists(r.path));
        ASSERT_FALSE(messages.shown().isEmpty());
        EXPECT_EQ(messages.shown().last().kind, fenwa::Messages::Kind::Question);
        EXPECT_EQ(messages.last(), SheetExport::notOpenedText(QStringLiteral("Błąd uruchomienia programu MS Excel"),
                                                              r.path));
        EXPECT_TRUE(messages.last().contains(r.path));
        QStringList expected{r.path};
        if (yes)
            expected << dir.path();
        EXPECT_EQ(opened, expected);
    }
}

TEST_F(SheetExportTest, FileNamesFromTitleAndMomentNeverOverwrite)
{
    const QDateTime m(QDate(2016, 1, 2), QTime(3, 4, 5));
    const QString a = SheetExport::fileNameFor(dir.path(), QStringLiteral("Zapisy: \"kontr\" = a/b\\c?*<>|"), m);
    EXPECT_EQ(QFileInfo(a).fileName(), QStringLiteral("Zapisy kontr a-b-c_20160102_030405.xlsx"));
    QFile(a).open(QIODevice::WriteOnly);
    const QString b = SheetExport::fileNameFor(dir.path(), QStringLiteral("Zapisy: \"kontr\" = a/b\\c?*<>|"), m);
    EXPECT_NE(a, b);
    EXPECT_TRUE(b.endsWith(QStringLiteral("_2.xlsx")));
    EXPECT_TRUE(QFileInfo(SheetExport::fileNameFor(dir.path(), QString(), m)).fileName()
                    .startsWith(QStringLiteral("Eksport_")));
    EXPECT_LE(QFileInfo(SheetExport::fileNameFor(dir.path(), QString(300, QChar(u'x')), m))
                  .fileName().size(), 130);
}

TEST(SafeFileBase, TitlesBecomeNamesOtherProgramsTakeAsTheyAre)
{
    const struct {
        const char *title, *name;
    } rows[] = {
        {"Wydatki wg rozdziałów: 01.01.2016 .. 31.12.2016", "Wydatki wg rozdziałów 01-01-2016 -- 31-12-2016"},
        {"Rozdział \"01022\"; koszt > 0 | $HOME & *", "Rozdział 01022 koszt 0 HOME"},
        {"..:..", "Wydruk"},
        {"Łódź (PIW)_2016", "Łódź (PIW)_2016"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(fenwa::output::safeFileBase(QString::fromUtf8(r.title)), QString::fromUtf8(r.name)) << r.title;
}

TEST_F(SheetExportTest, ExportFromASourceByFieldNames)
{
    MemorySource src({{QStringLiteral("Kryt"), {}, ColumnType::Text},
                      {QStringLiteral("netto"), {}, ColumnType::Number, QStringLiteral("#,##0.00")},
                      {QStringLiteral("Data"), {}, ColumnType::Date},
                      {QStringLiteral("wyd"), {}, ColumnType::Bool}});
    src.addRow({QStringLiteral("Rozdział 01030"), 1500.5, QDate(2016, 2, 3), true});
    src.addRow({QStringLiteral("Rozdział 01032"), QVariant(), QDate(), false});
    SheetDesign s;
    s.title = QStringLiteral("Raport");
    s.columns = {{QStringLiteral("Lp")},
                 {QStringLiteral("Kryterium"), 60, false, QStringLiteral("KRYT")},
                 {QStringLiteral("Netto"), 15, true, QStringLiteral("Netto"), true},
                 {QStringLiteral("Netto jako tekst"), 15, false, QStringLiteral("netto")},
                 {QStringLiteral("Data"), 0, false, QStringLiteral("data")},
                 {QStringLiteral("Wydatki"), 0, false, QStringLiteral("wyd")}};
    auto r = SheetExport::run(env(), s, src);
    ASSERT_TRUE(r.ok);
    const auto wb = xl::read(r.path);
    EXPECT_EQ(wb.text("B3"), QStringLiteral("Rozdział 01030"));
    EXPECT_EQ(wb.text("C3"), QStringLiteral("1500.5"));
    EXPECT_EQ(wb.cells.value("C3").type, QString());
    EXPECT_EQ(wb.text("D3"), QString::fromUtf8("1\u00a0500,50"));
    EXPECT_EQ(wb.text("E3"), QStringLiteral("03.02.2016"));
    EXPECT_EQ(wb.text("F3"), QStringLiteral("True"));
    EXPECT_EQ(wb.text("F4"), QStringLiteral("False"));
    EXPECT_TRUE(wb.text("C4").isEmpty());

    s.columns[1].field = QStringLiteral("nie_ma");
    r = SheetExport::run(env(), s, src);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages.last(), QStringLiteral("Błąd uruchomienia programu MS Excel"));
}

TEST(XlsxSpreadsheet, RefusesWhatASheetCannotHold)
{
    XlsxSpreadsheet s;
    EXPECT_THROW(s.setText(0, 1, QStringLiteral("x")), SheetError);
    EXPECT_THROW(s.setColumnWidth(1, 300), SheetError);
    EXPECT_THROW(s.setNumber(1, 1, std::numeric_limits<double>::quiet_NaN()), SheetError);
    RangeFormat m;
    m.merge = true;
    s.format({1, 1, 1, 3}, m);
    EXPECT_THROW(s.format({1, 2, 2, 4}, m), SheetError);
}

TEST_F(SheetExportTest, AnotherProgramOpensTheWorkbook)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    SheetDesign s;
    s.title = QStringLiteral("Zestawienie wydatków");
    s.columns = {{QStringLiteral("Lp")}, {QStringLiteral("Rozdział"), 30},
                 {QStringLiteral("Brutto"), 15, true}};
    s.subtotalGroup = 2;
    s.subtotalColumns = {3};
    auto r = SheetExport::run(env(), s, [](SheetExport &x) {
        x.addRow({QStringLiteral("01030"), 1234.5});
        x.addRow({QStringLiteral("01030"), 0.25});
        x.addRow({QStringLiteral("Łódź"), 7.0});
    });
    ASSERT_TRUE(r.ok);
    QTemporaryDir out, profile;
    QProcess p;
    p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                      QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                      QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"),
                      QStringLiteral("--outdir"), out.path(), r.path});
    ASSERT_TRUE(p.waitForFinished(120000));
    QFile csv(QDir(out.path()).filePath(QFileInfo(r.path).completeBaseName() + QStringLiteral(".csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << p.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 9);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Zestawienie wydatków"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Lp,Rozdział,Brutto")));
    // Cells shown as formatted: the subtotal's stored value with the grouped format.
    EXPECT_TRUE(lines[4].contains(QStringLiteral("01030 Suma"))) << lines[4].toStdString();
    EXPECT_TRUE(lines[4].contains(QStringLiteral("\"1,234.75\""))) << lines[4].toStdString();
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("3,Łódź")));
    EXPECT_TRUE(lines[7].contains(QStringLiteral("\"1,241.75\""))) << lines[7].toStdString();
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("\"Eksport z programu Fenwa5 - [14.09.2016], użytkownik: anna\""))) << lines.join("\n").toStdString();
}
