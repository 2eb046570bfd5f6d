// Reading Paradox tables of older installations: values, code pages, and
// damaged files refused with a message naming the file.
#include "ParadoxWriter.h"
#include "data/ParadoxTable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::testing;
using data::ParadoxTable;

namespace {

struct ParadoxTableTest : ::testing::Test {
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
};

QString failureOf(const QString &file)
{
    try {
        data::ParadoxTable t(file);
        for (int i = 0; i < t.recordCount(); ++i)
            t.record(i);
    } catch (const data::EngineError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST_F(ParadoxTableTest, ReadsEveryTypeWithBlanksAsNull)
{
    const QVector<PxField> fields{pxAutoInc("Id"), pxAlpha("nazwa", 40), pxShort("krotka"), pxLong("dluga"),
                                  pxNumber("liczba"), pxMoney("kwota"), pxLogical("Ukr"), pxDate("Data"),
                                  pxStamp("T_Ins")};
    const QDateTime stamp(QDate(2016, 2, 29), QTime(23, 59, 58));
    writeParadox(path("all.db"), fields,
                 {{7, QStringLiteral("Zażółć gęślą jaźń"), -3, 123456, 1.25, 1234.56, true, QDate(1999, 12, 31), stamp},
                  {8, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), false, QVariant(), QVariant()},
                  {9, QStringLiteral("x"), 0, 0, 0.0, 0.0, QVariant(), QDate(1, 1, 1), QVariant()}});

    ParadoxTable t(path("all.db"));
    ASSERT_EQ(t.fields().size(), 9);
    EXPECT_EQ(t.fields()[1].name, QStringLiteral("nazwa"));
    EXPECT_EQ(t.fields()[1].type, ParadoxTable::Type::Alpha);
    EXPECT_EQ(t.fields()[1].size, 40);
    EXPECT_EQ(t.fields()[8].type, ParadoxTable::Type::Timestamp);
    ASSERT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.record(0), (QVector<QVariant>{7, QStringLiteral("Zażółć gęślą jaźń"), -3, 123456, 1.25, 1234.56,
                                              true, QDate(1999, 12, 31), stamp}));
    const auto blank = t.record(1);
    EXPECT_EQ(blank[6], QVariant(false));
    for (int i : {1, 2, 3, 4, 5, 7, 8})
        EXPECT_TRUE(blank[i].isNull()) << i;
    const auto zeros = t.record(2);
    EXPECT_EQ(zeros[2], QVariant(0));   // a zero is not a blank
    EXPECT_EQ(zeros[4], QVariant(0.0));
    EXPECT_TRUE(zeros[6].isNull());
    EXPECT_EQ(zeros[7], QVariant(QDate(1, 1, 1)));
}

TEST_F(ParadoxTableTest, DecodesTextFromTheTablesCodePage)
{
    const QString polish = QStringLiteral("ĄĆĘŁŃÓŚŹŻ ąćęłńóśźż Łódź");
    for (int cp : {1250, 852}) {
        writeParadox(path("k.db"), {pxAlpha("nazwa", 60)}, {{polish}}, cp);
        ParadoxTable t(path("k.db"));
        EXPECT_EQ(t.codePage(), cp);
        EXPECT_EQ(t.record(0)[0].toString(), polish) << cp;
    }
}

TEST_F(ParadoxTableTest, DamagedFilesAreRefusedNamingTheFile)
{
    writeParadox(path("good.db"), {pxLong("Id"), pxAlpha("nazwa", 40)},
                 QVector<PxRow>(300, PxRow{1, QStringLiteral("Kowalski")}));
    QFile good(path("good.db"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    good.close();

    auto write = [&](const char *name, const QByteArray &content) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path(name);
    };
    const QString cut = write("cut.db", bytes.left(bytes.size() - 3000));
    const QString headerOnly = write("header.db", bytes.left(0x60));
    const QString text = write("text.db", "To jest zwykły plik tekstowy, a nie tabela.\n");
    QByteArray strange = bytes;
    strange[0x78] = char(0x30);   // the first field's type code
    const QString unknown = write("unknown.db", strange);

    for (const QString &f : {cut, headerOnly, text, unknown}) {
        const QString message = failureOf(f);
        EXPECT_TRUE(message.startsWith(QStringLiteral("Plik ") + f)) << message.toStdString();
    }
    EXPECT_TRUE(failureOf(cut).contains(QStringLiteral("uszkodzony")));
    EXPECT_TRUE(failureOf(text).contains(QStringLiteral("nie jest tabelą")));
    EXPECT_TRUE(failureOf(unknown).contains(QStringLiteral("nieznanego typu")));
    EXPECT_TRUE(failureOf(path("brak.db")).contains(QStringLiteral("nie istnieje")));
}

TEST_F(ParadoxTableTest, MemoFieldIsReportedAndReadBlankWithoutItsMemoFile)
{
    writeParadox(path("memo.db"), {pxLong("Id"), pxMemo("uwagi"), pxAlpha("nazwa", 10)},
                 {{1, QVariant(), QStringLiteral("a")}});
    QFile mb(path("memo.mb"));   // a memo file pxlib would crash on, if it opened it
    ASSERT_TRUE(mb.open(QIODevice::WriteOnly));
    mb.write(QByteArray(100, '\xff'));
    mb.close();
    ParadoxTable t(path("memo.db"));
    EXPECT_EQ(t.fields()[1].type, ParadoxTable::Type::Memo);
    EXPECT_EQ(t.record(0), (QVector<QVariant>{1, QVariant(), QStringLiteral("a")}));
}
