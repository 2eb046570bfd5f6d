// Two workstations (two connections on one data folder) working on the same
// record: the later write never silently overwrites or "saves" a vanished record.
#include "Installation.h"
#include "data/Table.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::DataFolder;

namespace {

enum class Act { Change, Delete };

struct ConflictCase {
    const char *name;
    Act other;                  // what the other workstation did first
    Act mine;                   // what this workstation then tries
    RecordConflict::Kind kind;  // how it is refused
};

void PrintTo(const ConflictCase &c, std::ostream *os) { *os << c.name; }

class RecordConflicts : public ::testing::TestWithParam<ConflictCase> {};

Table *openPasswd(Database *db, std::vector<std::unique_ptr<Table>> &keep)
{
    keep.push_back(std::make_unique<Table>(db, QStringLiteral("T_Passwd")));
    Table *t = keep.back().get();
    t->setTableName(QStringLiteral("passwd.db"));
    t->open();
    return t;
}

void act(Table &t, Act a, const QString &login)
{
    if (a == Act::Delete) {
        t.remove();
        return;
    }
    t.edit();
    t.setValue(QStringLiteral("Login"), login);
    t.post();
}

} // namespace

TEST_P(RecordConflicts, TheLaterWriteIsRefusedAndCanBeRetriedAfterReading)
{
    const ConflictCase c = GetParam();
    DataFolder f;
    auto other = f.connect();
    std::vector<std::unique_ptr<Table>> keep;
    Table *a = openPasswd(f.db.get(), keep);
    a->append();
    a->setValue(QStringLiteral("Login"), QStringLiteral("anna"));
    a->post();
    a->append();
    a->setValue(QStringLiteral("Login"), QStringLiteral("zenon"));
    a->post();
    a->first();
    Table *b = openPasswd(other.get(), keep);   // both read "anna"

    if (c.mine == Act::Change) {
        a->edit();
        a->setValue(QStringLiteral("Login"), QStringLiteral("anna.kowalska"));
    }
    act(*b, c.other, QStringLiteral("anna.nowak"));

    try {
        if (c.mine == Act::Change)
            a->post();
        else
            a->remove();
        FAIL() << "the write went through";
    } catch (const RecordConflict &e) {
        EXPECT_EQ(e.kind(), c.kind);
        EXPECT_TRUE(e.message().contains(QStringLiteral("innym stanowisku"))) << e.message().toStdString();
    }
    // Nothing of the refused write is stored; a pending edit keeps its values.
    b->refresh();
    EXPECT_FALSE(b->locate(QStringLiteral("Login"), QStringLiteral("anna.kowalska")));
    EXPECT_EQ(b->recordCount(), c.other == Act::Delete ? 1 : 2);
    if (c.mine == Act::Change) {
        EXPECT_EQ(a->state(), Dataset::State::Edit);
        EXPECT_EQ(a->asString(QStringLiteral("Login")), QStringLiteral("anna.kowalska"));
    }

    // Cancelling the refused edit reads the records again (a refused delete
    // has read them already); then the write can be retried.
    a->cancel();
    a->first();
    act(*a, c.mine, QStringLiteral("anna.kowalska"));
    b->refresh();
    EXPECT_EQ(b->recordCount(), 2 - int(c.other == Act::Delete) - int(c.mine == Act::Delete));
}

INSTANTIATE_TEST_SUITE_P(
    TwoWorkstations, RecordConflicts,
    ::testing::Values(ConflictCase{"ChangeAfterChange", Act::Change, Act::Change, RecordConflict::Kind::Changed},
                      ConflictCase{"ChangeAfterDelete", Act::Delete, Act::Change, RecordConflict::Kind::Deleted},
                      ConflictCase{"DeleteAfterChange", Act::Change, Act::Delete, RecordConflict::Kind::Changed},
                      ConflictCase{"DeleteAfterDelete", Act::Delete, Act::Delete, RecordConflict::Kind::Deleted}),
    [](const auto &test) { return std::string(test.param.name); });
