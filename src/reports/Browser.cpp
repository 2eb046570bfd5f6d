#include "reports/Browser.h"

#include "common/CodePage.h"
#include "common/Numbers.h"
#include "data/SqlBuilder.h"

#include <QRegularExpression>
#include <QSaveFile>

namespace fenwa::reports {

QVector<BrowserColumn> browserColumns(bool voivodeship)
{
    auto c = [](const char *title, const char *field, int width = 0) {
        return BrowserColumn{QString::fromUtf8(title), QString::fromLatin1(field), width};
    };
    auto check = [](const char *title, const char *field, bool centred) {
        return BrowserColumn{QString::fromUtf8(title), QString::fromLatin1(field), 20, true, centred};
    };
    QVector<BrowserColumn> columns = {
        c("Data", "data", 80),
        c("Symbol grupy dokumentów", "Dok", 110),
        c("Rozdział", "Rozdz", 60),
        c("Paragraf", "par", 60),
        c("opis", "pOpis", 160),
        c("Kontrahent", "Kontr", 160),
        c("Źródło finansowania", "Zf", 90),
        c("Choroba", "Ch", 90),
        c("Gatunek zwierzęcia", "gat", 90),
        c("Czynność", "Cz", 90),
        c("Opis pozycji", "Opis", 200),
        c("Pozycja księgowa", "pks", 80),
        c("Numer dokumentu źródłowego", "fak", 100),
        c("Ilość", "ilosc", 60),
        c("Jednostka miary", "jm", 60),
        c("Cena jednostkowa brutto", "cena", 90),
        c("netto", "netto", 128),
        c("zobowiązania publiczno- prawne", "podatki", 128),
        c("brutto", "brutto", 128),
        check("Wydatki", "Wyd", true),
        check("Koszty", "kosz", false),
        check("Dotyczy roku bieżącego", "dot", false),
        c("Badanie diagnostyczne", "bd", 90),
        c("Badanie pozostałości", "bp", 90),
        c("Zakup", "zak", 90),
        c("Obszar ASF", "ob", 90),
    };
    if (voivodeship)
        columns << c("Pracownia", "prac", 60);
    return columns;
}

QStringList browserStatement(const QString &fd, const QString &suffix, int year, bool voivodeship, BrowserText text)
{
    const QString common = QStringLiteral(
        "SELECT p.id,g.dok,rozdz.rozdz,par.par,par.opis popis,zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,cz.cz,p.opis,"
        "p.data,p.pks,p.fak,p.ilosc,jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,p.kosz,p.dot,bd.bd,bp.bp,zak.zak,");
    QStringList lines{common + (voivodeship ? QStringLiteral("prac.prac,ob.ob") : QStringLiteral("ob.ob"))};
    auto table = [&](const QString &name) { return data::tablePath(fd, name); };
    lines << QStringLiteral("FROM \"%1\" AS p").arg(table(u'p' + suffix))
          << QStringLiteral("JOIN \"%1\" AS g on g.id=p.dok").arg(table(u'g' + suffix));
    enum Join { Inner, Position, Outer };   // Position: inner as written, left outer as executed
    const struct {
        const char *name;
        const char *on;
        Join join;
    } joins[] = {{"rozdz", "g.rozdz", Inner}, {"par", "g.par", Inner},      {"zf", "p.zf", Position},
                 {"jm", "p.jm", Position},    {"ch", "p.ch", Outer},        {"gat", "p.gat", Outer},
                 {"cz", "p.cz", Position},    {"kontr", "p.kontr", Position}, {"bd", "p.bd", Outer},
                 {"bp", "p.bp", Outer},       {"zak", "p.zak", Outer},      {"prac", "p.prac", Outer},
                 {"ob", "p.ob", Outer}};
    for (const auto &j : joins) {
        const QString name = QString::fromLatin1(j.name);
        const QString kind = j.join == Outer ? QStringLiteral("FULL OUTER JOIN")
                             : j.join == Position && text == BrowserText::Executed ? QStringLiteral("LEFT OUTER JOIN")
                                                                                   : QStringLiteral("JOIN");
        lines << QStringLiteral("%1 \"%2\" as %3 on %3.id=%4")
                     .arg(kind, table(name + QStringLiteral(".db")), name, QString::fromLatin1(j.on));
    }
    lines << QStringLiteral("WHERE p.data BETWEEN %1 AND %2")
                 .arg(sqlDateLiteral(QDate(year, 1, 1)), sqlDateLiteral(QDate(year, 12, 31)))
          << QStringLiteral("ORDER BY id");
    return lines;
}

QStringList orderedStatement(QStringList lines, const QString &field)
{
    if (!lines.isEmpty())
        lines.last() = QStringLiteral("ORDER BY ") + field;
    return lines;
}

void BrowserFilters::resize(int columns)
{
    expressions_.resize(columns);
    descriptions_.resize(columns);
}

void BrowserFilters::set(int column, const QString &expression, const QString &description)
{
    if (column < 0 || column >= expressions_.size())
        return;
    expressions_[column] = expression;
    descriptions_[column] = description;
}

void BrowserFilters::setText(int column, const QString &field, const QString &value)
{
    set(column, field + QStringLiteral("= ") + data::Filter::quoteText(value), value);
}

void BrowserFilters::setBool(int column, const QString &field, bool value)
{
    const QString word = value ? QStringLiteral("True") : QStringLiteral("False");
    set(column, field + u'=' + word, word);
}

void BrowserFilters::setDates(int column, const QString &field, const QDate &low, const QDate &high)
{
    const QString from = shortDate(low), to = shortDate(high);
    set(column, field + QStringLiteral(">=") + from + QStringLiteral(" AND ") + field + QStringLiteral("<=") + to,
        from + QStringLiteral(" - ") + to);
}

bool BrowserFilters::setReal(int column, const QString &field, const QString &low, const QString &high,
                             QString *error)
{
    double from = 0, to = 0;
    for (const auto &[text, value] : {std::pair{low, &from}, std::pair{high, &to}}) {
        if (!parseNumber(text.trimmed(), value)) {
            *error = QStringLiteral("„%1” nie jest poprawną liczbą.").arg(text);
            return false;
        }
    }
    // The filter reads a plain number with a decimal point.
    auto plain = [](double v) { return QString::number(v, 'f', 6).remove(QRegularExpression(QStringLiteral("\\.?0+$"))); };
    set(column, field + QStringLiteral(">=") + plain(from) + QStringLiteral(" AND ") + field + QStringLiteral("<=") + plain(to),
        low.trimmed() + QStringLiteral(" - ") + high.trimmed());
    return true;
}

void BrowserFilters::remove(int column) { set(column, QString(), QString()); }

void BrowserFilters::clear()
{
    for (int c = 0; c < expressions_.size(); ++c)
        remove(c);
}

QString BrowserFilters::filtr() const
{
    QStringList parts;
    for (const QString &e : expressions_)
        if (!e.isEmpty())
            parts << e;
    return parts.join(QStringLiteral(" and "));
}

void applyFilter(data::Dataset &result, const QString &filtr)
{
    result.setFilter(filtr);
    result.setFiltered(!filtr.isEmpty());
}

BrowserTotals browserTotals(const data::Dataset &result)
{
    BrowserTotals t;
    t.rows = result.recordCount();
    const int netto = result.fieldIndex(QStringLiteral("netto"));
    const int podatki = result.fieldIndex(QStringLiteral("podatki"));
    const int brutto = result.fieldIndex(QStringLiteral("brutto"));
    for (int r = 0; r < t.rows; ++r) {
        t.netto += result.valueAt(r, netto).toDouble();
        t.podatki += result.valueAt(r, podatki).toDouble();
        t.brutto += result.valueAt(r, brutto).toDouble();
    }
    t.netto = R2(t.netto);
    t.podatki = R2(t.podatki);
    t.brutto = R2(t.brutto);
    return t;
}

bool incrementalSearch(data::Dataset &result, const QString &field, QString &szukany, QChar key)
{
    if (key.unicode() < 32) {
        szukany.clear();
        return false;
    }
    szukany += key;
    const int f = result.fieldIndex(field);
    if (field.isEmpty() || f < 0)
        return false;
    for (int r = 0; r < result.recordCount(); ++r) {
        if (result.displayText(r, f).startsWith(szukany, Qt::CaseInsensitive)) {
            result.moveTo(r);
            return true;
        }
    }
    return false;
}

namespace {

// The field in double quotes, inner quotes doubled; characters Windows-1250
// lacks become "?" and are counted.
QByteArray csvField(const QString &text, int *replaced)
{
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    bool complete = true;
    QByteArray bytes = encode(CodePage::Windows1250, quoted, &complete);
    if (!complete) {
        bytes.clear();
        for (const uint cp : quoted.toUcs4()) {
            const QString one = QString::fromUcs4(reinterpret_cast<const char32_t *>(&cp), 1);
            bool ok = true;
            const QByteArray b = encode(CodePage::Windows1250, one, &ok);
            if (ok) {
                bytes += b;
            } else {
                bytes += '?';
                ++*replaced;
            }
        }
    }
    return '"' + bytes + '"';
}

} // namespace

bool writeCsv(const QString &path, data::Dataset &result, const QVector<BrowserColumn> &columns, int *replaced,
              QString *error)
{
    *replaced = 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    auto line = [&](const auto &text) {
        QByteArray out;
        for (int c = 0; c < columns.size(); ++c) {
            if (c)
                out += ',';
            out += csvField(text(columns[c]), replaced);
        }
        out += "\r\n";
        file.write(out);
    };
    line([](const BrowserColumn &c) { return c.title; });
    for (result.first(); !result.eof(); result.next())
        line([&](const BrowserColumn &c) { return result.asString(c.field); });
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString replacedCharactersText(int count)
{
    return QStringLiteral("Znaków, których nie obejmuje strona kodowa Windows-1250, zastąpionych znakiem „?”: %1.")
        .arg(count);
}

} // namespace fenwa::reports
