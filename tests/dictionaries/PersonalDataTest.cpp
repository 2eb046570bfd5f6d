// Who first entered a contractor's data: the earliest creation stamp over
// every positions file.
#include "Installation.h"
#include "dictionaries/PersonalData.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::testing;

namespace {

struct Position {
    const char *file;   // "p_2016_2201.db"
    int contractor;
    const char *stamp;  // stored form, nullptr for blank
    int user;
};

struct Case {
    const char *name;
    QVector<Position> positions;
    QString expected;   // login and date line, or "Brak danych!"
};

const QDateTime now(QDate(2024, 6, 30), QTime(12, 0));

QString answer(const QString &login, const QString &date)
{
    return QStringLiteral("Dane kontrahenta wprowadził po raz pierwszy \n\nnazwa użytkownika: ") + login
        + QStringLiteral("\ndata wprowadzenia: ") + date;
}

class PersonalDataTest : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(PersonalDataTest, FindsTheFirstEntry)
{
    DataFolder folder;
    data::Database &db = *folder.db;
    const QString passwd = db.path(QStringLiteral("passwd.db"));
    db.exec(QStringLiteral("INSERT INTO \"%1\" (Id, Login) VALUES (1, 'admin')").arg(passwd));
    db.exec(QStringLiteral("INSERT INTO \"%1\" (Id, Login) VALUES (2, 'Łucja')").arg(passwd));
    for (const Position &p : GetParam().positions) {
        const QString file = QString::fromLatin1(p.file);
        if (!db.fileExists(file))
            db.exec(data::schema::createPositions(db.folder(), file.mid(1)).join(QLatin1Char('\n')));
        db.exec(QStringLiteral("INSERT INTO \"%1\" (kontr, T_Ins, O_Ins) VALUES (:k, :t, :o)").arg(db.path(file)),
                {{QStringLiteral(":k"), p.contractor},
                 {QStringLiteral(":t"), p.stamp ? QVariant(QString::fromLatin1(p.stamp)) : QVariant()},
                 {QStringLiteral(":o"), p.user}});
    }
    QStringList searched;
    const QString text = dictionaries::personalDataInformation(
        db, 7, now, [&](const QString &f) { searched << f; }, QLocale(QLocale::Polish, QLocale::Poland));
    EXPECT_EQ(text, GetParam().expected);
    EXPECT_EQ(searched, db.listFiles(QStringLiteral("p_????_????.db")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonalDataTest,
    ::testing::Values(
        Case{"NoRegisters", {}, QStringLiteral("Brak danych!")},
        Case{"OtherContractorsOnly", {{"p_2016_2201.db", 8, "2016-01-02 10:00:00", 1}}, QStringLiteral("Brak danych!")},
        Case{"EarliestOverFiles",
             {{"p_2016_2201.db", 7, "2016-03-02 10:00:00", 1}, {"p_2015_2201.db", 7, "2016-01-05 08:00:00", 1},
              {"p_2017_2000.db", 7, "2015-12-31 23:59:59", 2}, {"p_2017_2000.db", 7, "2016-01-01 00:00:00", 1}},
             answer(QStringLiteral("Łucja"), QStringLiteral("31.12.2015"))},
        Case{"BlankStampIsEarliest",
             {{"p_2015_2201.db", 7, "2001-01-01 00:00:00", 1}, {"p_2016_2201.db", 7, nullptr, 2}},
             answer(QStringLiteral("Łucja"), QString())},
        Case{"FirstFileWinsATie",
             {{"p_2016_2201.db", 7, "2016-01-02 10:00:00", 2}, {"p_2015_2201.db", 7, "2016-01-02 10:00:00", 1}},
             answer(QStringLiteral("admin"), QStringLiteral("2.01.2016"))},
        Case{"StampsFromTheFutureDoNotCount", {{"p_2030_2201.db", 7, "2030-01-01 00:00:00", 1}},
             QStringLiteral("Brak danych!")},
        Case{"DeletedUser", {{"p_2016_2201.db", 7, "2016-01-02 10:00:00", 9}}, QStringLiteral("Brak danych!")}),
    [](const auto &test) { return std::string(test.param.name); });
