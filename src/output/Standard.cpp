#include "output/Standard.h"

#include "data/Guard.h"
#include "data/Query.h"

namespace fenwa::output {

QString inspectorateBlock(data::TF_Dane &dane)
{
    const RunSettings &s = dane.settings();
    const bool wiw = s.voivodeship();
    QString block;
    data::quiet([&] {
        data::Query q(dane.database(), QStringLiteral("Q_IW"));
        q.setSql({QStringLiteral("SELECT Nazwa, ulica, Miasto FROM \"%1\" WHERE Kod = :kod")
                      .arg(dane.database()->path(wiw ? QStringLiteral("wiw.db") : QStringLiteral("piw.db")))});
        q.setParam(QStringLiteral("kod"), wiw ? s.wkod : s.pkod);
        q.open();
        if (!q.isEmpty())
            block = PrintParameters::iw(q.asString(QStringLiteral("Nazwa")), q.asString(QStringLiteral("ulica")),
                                        q.asString(QStringLiteral("Miasto")));
    });
    return block;
}

PrintParameters standardParameters(data::TF_Dane &dane, const QString &title)
{
    PrintParameters p;
    p.set(QStringLiteral("Tytul"), title);
    p.set(QStringLiteral("IW"), inspectorateBlock(dane));
    p.set(QStringLiteral("Stopka_raportu"),
          PrintParameters::stopkaRaportu(QStringLiteral("Fenwa5"), dane.user().wersja, dane.user().user_str,
                                         dane.clock().today()));
    return p;
}

SheetEnvironment sheetEnvironment(data::TF_Dane &dane, std::function<bool(const QString &)> open)
{
    SheetEnvironment env;
    env.folder = dane.settings().fe;
    env.moment = dane.clock().now();
    env.version = dane.user().wersja;
    env.login = dane.user().user_str;
    env.messages = &dane.messages();
    env.open = std::move(open);
    return env;
}

} // namespace fenwa::output
