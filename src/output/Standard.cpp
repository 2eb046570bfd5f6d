#include "output/Standard.h"


namespace fenwa::output {

PrintParameters standardParameters(data::TF_Dane &dane, const QString &title)
{
    PrintParameters p;
    p.set(QStringLiteral("Tytul"), title);
    // The identity the settings window shows is the block printed.
    p.set(QStringLiteral("IW"), dane.settings().iw);
    p.set(QStringLiteral("Stopka_raportu"),
          PrintParameters::stopkaRaportu(QStringLiteral("Fenwa5"), dane.user().wersja, dane.user().user_str,
                                         dane.clock().today()));
    p.saveFolder = dane.settings().fe;
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
