// A query of the table engine printed and exported through the adapter.
#include "output/DatasetSource.h"
#include "common/ScriptedMessages.h"
#include "output/PrintJob.h"
#include "QtPrinters.h"
#include "output/SheetExport.h"
#include "output/XlsxReader.h"

#include "Installation.h"
#include "common/Messages.h"
#include "data/Query.h"

#include <gtest/gtest.h>

using namespace fenwa::output;

TEST(DatasetSource, QueryFieldsTypesAndTextsReachPrintAndSheet)
{
    fenwa::testing::DataFolder f;
    const QString gat = f.path(QStringLiteral("gat.db"));
    for (const char *name : {"bydło", "świnie", "owce"})
        f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Gat) VALUES (\"%2\")").arg(gat, QString::fromUtf8(name)));
    fenwa::data::Query q(f.db.get(), QStringLiteral("Q_Simple"));
    q.addLine(QStringLiteral("SELECT Gat AS Kryt, 1.5 AS netto, 0.5 AS podatki, 2.0 AS brutto, Id FROM \"%1\" ORDER BY Gat").arg(gat));
    q.open();

    const DatasetSource src(q);
    ASSERT_EQ(src.rowCount(), 3);
    EXPECT_EQ(src.columnIndex(QStringLiteral("KRYT")), 0);
    EXPECT_EQ(src.column(1).type, ColumnType::Number);
    EXPECT_EQ(src.column(4).type, ColumnType::Integer);
    EXPECT_EQ(src.text(0, 0), QStringLiteral("bydło"));   // Polish order: bydło, owce, świnie
    EXPECT_EQ(src.text(2, 0), QStringLiteral("świnie"));

    PrintParameters p;
    p.set(QStringLiteral("Kryterium"), QStringLiteral("Gatunek"));
    const PrintJob job = preparePrint(*findPrintLayout(QStringLiteral("rep_simple")), p, src);
    EXPECT_TRUE(job.missingFields.isEmpty());
    EXPECT_DOUBLE_EQ(job.totals[3], 6.0);
    EXPECT_EQ(job.rows[1][0], QStringList{QStringLiteral("owce")});

    QTemporaryDir out;
    fenwa::ScriptedMessages messages;
    SheetEnvironment env;
    env.folder = out.path();
    env.moment = QDateTime(QDate(2016, 5, 1), QTime(8, 0));
    env.messages = &messages;
    SheetDesign design;
    design.title = QStringLiteral("Gatunki");
    design.columns = {{QStringLiteral("Lp")},
                    {QStringLiteral("Gatunek"), 60, false, QStringLiteral("Kryt")},
                    {QStringLiteral("Brutto"), 15, true, QStringLiteral("brutto"), true}};
    const SheetResult r = SheetExport::run(env, design, src);
    ASSERT_TRUE(r.ok);
    const auto wb = testing_xlsx::read(r.path);
    EXPECT_EQ(wb.text("B5"), QStringLiteral("świnie"));
    EXPECT_EQ(wb.text("C5"), QStringLiteral("2"));
    EXPECT_EQ(wb.numFmt("C5"), QStringLiteral("#,##0.00"));
}
