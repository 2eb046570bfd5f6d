// Records kept compactly read back exactly as they were read: the same type
// and value for every kind of value, nulls in any place, a column whose
// values change type, numbers widened after the fact; values taken straight
// from a statement equal the statement's own values.
#include "Installation.h"
#include "data/DatasetRows.h"
#include "data/Statement.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

using fenwa::data::DatasetRows;
using fenwa::data::FieldType;

namespace {

struct Column {
    const char *what;
    QVector<QVariant> values;   // one a row
};

// Rows of one column: nulls first, between and last, repeated texts.
const Column kColumns[] = {
    {"integers", {QVariant(), QVariant(qint64(0)), QVariant(std::numeric_limits<qint64>::min()),
                  QVariant(std::numeric_limits<qint64>::max()), QVariant(), QVariant(qint64(-7))}},
    {"floats", {QVariant(0.1), QVariant(), QVariant(-1234.56), QVariant(1e300), QVariant(-0.0)}},
    {"logical values", {QVariant(true), QVariant(false), QVariant(), QVariant(true)}},
    {"dates", {QVariant(QDate(2024, 2, 29)), QVariant(), QVariant(QDate(1, 1, 1)), QVariant(QDate(9999, 12, 31))}},
    {"local moments", {QVariant(QDateTime(QDate(2026, 3, 29), QTime(1, 59, 59, 999))), QVariant(),
                       QVariant(QDateTime(QDate(2026, 10, 25), QTime(2, 30))),
                       QVariant(QDateTime(QDate(2000, 1, 1), QTime(0, 0)))}},
    {"texts", {QVariant(QStringLiteral("Zażółć gęślą jaźń")), QVariant(QString()), QVariant(),
               QVariant(QStringLiteral("Zażółć gęślą jaźń")), QVariant(QStringLiteral("a")),
               QVariant(QStringLiteral("Zażółć"))}},
    {"moments in UTC and invalid dates",
     {QVariant(QDateTime(QDate(2026, 1, 2), QTime(3, 4), QTimeZone::utc())), QVariant(QDate()),
      QVariant(QDateTime(QDate(2026, 1, 2), QTime(3, 4)))}},
    {"types mixed in one column",
     {QVariant(), QVariant(qint64(5)), QVariant(QStringLiteral("5")), QVariant(2.5), QVariant(QDate(2024, 1, 1)),
      QVariant(), QVariant(int(3))}},
    {"nulls only", {QVariant(), QVariant()}},
};

void PrintTo(const Column &c, std::ostream *os) { *os << c.what; }

class EveryColumn : public ::testing::TestWithParam<Column> {};

TEST_P(EveryColumn, ReadsBackTheSameTypeAndValue)
{
    const Column &c = GetParam();
    // The column sits between two others, so that every row has several values.
    DatasetRows rows(3);
    for (int r = 0; r < c.values.size(); ++r)
        rows.append({QVariant(qint64(r)), c.values[r], QVariant(QStringLiteral("w%1").arg(r % 2))});
    rows.finish();
    ASSERT_EQ(rows.rowCount(), c.values.size());
    for (int r = 0; r < c.values.size(); ++r) {
        const QVariant v = rows.value(r, 1);
        SCOPED_TRACE(r);
        EXPECT_EQ(v.isValid(), c.values[r].isValid());
        EXPECT_EQ(v.typeId(), c.values[r].typeId());
        EXPECT_EQ(v, c.values[r]);
        if (v.typeId() == QMetaType::QDateTime) {
            EXPECT_EQ(v.toDateTime().timeSpec(), c.values[r].toDateTime().timeSpec());
        }
        if (v.typeId() == QMetaType::Double) {   // -0.0 keeps its sign
            EXPECT_EQ(std::signbit(v.toDouble()), std::signbit(c.values[r].toDouble()));
        }
        EXPECT_EQ(rows.record(r), (QVector<QVariant>{QVariant(qint64(r)), c.values[r],
                                                     QVariant(QStringLiteral("w%1").arg(r % 2))}));
    }
    EXPECT_FALSE(rows.value(c.values.size(), 1).isValid());
}

INSTANTIATE_TEST_SUITE_P(DatasetRows, EveryColumn, ::testing::ValuesIn(kColumns));

TEST(DatasetRows, WideningTurnsTheNumbersReadSoFarIntoFloatsAndKeepsNulls)
{
    DatasetRows rows(2);
    rows.append({QVariant(qint64(3)), QVariant(qint64(1))});
    rows.append({QVariant(), QVariant(QStringLiteral("2"))});
    rows.widenToDouble(0);
    rows.widenToDouble(1);
    rows.append({QVariant(0.5), QVariant(0.25)});
    const QVector<QVariant> expected[] = {{QVariant(3.0), QVariant(1.0)},
                                          {QVariant(), QVariant(2.0)},
                                          {QVariant(0.5), QVariant(0.25)}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(rows.value(r, c).typeId(), expected[r][c].typeId()) << r << c;
            EXPECT_EQ(rows.value(r, c), expected[r][c]) << r << c;
        }
    }
}

TEST(DatasetRows, ValuesTakenFromAStatementEqualTheStatementsValues)
{
    fenwa::testing::DataFolder f(fenwa::testing::Content::Nothing);
    // Every declared type, each column also holding what another program may
    // have stored there: nulls, a number as text, a date that is no date. The
    // server's columns hold values of their own type only: its rows are those.
    f.db->execNative(fenwa::testing::onServer()
        ? QStringLiteral(
              "CREATE TABLE t (i integer, n double precision, b boolean, d date, s timestamp(0), c text, u text);"
              "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
              " (7, 2, true, '2024-02-29', '2024-01-02 03:04:05', 'Zażółć', '3'),"
              " (-1, 0.25, false, '1999-12-31', '2024-01-02', '', '2.5'),"
              " (12, 1.5, true, '2000-02-29', '2024-01-02 03:04', '12', 'x'),"
              " (NULL, -0.5, NULL, '2000-01-01', NULL, 'Zażółć', NULL)")
        : QStringLiteral(
              "CREATE TABLE t (i INTEGER, n FLOAT, b BOOLEAN, d DATE, s TIMESTAMP, c CHAR(20), u);"
              "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
              " (7, 2, 1, '2024-02-29', '2024-01-02 03:04:05', 'Zażółć', 3),"
              " (-1, 0.25, 0, '2024-13-01', '2024-01-02', '', 2.5),"
              " ('12', '1,5', 'True', 'wczoraj', '2024-01-02T03:04', 12, 'x'),"
              " (NULL, -0.5, NULL, '2000-01-01', NULL, 'Zażółć', NULL)"));
    fenwa::data::Statement st(*f.db, QStringLiteral("SELECT * FROM t"));
    QVector<FieldType> types;
    for (int i = 0; i < st.columnCount(); ++i)
        types << fenwa::data::fieldFromDeclaredType(st.columnName(i), st.declaredType(i)).type;
    DatasetRows rows(st.columnCount());
    QVector<QVector<QVariant>> expected;
    while (st.step()) {
        QVector<QVariant> record;
        for (int i = 0; i < types.size(); ++i) {
            rows.putStored(i, st, i, types[i]);
            record << st.value(i, types[i]);
        }
        rows.endRow();
        expected << record;
    }
    rows.finish();
    ASSERT_EQ(rows.rowCount(), 5);
    for (int r = 0; r < expected.size(); ++r) {
        for (int c = 0; c < types.size(); ++c) {
            SCOPED_TRACE(st.columnName(c).toStdString() + " in row " + std::to_string(r));
            EXPECT_EQ(rows.value(r, c).typeId(), expected[r][c].typeId());
            EXPECT_EQ(rows.value(r, c), expected[r][c]);
        }
    }
}

} // namespace
