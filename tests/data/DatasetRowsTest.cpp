// Records kept compactly read back exactly as they were read: the same type
// and value for every kind of value, nulls in any place, a column whose
// values change type, numbers widened after the fact.
#include "data/DatasetRows.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

using fenwa::data::DatasetRows;

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

} // namespace
