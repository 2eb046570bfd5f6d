// The position browser as its menu item runs it: opening a year (an unknown
// unit, an empty year, the statement file), the filter dialogs through the
// current column, ordering that keeps the record and the filter, closing
// without filters, and the CSV file of the visible columns.
#include "data/Demo.h"
#include "output/XlsxReader.h"
#include "Installation.h"
#include "reports/ui/Zapisy.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace fenwa;
using namespace fenwa::reports::ui;
using fenwa::testing::Installation;

namespace {

struct Browser {
    Installation inst;   // a voivodeship installation
    std::unique_ptr<TF_Zapisy> w;
    QString unit;
    std::function<int(QDialog &)> answer = [](QDialog &) { return int(QDialog::Rejected); };

    Browser()
    {
        data::DemoOptions o;
        o.year = 2016;
        o.now = inst.clock.now();
        o.lastMonth = 3;
        o.units = {QStringLiteral("2000")};
        data::createDemoRegisters(*inst.db, o);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(inst.db->handle(), "SELECT nazwa FROM wiw WHERE kod || '00' = '2000'", -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW)
            unit = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        w = std::make_unique<TF_Zapisy>(*inst.dane);
        w->statementFolder = inst.dir.path();
        w->runDialog = [this](QDialog &d) { return answer(d); };
        w->openFile = [](const QString &) { return true; };
    }
    int gridColumn(const QString &field) const
    {
        for (int c = 0; c < w->XDBGrid1->datasetModel()->columnCount(); ++c)
            if (w->XDBGrid1->datasetModel()->column(c).field.compare(field, Qt::CaseInsensitive) == 0)
                return c;
        return -1;
    }
    void goTo(int row, const QString &field)
    {
        w->XDBGrid1->setCurrentIndex(w->XDBGrid1->model()->index(row, gridColumn(field)));
    }
};

} // namespace

TEST(ZapisyWindow, OpeningRefusesAnUnknownUnitEndsAnEmptyYearSilentlyAndWritesTheStatement)
{
    Browser b;
    EXPECT_FALSE(b.w->openYear(2016, QStringLiteral("Nieistniejąca")));
    EXPECT_TRUE(b.inst.messages.texts().value(0).contains(QStringLiteral("Nieistniejąca")));
    b.inst.messages.clear();
    EXPECT_FALSE(b.w->openYear(2015, b.unit));   // no register: the engine's message
    EXPECT_EQ(b.inst.messages.texts().size(), 1);
    b.inst.messages.clear();
    data::createRegister(*b.inst.db, 2017, QStringLiteral("2000"));
    EXPECT_FALSE(b.w->openYear(2017, b.unit));   // an empty year: nothing said
    EXPECT_TRUE(b.inst.messages.texts().isEmpty());

    ASSERT_TRUE(b.w->openYear(2016, b.unit));
    EXPECT_EQ(b.w->windowTitle(), QStringLiteral("Przeglądanie pozycji za rok 2016"));
    QFile dump(b.inst.dir.filePath(QStringLiteral("test.txt")));
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(dump.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("SELECT p.id,g.dok")));
    EXPECT_TRUE(text.contains(QStringLiteral("prac.prac,ob.ob\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("p_2016_2000.db\" AS p")));
    EXPECT_FALSE(text.contains(QStringLiteral("LEFT OUTER JOIN")));   // the text as written, not as run
    EXPECT_EQ(b.w->XDBGrid1->datasetModel()->columnCount(), 28);   // "Lp", 26 more and "Pracownia"
    EXPECT_EQ(b.w->XDBGrid1->footerText(0), QString::number(b.inst.dane->Q_Rob->recordCount()));
}

TEST(ZapisyWindow, FilterThroughTheCurrentColumnSurvivesOrderingWhichKeepsTheRecordAndEndsWithTheWindow)
{
    Browser b;
    ASSERT_TRUE(b.w->openYear(2016, b.unit));
    data::Query &q = *b.inst.dane->Q_Rob;
    const int all = q.recordCount();
    b.goTo(0, QStringLiteral("Wyd"));
    EXPECT_EQ(b.w->kolumna, QStringLiteral("Wyd"));
    b.answer = [&](QDialog &d) {
        auto *f = qobject_cast<TF_FiltrBool *>(&d);
        EXPECT_TRUE(f);
        EXPECT_EQ(f->CheckBox1->text(), QStringLiteral("Wydatki"));
        f->CheckBox1->setChecked(true);
        return int(QDialog::Accepted);
    };
    b.w->UstawFiltr();
    EXPECT_EQ(b.w->filtr(), QStringLiteral("Wyd=True"));
    const int spent = q.recordCount();
    ASSERT_LT(spent, all);
    EXPECT_EQ(b.w->XDBGrid1->footerText(0), QString::number(spent));
    // The filter is described in the box above its column's title.
    const fenwa::ui::BandedHeader *header = b.w->XDBGrid1->bandedHeader();
    EXPECT_EQ(header->noteOf(b.gridColumn(QStringLiteral("Wyd"))), QStringLiteral("True"));
    EXPECT_TRUE(header->noteOf(b.gridColumn(QStringLiteral("Kontr"))).isEmpty());

    // A typed bound that is no number is refused and asked again.
    b.goTo(3, QStringLiteral("brutto"));
    int asked = 0;
    b.answer = [&](QDialog &d) {
        auto *f = qobject_cast<TF_FiltrReal *>(&d);
        EXPECT_TRUE(f);
        f->Od->setText(++asked == 1 ? QStringLiteral("sto") : QStringLiteral("0"));
        f->Do->setText(QStringLiteral("1 000 000,00"));
        return int(QDialog::Accepted);
    };
    b.w->UstawFiltr();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(b.inst.messages.texts().size(), 1);
    EXPECT_EQ(q.recordCount(), spent);

    b.goTo(5, QStringLiteral("Kontr"));
    const QVariant id = q.value(QStringLiteral("id"));
    b.w->orderBy(b.gridColumn(QStringLiteral("Kontr")));
    EXPECT_EQ(b.w->pole, QStringLiteral("Kontr"));
    EXPECT_EQ(q.value(QStringLiteral("id")), id);
    EXPECT_EQ(b.w->XDBGrid1->currentIndex().column(), b.gridColumn(QStringLiteral("Kontr")));
    EXPECT_EQ(q.recordCount(), spent);
    EXPECT_TRUE(q.sql().last().endsWith(QStringLiteral("ORDER BY Kontr")));

    b.w->UsunFiltr();   // the current column (Kontr) has none: Wyd stays
    EXPECT_EQ(q.recordCount(), spent);
    b.goTo(0, QStringLiteral("Wyd"));
    b.w->UsunFiltr();
    EXPECT_EQ(b.w->filtr(), QString("brutto>=0 AND brutto<=1000000"));
    EXPECT_TRUE(header->noteOf(b.gridColumn(QStringLiteral("Wyd"))).isEmpty());
    b.w->done(QDialog::Accepted);
    EXPECT_TRUE(b.w->filtr().isEmpty());
    EXPECT_EQ(q.recordCount(), all);
}

TEST(ZapisyWindow, CsvHoldsTheVisibleColumnsAndAnExistingFileIsKeptWhenNotReplaced)
{
    Browser b;
    ASSERT_TRUE(b.w->openYear(2016, b.unit));
    const QString path = b.inst.dir.filePath(QStringLiteral("wynik.csv"));
    b.w->askCsvPath = [&] { return path; };
    b.w->XDBGrid1->setColumnHidden(b.gridColumn(QStringLiteral("Opis")), true);
    b.w->EksportCsv();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray header = f.readLine();
    EXPECT_TRUE(header.startsWith("\"Data\",\"Symbol grupy dokument"));
    EXPECT_FALSE(header.contains("\"Opis pozycji\""));
    EXPECT_TRUE(header.endsWith("\"Pracownia\"\r\n"));
    f.close();
    const qint64 size = f.size();

    b.inst.messages.answer(false);
    b.w->XDBGrid1->setColumnHidden(b.gridColumn(QStringLiteral("Opis")), false);
    b.w->EksportCsv();
    EXPECT_EQ(b.inst.messages.texts().value(0), QStringLiteral("Plik o takiej nazwie istnieje. Zastąpić?"));
    EXPECT_EQ(QFileInfo(path).size(), size);
}

// The sheet holds every column, hidden or not, the filtered rows with
// amounts as numbers, and the filter's descriptions under the data.
TEST(ZapisyWindow, SheetHoldsAllColumnsOfTheFilteredRowsAndTheFilterLine)
{
    Browser b;
    ASSERT_TRUE(b.w->openYear(2016, b.unit));
    data::Query &q = *b.inst.dane->Q_Rob;
    for (const auto &[field, tick] : {std::pair{"Wyd", false}, std::pair{"kosz", true}}) {
        b.goTo(0, QString::fromLatin1(field));
        b.answer = [tick = tick](QDialog &d) {
            static_cast<TF_FiltrBool &>(d).CheckBox1->setChecked(tick);
            return int(QDialog::Accepted);
        };
        b.w->UstawFiltr();
    }
    const int rows = q.recordCount();
    ASSERT_GT(rows, 0);
    b.w->XDBGrid1->setColumnHidden(b.gridColumn(QStringLiteral("Opis")), true);
    QString written;
    b.w->openFile = [&](const QString &path) {
        written = path;
        return true;
    };
    b.w->EksportExcel();
    ASSERT_FALSE(written.isEmpty()) << b.inst.messages.texts().join(u'|').toStdString();
    const testing_xlsx::Workbook wb = testing_xlsx::read(written);
    ASSERT_TRUE(wb.ok);
    EXPECT_EQ(wb.text("A1"), QStringLiteral("Przeglądanie pozycji za rok 2016"));
    EXPECT_EQ(wb.text("A2"), QStringLiteral("Lp"));
    EXPECT_EQ(wb.text("L2"), QStringLiteral("Opis pozycji"));
    EXPECT_EQ(wb.text("AB2"), QStringLiteral("Pracownia"));
    const QString lastData = QStringLiteral("T%1").arg(rows + 2);   // brutto of the last row
    EXPECT_TRUE(wb.cells.value(lastData).type.isEmpty()) << "brutto is written as a number";
    EXPECT_FALSE(wb.text(lastData).isEmpty());
    EXPECT_EQ(wb.text(QStringLiteral("A%1").arg(rows + 3)), QStringLiteral("Filtr: False; True; "));
}
