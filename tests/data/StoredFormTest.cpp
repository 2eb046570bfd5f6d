// What the database file holds: every column only values of its type.
#include "TestData.h"
#include "data/Table.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::errorOf;
using fenwa::testing::TempFolder;

TEST(StoredTypes, NoStatementStoresAValueOfAnotherType)
{
    TempFolder f;
    f.db->exec(schema::createPositions(f.folder(), QStringLiteral("_2016_2000")).join(QLatin1Char('\n')));
    f.db->exec(QStringLiteral("ALTER TABLE \"%1\" ADD Nowe INTEGER").arg(f.path(QStringLiteral("p_2016_2000.db"))));
    const struct {
        const char *column, *value;
        const char *refusal;   // empty: stored
    } cases[] = {
        {"Dok", "'abc'", "liczbą całkowitą"}, {"Dok", "2.5", "liczbą całkowitą"}, {"Dok", "'12'", ""},
        {"Nowe", "'abc'", "liczbą całkowitą"}, {"ilosc", "'1,5'", "liczbą"},     {"ilosc", "3", ""},
        {"wyd", "2", "wartością logiczną"},    {"wyd", "1", ""},                  {"Data", "'31.02.2024'", "datą"},
        {"Data", "'2024-02-30'", "datą"},      {"Data", "'2024-02-29'", ""},      {"T_Ins", "'jutro'", "datą i godziną"},
        {"T_Ins", "'2024-02-29 10:15:00'", ""},
    };
    for (const auto &c : cases) {
        const QString msg = errorOf([&] {
            f.db->execNative(QStringLiteral("INSERT INTO p_2016_2000 (%1) VALUES (%2)")
                                 .arg(QString::fromLatin1(c.column), QString::fromLatin1(c.value)));
        });
        if (*c.refusal) {
            EXPECT_TRUE(msg.contains(QStringLiteral("„%1”").arg(QString::fromLatin1(c.column)))) << msg.toStdString();
            EXPECT_TRUE(msg.contains(QString::fromUtf8(c.refusal))) << c.column << " " << msg.toStdString();
        } else {
            EXPECT_TRUE(msg.isEmpty()) << c.column << " " << c.value << ": " << msg.toStdString();
        }
    }
}
