#pragma once
// A legacy data folder of an earlier installation, written as Paradox tables:
// users, two dictionaries (contractors of the version before Ukr), and one
// register pair per unit (positions of the version before ob), with stamps
// and Polish texts.
#include "ParadoxWriter.h"

#include <QDir>
#include <QStringList>

namespace fenwa::testing {

inline void writeLegacyFolder(const QString &folder, const QStringList &units, int year, int positionsPerUnit)
{
    const QDir dir(folder);
    const QDateTime base(QDate(year, 1, 2), QTime(8, 30, 15));
    writeParadox(dir.filePath(QStringLiteral("passwd.db")),
                 {pxAutoInc("Id"), pxAlpha("Login", 40), pxAlpha("Password", 40), pxLogical("Admin"),
                  pxLogical("Slowniki"), pxLogical("Browse"), pxLogical("Edit"), pxLogical("Arc"),
                  pxLogical("Active"), pxDate("D")},
                 {{1, QStringLiteral("admin"), QStringLiteral("DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"), true, true,
                   true, true, true, true, QDate(year, 1, 1)},
                  {5, QStringLiteral("Łucja Żak"), QVariant(), false, true, true, false, QVariant(), true, QVariant()}});
    writeParadox(dir.filePath(QStringLiteral("Kontr.DB")),
                 {pxAutoInc("Id"), pxAlpha("Nazwa", 60), pxAlpha("Im_naz", 60), pxAlpha("Ulica", 30),
                  pxAlpha("Miasto", 30), pxAlpha("Ident", 30), pxAlpha("Konto", 30)},
                 {{3, QStringLiteral("Przychodnia „Źrebię”"), QStringLiteral("Gżegżółka"), QStringLiteral("Ślusarska 1"),
                   QStringLiteral("Łomża"), QVariant(), QVariant()},
                  {9, QStringLiteral("Hurtownia Ćma"), QVariant(), QVariant(), QStringLiteral("Ełk"),
                   QStringLiteral("PL 123"), QStringLiteral("11 2222")}});
    writeParadox(dir.filePath(QStringLiteral("zak.db")), {pxAutoInc("Id"), pxAlpha("Zak", 150)},
                 {{2, QStringLiteral("Szczepionki przeciw wściekliźnie")}, {4, QStringLiteral("Rękawice")}});
    int id = 0;
    for (const QString &unit : units) {
        const QString suffix = QStringLiteral("_%1_%2.db").arg(year).arg(unit);
        QVector<PxRow> groups, positions;
        for (int g = 1; g <= 12; ++g)
            groups << PxRow{g, QStringLiteral("FV %1/%2 źródłowy").arg(g).arg(year), 1, 2,
                            QStringLiteral("Zakup środków – ćwiartka %1").arg(g), year, g, g < 6,
                            base.addDays(30 * (g - 1)), g % 2 ? QVariant() : QVariant(base.addDays(31 * g)), 1,
                            g % 2 ? QVariant() : QVariant(5)};
        for (int p = 1; p <= positionsPerUnit; ++p) {
            ++id;
            positions << PxRow{p, 1 + p % 12, QVariant(), p % 3 ? QVariant() : QVariant(1), QVariant(),
                               p % 2 ? 2 : 4, p % 2 ? 3 : 9, QVariant(), 1, QVariant(), QVariant(), 1,
                               double(p % 7 + 1), 12.3456, 100.0 * p, 23.0 * p, 123.0 * p, p % 2 == 0,
                               true, p % 5 != 0, QStringLiteral("Badanie nr %1 – gęś, źrebię").arg(p),
                               base.date().addDays(p % 300), QStringLiteral("PK-%1").arg(p),
                               QStringLiteral("Faktura %1").arg(id), base.addSecs(61LL * p),
                               p % 4 ? QVariant() : QVariant(base.addSecs(90000LL + p)), p % 2 ? 1 : 5,
                               QVariant()};
        }
        writeParadox(dir.filePath(QStringLiteral("g") + suffix),
                     {pxAutoInc("Id"), pxAlpha("Dok", 40), pxLong("Rozdz"), pxLong("Par"), pxAlpha("Opis", 160),
                      pxLong("Rok"), pxLong("Mc"), pxLogical("Zk"), pxStamp("T_Ins"), pxStamp("T_Mod"),
                      pxLong("O_Ins"), pxLong("O_Mod")},
                     groups);
        writeParadox(dir.filePath(QStringLiteral("p") + suffix),
                     {pxAutoInc("Id"), pxLong("Dok"), pxLong("Cz"), pxLong("Bd"), pxLong("Bp"), pxLong("zak"),
                      pxLong("kontr"), pxLong("prac"), pxLong("zf"), pxLong("ch"), pxLong("gat"), pxLong("jm"),
                      pxNumber("ilosc"), pxMoney("cena"), pxMoney("netto"), pxMoney("podatki"), pxMoney("BRUTTO"),
                      pxLogical("wyd"), pxLogical("Kosz"), pxLogical("DOT"), pxAlpha("Opis", 160), pxDate("Data"),
                      pxAlpha("PKS", 20), pxAlpha("FAK", 30), pxStamp("T_Ins"), pxStamp("T_Mod"), pxLong("O_Ins"),
                      pxLong("O_Mod")},
                     positions);
    }
}

} // namespace fenwa::testing
