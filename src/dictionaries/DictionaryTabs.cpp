#include "dictionaries/DictionaryTabs.h"

#include "data/Guard.h"

namespace fenwa::dictionaries {

namespace {

DictionaryColumn text(const char *field, const char *title, int width)
{
    return {QString::fromLatin1(field), QString::fromUtf8(title), width};
}

DictionaryColumn flag(const char *field, const char *title, int width, const char *filter = "")
{
    return {QString::fromLatin1(field), QString::fromUtf8(title), width, true, QString::fromLatin1(filter)};
}

QVector<DictionaryTab> build()
{
    const QString hidden = QStringLiteral("Ukr=False");
    QVector<DictionaryTab> tabs;
    tabs << DictionaryTab{QStringLiteral("Tab_Rozdz"), QStringLiteral("Klasyfikacja rozdziałów"),
                          QStringLiteral("XDBGrid1"), QStringLiteral("rozdz.db"),
                          {text("Rozdz", "Rozdział", 80), text("Opis", "Nazwa", 600)}};
    tabs << DictionaryTab{QStringLiteral("Tab_Par"), QStringLiteral("Klasyfikacja paragrafów"),
                          QStringLiteral("XDBGrid2"), QStringLiteral("par.db"),
                          {text("Par", "Paragraf", 80), text("Dod", "Dodatkowy wyróżnik", 80),
                           text("Opis", "Nazwa/zakres", 600)}};
    tabs << DictionaryTab{QStringLiteral("Tab_zf"), QStringLiteral("Zródła finansowania"),
                          QStringLiteral("XDBGrid3"), QStringLiteral("zf.db"),
                          {text("zf", "Nazwa żródła finansowania", 500), text("Rok", "Rok, którego dotyczy", 120)},
                          true};
    tabs << DictionaryTab{QStringLiteral("Tab_chor"), QStringLiteral("Choroby zakaźne zwierząt"),
                          QStringLiteral("XDBGrid4"), QStringLiteral("ch.db"),
                          {text("Kol", "Kolejność wyświetlania", 80), text("Ch", "Nazwa choroby", 300),
                           text("ChEn", "Angielska nazwa choroby", 250),
                           flag("M", "Choroba podlega monitorowaniu", 90, "M=True"),
                           flag("R", "Choroba podlega obowiązkowi rejestracji", 90, "R=True"),
                           flag("Z", "Choroba podlega obowiązkowi zwalczania", 90, "Z=True"),
                           flag("N", "Choroba podlega obowiązkowi notyfikacji w UE", 90, "N=True"),
                           flag("Ukr", "Ukrywać?", 60, "Ukr=True")},
                          true};
    tabs << DictionaryTab{QStringLiteral("Tab_gat"), QStringLiteral("Gatunki zwierząt"),
                          QStringLiteral("XDBGrid5"), QStringLiteral("gat.db"),
                          {text("Gat", "Nazwa gatunku zwierzęcia", 400)}, true};
    tabs << DictionaryTab{QStringLiteral("Tab_jm"), QStringLiteral("Jednostki miary"), QStringLiteral("XDBGrid6"),
                          QStringLiteral("jm.db"),
                          {text("Jms", "Symbol", 100), text("Jm", "Nazwa jednostki miary", 400)}, true};
    tabs << DictionaryTab{QStringLiteral("Tab_cz"), QStringLiteral("Czynności"), QStringLiteral("XDBGrid7"),
                          QStringLiteral("cz.db"),
                          {text("Cz", "Określenie czynności", 600), flag("Ukr", "Ukrywać?", 60)}, true};
    tabs.last().columns.last().filter = hidden;
    tabs << DictionaryTab{QStringLiteral("Tab_bd"), QStringLiteral("Badania diagostyczne ..."),
                          QStringLiteral("XDBGrid8"), QStringLiteral("bd.db"),
                          {text("Bd", "Nazwa badania", 600)}, true, false, ImportKind::DiagnosticTests};
    tabs << DictionaryTab{QStringLiteral("Tab_bp"), QStringLiteral("Badania pozostałości ..."),
                          QStringLiteral("XDBGrid9"), QStringLiteral("bp.db"),
                          {text("Bp", "Nazwa badania", 600)}, true, false, ImportKind::ResidueTests};
    tabs << DictionaryTab{QStringLiteral("Tab_Zak"), QStringLiteral("Zakupy"), QStringLiteral("XDBGrid11"),
                          QStringLiteral("zak.db"),
                          {text("Zak", "Nazwa zakupionych materiałów, leków, etc.", 600)}, true, false,
                          ImportKind::Purchases};
    tabs << DictionaryTab{QStringLiteral("Tab_kontr"), QStringLiteral("Kontrahenci"), QStringLiteral("XDBGrid10"),
                          QStringLiteral("kontr.db"),
                          {text("Nazwa", "Nazwa kontrahenta", 250), text("Im_naz", "Nazwisko i imię", 160),
                           text("Ulica", "Ulica, nr budynku, nr lokalu", 180),
                           text("Miasto", "Kod pocztowy, miescowość", 160),
                           text("Ident", "Numer identyfikacyjny (np. NIP, numer weterynaryjny)", 160),
                           text("Konto", "Konto FK", 90), flag("Ukr", "Ukrywać?", 15)},
                          true, false, ImportKind::Contractors,
                          {{QStringLiteral("Adres"), {QStringLiteral("Ulica"), QStringLiteral("Miasto")}}}};
    tabs.last().columns.last().filter = hidden;
    tabs << DictionaryTab{QStringLiteral("Tab_ob"), QStringLiteral("Obszary ASF"), QStringLiteral("XDBGrid14"),
                          QStringLiteral("ob.db"), {text("Ob", "Obszar ASF", 500)}, true};
    tabs << DictionaryTab{QStringLiteral("Tab_jp"), QStringLiteral("Jednostki podległe"),
                          QStringLiteral("XDBGrid13"), QStringLiteral("jp.db"),
                          {text("Kod", "Kod", 60), text("Jp", "Nazwa jednostki", 500)}, false, true};
    tabs << DictionaryTab{QStringLiteral("Tab_prac"), QStringLiteral("Pracownie"), QStringLiteral("XDBGrid12"),
                          QStringLiteral("prac.db"), {text("Prac", "Nazwa pracowni", 500)}, true, true};
    return tabs;
}

} // namespace

const QVector<DictionaryTab> &dictionaryTabs()
{
    static const QVector<DictionaryTab> tabs = build();
    return tabs;
}

int tabIndex(const QString &object)
{
    const QVector<DictionaryTab> &tabs = dictionaryTabs();
    for (int i = 0; i < tabs.size(); ++i)
        if (tabs[i].object.compare(object, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

data::Table *dictionaryTable(data::TF_Dane &dane, const DictionaryTab &tab)
{
    for (data::Table *t : dane.sharedTables())
        if (t->tableName().compare(tab.file, Qt::CaseInsensitive) == 0)
            return t;
    return nullptr;
}

bool incrementalSearch(data::Table &table, QString &szukany, QChar key)
{
    if (table.editing())
        return false;
    if (key.unicode() < 32) {
        szukany.clear();
        return true;
    }
    szukany += key;
    data::quiet([&] { table.findNearest({szukany}); });
    return true;
}

bool toggleFilter(data::Table &table, const DictionaryColumn &column)
{
    if (column.filter.isEmpty())
        return false;
    data::quiet([&] {
        table.setFilter(column.filter);
        table.setFiltered(!table.filtered());
    });
    return true;
}

output::SheetResult exportDictionary(const output::SheetEnvironment &env, const DictionaryTab &tab,
                                     data::Table &table, const QVector<int> &pixelWidths)
{
    output::SheetDesign design;
    design.title = QStringLiteral("Słownik: ") + tab.caption;
    design.landscape = true;
    design.columns << output::SheetColumn{QStringLiteral("Lp")};
    for (int i = 0; i < tab.columns.size(); ++i)
        design.columns << output::SheetColumn{tab.columns[i].title, i < pixelWidths.size() ? pixelWidths[i] / 9 : 0.0};
    return output::SheetExport::run(env, design, [&](output::SheetExport &sheet) {
        if (table.isEmpty())
            return;
        table.first();
        for (;;) {
            QVector<QVariant> values;
            for (int f = 1; f < table.fieldCount(); ++f) {
                const QVariant v = table.value(f);
                if (v.isNull())
                    values << QVariant();
                else if (table.fieldDef(f).type == data::FieldType::Boolean)
                    values << QString::fromLatin1(v.toBool() ? "True" : "False");
                else
                    values << table.asString(table.fieldDef(f).name);
            }
            sheet.addRow(values);
            if (table.recNo() == table.recordCount() - 1)
                break;
            table.next();
        }
    });
}

} // namespace fenwa::dictionaries
