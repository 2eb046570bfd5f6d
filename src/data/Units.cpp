#include "data/Units.h"

namespace fenwa::data {

QStringList unitNames(TF_Dane &dane, bool *singleUnit)
{
    const RunSettings &s = dane.settings();
    QStringList names;
    auto collect = [&](Table *t, const QString &field) {
        for (t->first(); !t->eof(); t->next())
            names << t->asString(field);
    };
    if (!s.voivodeship()) {
        if (singleUnit)
            *singleUnit = true;
        dane.T_PIW->setFilter(QStringLiteral("Kod = ") + Filter::quoteText(s.pkod));
        dane.T_PIW->setFiltered(true);
        dane.T_PIW->first();
        if (!dane.T_PIW->isEmpty())
            names << dane.T_PIW->asString(QStringLiteral("Nazwa"));
        return names;
    }
    if (singleUnit)
        *singleUnit = false;
    // "Kod = '20*'": the codes beginning with the voivodeship code.
    const QString prefix = QStringLiteral("Kod = ") + Filter::quoteText(s.wkod + QLatin1Char('*'));
    dane.T_WIW->setFilter(prefix);
    dane.T_WIW->setFiltered(true);
    collect(dane.T_WIW, QStringLiteral("Nazwa"));
    collect(dane.T_Jp, QStringLiteral("Jp"));
    dane.T_PIW->setFilter(prefix);
    dane.T_PIW->setFiltered(true);
    collect(dane.T_PIW, QStringLiteral("Nazwa"));
    return names;
}

QString unitCode(TF_Dane &dane, const QString &unitName)
{
    QString code;
    if (dane.T_PIW->locate(QStringLiteral("Nazwa"), unitName))
        code = dane.T_PIW->asString(QStringLiteral("Kod"));
    else if (dane.T_WIW->locate(QStringLiteral("Nazwa"), unitName))
        code = dane.T_WIW->asString(QStringLiteral("Kod")) + QStringLiteral("00");
    else if (dane.T_Jp->locate(QStringLiteral("Jp"), unitName))
        code = dane.T_Jp->asString(QStringLiteral("Kod"));
    return code.left(4);
}

QStringList subordinateCodes(TF_Dane &dane)
{
    QStringList codes;
    Table *t = dane.T_Jp;
    for (t->first(); !t->eof(); t->next())
        codes << t->asString(QStringLiteral("Kod")).left(4);
    return codes;
}

} // namespace fenwa::data
