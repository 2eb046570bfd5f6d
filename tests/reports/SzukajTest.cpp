// Searching a dataset's records for a text.
#include "Installation.h"
#include "common/ScriptedMessages.h"
#include "data/Table.h"
#include "reports/Szukaj.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reports;
using fenwa::testing::DataFolder;

namespace {
struct Contractors {
    DataFolder f;
    Table t{f.db.get(), QStringLiteral("T_kontr")};
    ScriptedMessages messages;
    Contractors()
    {
        t.setTableName(QStringLiteral("kontr.db"));
        t.open();
        for (const char *name : {"Abx", "Nowak", "Kowal zAB", "Łąka", "Zbyszko"}) {
            t.append();
            t.setValue(QStringLiteral("Nazwa"), QString::fromUtf8(name));
            t.post();
        }
        t.first();
    }
    QString current() const { return t.asString(QStringLiteral("Nazwa")); }
};
} // namespace

TEST(GridSearch, ForwardsBackwardsAndCase)
{
    Contractors c;
    // The current record is not tested: from Abx, "ab" finds zAB next.
    EXPECT_TRUE(findNext(c.t, QStringLiteral("ab"), false, SearchDirection::Down, c.messages));
    EXPECT_EQ(c.current(), QStringLiteral("Kowal zAB"));
    EXPECT_FALSE(findNext(c.t, QStringLiteral("ab"), false, SearchDirection::Down, c.messages));
    EXPECT_EQ(c.messages.last(), QStringLiteral("Nie znaleziono \"ab\"."));
    EXPECT_EQ(c.messages.shown().last().title, QStringLiteral("Informacja"));
    EXPECT_EQ(c.current(), QStringLiteral("Zbyszko"));   // left on the last record
    EXPECT_TRUE(findNext(c.t, QStringLiteral("ab"), false, SearchDirection::Up, c.messages));
    EXPECT_EQ(c.current(), QStringLiteral("Kowal zAB"));
    EXPECT_TRUE(findNext(c.t, QStringLiteral("AB"), false, SearchDirection::Up, c.messages));
    EXPECT_EQ(c.current(), QStringLiteral("Abx"));
    EXPECT_FALSE(findNext(c.t, QStringLiteral("ab"), true, SearchDirection::Down, c.messages));
    // Polish letters change case by the locale's rules.
    c.t.first();
    EXPECT_TRUE(findNext(c.t, QStringLiteral("ŁĄ"), false, SearchDirection::Down, c.messages));
    EXPECT_EQ(c.current(), QStringLiteral("Łąka"));
    // Identifiers are fields too.
    c.t.first();
    EXPECT_TRUE(findNext(c.t, QStringLiteral("5"), false, SearchDirection::Down, c.messages));
    EXPECT_EQ(c.current(), QStringLiteral("Zbyszko"));
    // From the first record backwards: not found at once.
    c.t.first();
    c.messages.clear();
    EXPECT_FALSE(findNext(c.t, QStringLiteral("Abx"), false, SearchDirection::Up, c.messages));
    EXPECT_EQ(c.messages.shown().size(), 1);
}

TEST(GridSearch, OnlyFilteredRowsAreSearched)
{
    Contractors c;
    c.t.setFilter(QStringLiteral("Nazwa = 'Z*'"));
    c.t.setFiltered(true);
    c.t.first();
    EXPECT_FALSE(findNext(c.t, QStringLiteral("Nowak"), false, SearchDirection::Down, c.messages));
}
