// Importing dictionaries from the previous generation's Paradox tables.
#include "ParadoxWriter.h"
#include "Installation.h"
#include "data/Query.h"
#include "dictionaries/Import.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::testing;
using dictionaries::ImportKind;

namespace {

// Every row of a statement, values joined with "|" ("<null>" for blanks).
QStringList rowsOf(data::Database &db, const QString &sql)
{
    data::Query q(&db, QStringLiteral("Q_Test"));
    q.addLine(sql);
    q.open();
    QStringList rows;
    for (q.first(); rows.size() < q.recordCount(); q.next()) {
        QStringList values;
        for (int i = 0; i < q.fieldCount(); ++i)
            values << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

struct ImportTest : ::testing::Test {
    DataFolder folder;
    QTemporaryDir old;   // the previous generation's data folder
    data::Database &db() { return *folder.db; }
    QString file(const char *name) const { return old.filePath(QString::fromLatin1(name)); }

    void writeContractors(int codePage)
    {
        writeParadox(file("Kontrahenci.db"),
                     {pxAutoInc("Id"), pxAlpha("nazwa", 60), pxAlpha("im_naz", 60), pxAlpha("ulica", 30),
                      pxAlpha("miasto", 30), pxAlpha("nip", 13)},
                     {{1, QStringLiteral("Zakład Weterynaryjny Łoś"), QStringLiteral("Żaneta Ćwik"),
                       QStringLiteral("Śląska 5"), QStringLiteral("Łódź"), QStringLiteral("123")},
                      {2, QStringLiteral("Gospodarstwo Źrebię"), QVariant(), QVariant(), QStringLiteral("Ełk"),
                       QVariant()}},
                     codePage);
    }
    QStringList contractors()
    {
        return rowsOf(db(), QStringLiteral("SELECT Nazwa, Im_naz, Ulica, Miasto, Ukr FROM kontr "
                                           "WHERE Nazwa IN ('Zakład Weterynaryjny Łoś', 'Gospodarstwo Źrebię') "
                                           "ORDER BY Id"));
    }
};

} // namespace

TEST_F(ImportTest, ContractorsComeInVisibleFromEitherCodePageAndTwiceGivesEachTwice)
{
    for (int cp : {1250, 852}) {
        writeContractors(cp);
        const auto result = dictionaries::importDictionary(db(), ImportKind::Contractors, file("Kontrahenci.db"));
        EXPECT_TRUE(result.error.isEmpty()) << result.reason.toStdString();
        EXPECT_EQ(result.rows, 2);
    }
    const QString first = QStringLiteral("Zakład Weterynaryjny Łoś|Żaneta Ćwik|Śląska 5|Łódź|false");
    const QString second = QStringLiteral("Gospodarstwo Źrebię|<null>|<null>|Ełk|false");
    EXPECT_EQ(contractors(), (QStringList{first, second, first, second}));
}

TEST_F(ImportTest, TestsTakeTheRowsOfTheirSection)
{
    writeParadox(file("badania.db"), {pxAlpha("badanie", 100), pxLogical("Dzial")},
                 {{QStringLiteral("Gruźlica bydła"), true},
                  {QStringLiteral("Pozostałości antybiotyków"), false},
                  {QStringLiteral("Wścieklizna"), true},
                  {QStringLiteral("Bez działu"), QVariant()}});
    ASSERT_TRUE(dictionaries::importDictionary(db(), ImportKind::DiagnosticTests, file("badania.db")).error.isEmpty());
    ASSERT_TRUE(dictionaries::importDictionary(db(), ImportKind::ResidueTests, file("badania.db")).error.isEmpty());
    const QStringList bd = rowsOf(db(), QStringLiteral("SELECT Bd FROM bd"));
    EXPECT_TRUE(bd.contains(QStringLiteral("Gruźlica bydła")) && bd.contains(QStringLiteral("Wścieklizna")));
    EXPECT_FALSE(bd.contains(QStringLiteral("Pozostałości antybiotyków")));
    EXPECT_EQ(rowsOf(db(), QStringLiteral("SELECT Bp FROM bp WHERE Bp IN ('Pozostałości antybiotyków', "
                                          "'Gruźlica bydła', 'Wścieklizna', 'Bez działu')")),
              QStringList{QStringLiteral("Pozostałości antybiotyków")});
}

TEST_F(ImportTest, AFailureAddsNothingAndShowsTheMessage)
{
    writeParadox(file("Zakupy.db"), {pxAlpha("opis", 40)}, {{QStringLiteral("Szczepionki")}});   // no "nazwa"
    writeContractors(1250);
    QFile cut(file("Kontrahenci.db"));
    ASSERT_TRUE(cut.resize(cut.size() - 100));
    const int purchases = rowsOf(db(), QStringLiteral("SELECT Id FROM zak")).size();
    const int known = rowsOf(db(), QStringLiteral("SELECT Id FROM kontr")).size();

    const auto missingColumn = dictionaries::importDictionary(db(), ImportKind::Purchases, file("Zakupy.db"));
    EXPECT_EQ(missingColumn.error, QStringLiteral("Pliku ") + file("Zakupy.db")
                                       + QStringLiteral(" nie można importować do słownika Zakupy"));
    const auto damaged = dictionaries::importDictionary(db(), ImportKind::Contractors, file("Kontrahenci.db"));
    EXPECT_EQ(damaged.error, QStringLiteral("Pliku ") + file("Kontrahenci.db")
                                 + QStringLiteral(" nie można importować do słownika Kontrahenci"));
    EXPECT_EQ(damaged.rows, 0);
    EXPECT_EQ(rowsOf(db(), QStringLiteral("SELECT Id FROM zak")).size(), purchases);
    EXPECT_EQ(rowsOf(db(), QStringLiteral("SELECT Id FROM kontr")).size(), known);

    // The failed import left no work table behind: the next one goes through.
    writeParadox(file("Zakupy.db"), {pxAlpha("nazwa", 40)}, {{QStringLiteral("Szczepionki")}});
    EXPECT_EQ(dictionaries::importDictionary(db(), ImportKind::Purchases, file("Zakupy.db")).rows, 1);
}
