#include "data/Checks.h"

#include "common/Numbers.h"
#include "data/EngineError.h"
#include "data/Schema.h"
#include "data/Statement.h"

#include <cmath>

namespace fenwa::data {

namespace {

const QString askTail = QStringLiteral("\n Czy mimo to dodać taki zapis?");

QVariant recordId(const Table &t)
{
    if (t.state() != Dataset::State::Edit)
        return QVariant();
    return t.value(QStringLiteral("Id"));
}

// Refuses, asks or passes, as the duplicate check does once a row is found.
void onDuplicate(const QString &shownValue, bool ask, Messages &messages)
{
    const QString text = QStringLiteral("Pozycja \"%1\" już istnieje!").arg(shownValue);
    if (!ask) {
        messages.warning(text, QStringLiteral("Ostrzeżenie"));
        throw Abort{};
    }
    if (!messages.question(text + askTail, QStringLiteral("Pytanie")))
        throw Abort{};
}

bool anyRow(Database &db, const CheckStatement &st)
{
    // A query of its own, freed at the end of the check.
    Query q(&db, QStringLiteral("Q_Duplikat"));
    q.setSql({st.sql});
    for (const auto &[name, value] : st.params)
        q.setParam(name, value);
    q.open();
    const bool found = !q.isEmpty();
    q.close();
    return found;
}

void checkFields(Table &t, const QStringList &fields, bool ask, Messages &messages)
{
    QStringList values;
    bool allBlank = true;
    for (const QString &f : fields) {
        const QString v = t.isNull(f) ? QString() : t.asString(f);
        values << v;
        if (!isBlankText(v))
            allBlank = false;
    }
    if (allBlank)
        return;
    Database *db = t.database();
    if (!db)
        throw EngineError(QStringLiteral("%1: nie wskazano folderu danych.").arg(t.name()));
    const CheckStatement st = duplicateStatement(t, fields, values, recordId(t));
    if (anyRow(*db, st))
        onDuplicate(values.join(QStringLiteral(", ")), ask, messages);
}

long double amount(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return 0.0L;
    return static_cast<long double>(v.toDouble());
}

} // namespace

bool isBlankText(const QString &text) { return text.trimmed().isEmpty(); }

bool isBlankField(const Dataset &t, const QString &field)
{
    if (t.isNull(field))
        return true;
    const QVariant v = t.value(field);
    if (v.typeId() == QMetaType::QString)
        return isBlankText(v.toString());
    return false;
}

CheckStatement duplicateStatement(const Table &t, const QStringList &fields, const QStringList &values,
                                  const QVariant &id)
{
    const QString path = t.database() ? t.database()->path(t.tableName()) : t.tableName();
    CheckStatement st;
    QStringList shown, run;
    for (int i = 0; i < fields.size(); ++i) {
        const QString &f = fields[i];
        const QString v = i < values.size() ? values[i] : QString();
        shown << QStringLiteral("%1%2\"%3\"").arg(f, i == 0 ? QStringLiteral(" = ") : QStringLiteral("="), v);
        if (isBlankText(v)) {
            run << QStringLiteral("(%1 IS NULL OR length(trim(%1)) = 0)").arg(f);
        } else {
            const QString p = QStringLiteral(":v%1").arg(i + 1);
            run << QStringLiteral("%1 = %2").arg(f, p);
            st.params.push_back({p, v});
        }
    }
    st.shown = QStringLiteral("SELECT * FROM \"%1\" WHERE %2").arg(path, shown.join(QStringLiteral(" and ")));
    st.sql = QStringLiteral("SELECT * FROM \"%1\" WHERE %2").arg(path, run.join(QStringLiteral(" and ")));
    if (id.isValid() && !id.isNull()) {
        st.shown += QStringLiteral(" and id<>%1").arg(id.toString());
        st.sql += QStringLiteral(" and id<>:id");
        st.params.push_back({QStringLiteral(":id"), id});
    }
    return st;
}

void duplicateCheck(Table &t, const QString &field, bool ask, Messages &messages)
{
    checkFields(t, {field}, ask, messages);
}

void pairDuplicateCheck(Table &t, const QString &field1, const QString &field2, bool ask, Messages &messages)
{
    checkFields(t, {field1, field2}, ask, messages);
}

bool referenceScan(Database &db, Query &work, FileListView *view, const QString &mask, const QString &column,
                   const QVariant &id, QStringList *filesWithHits)
{
    const QStringList files = db.listFiles(mask);
    struct Hide {
        FileListView *view;
        ~Hide()
        {
            if (view)
                view->hideFiles();
        }
    } hide{view};
    if (view)
        view->showFiles(db.folder(), mask, files, QStringLiteral("Szukanie ..."));
    bool found = false;
    for (int i = 0; i < files.size(); ++i) {
        work.close();
        if (view)
            view->selectFile(i);
        bool hasColumn = false;
        for (const FieldDef &f : db.fields(files[i]))
            if (f.name.compare(column, Qt::CaseInsensitive) == 0)
                hasColumn = true;
        if (!hasColumn)
            continue;
        const QString sql = QStringLiteral("SELECT * FROM \"%1\" WHERE %2 = :id").arg(db.path(files[i]), column);
        bool hit = false;
        if (i + 1 < files.size()) {
            // Only whether a row refers to the record matters here: the
            // statement stops at the first row, and the work query is left
            // for the last file's rows.
            Statement st(db, db.translate(sql).sql, true);
            st.bindNamed({{QStringLiteral(":id"), id}});
            hit = st.step();
        } else {
            work.clearSql();
            work.addLine(sql);
            work.setParam(QStringLiteral(":id"), id);
            work.open();
            hit = !work.isEmpty();
        }
        if (hit) {
            found = true;
            if (filesWithHits)
                *filesWithHits << files[i];
        }
    }
    return found;
}

QString amountWarning(const QVariant &ilosc, const QVariant &cena, const QVariant &netto, const QVariant &podatki,
                      const QVariant &brutto)
{
    const long double il = amount(ilosc), ce = amount(cena), ne = amount(netto), po = amount(podatki),
                      br = amount(brutto);
    const long long s = R2Cents(ne + po);
    const long long p = R2Cents(il * ce);
    const long long b = R2Cents(br);
    auto money = [](long long c) { return formatAmount(static_cast<double>(static_cast<long double>(c) / 100.0L)); };
    QString text;
    if (std::llabs(p - b) >= 1)
        text += QStringLiteral("Niezgodność iloczynu: %1 x %2 = %3. Kwota brutto wynosi %4.\n")
                    .arg(formatAmount(double(il), 4), formatAmount(double(ce), 2), money(p), money(b));
    if (std::llabs(s - b) >= 1)
        text += QStringLiteral("Niezgodność sumy: %1 + %2 = %3. Kwota brutto wynosi %4.\n")
                    .arg(formatAmount(double(ne), 2), formatAmount(double(po), 2), money(s), money(b));
    return text;
}

} // namespace fenwa::data
