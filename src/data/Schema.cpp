#include "data/Schema.h"

#include "data/Database.h"
#include "data/SqlBuilder.h"

#include <QSet>

namespace fenwa::data::schema {

namespace {

FieldDef f(const char *name, FieldType type, int size = 0)
{
    FieldDef d;
    d.name = QString::fromLatin1(name);
    d.type = type;
    d.size = size;
    return d;
}
FieldDef id() { return f("Id", FieldType::AutoInc); }
FieldDef chr(const char *name, int size) { return f(name, FieldType::String, size); }
FieldDef integer(const char *name) { return f(name, FieldType::Integer); }
FieldDef flt(const char *name) { return f(name, FieldType::Float); }
FieldDef boolean(const char *name) { return f(name, FieldType::Boolean); }
FieldDef date(const char *name) { return f(name, FieldType::Date); }
FieldDef stamp(const char *name) { return f(name, FieldType::Timestamp); }

QVector<TableSpec> buildShared()
{
    using T = TableSpec;
    QVector<TableSpec> t;
    // The program reads these three but never defines them; sizes are ours
    // (Password holds a salted hash, see common/PasswordHash.h).
    t << T{QStringLiteral("passwd.db"),
           {id(), chr("Login", 40), chr("Password", 128), boolean("Admin"), boolean("Slowniki"),
            boolean("Browse"), boolean("Edit"), boolean("Arc"), boolean("Active"), date("D")},
           {}, true};
    t << T{QStringLiteral("wiw.db"),
           {chr("woj", 40), chr("Kod", 2), chr("Nazwa", 100), chr("ulica", 60), chr("Miasto", 60)},
           {}, false};
    t << T{QStringLiteral("piw.db"),
           {chr("Kod", 4), chr("powiat", 40), chr("Nazwa", 100), chr("ulica", 60), chr("Miasto", 60)},
           {}, false};
    t << T{QStringLiteral("jp.db"), {id(), chr("Kod", 4), chr("Jp", 100)}, {}, true};
    t << T{QStringLiteral("rozdz.db"), {id(), chr("Rozdz", 10), chr("Opis", 100)},
           {QStringLiteral("Rozdz"), QStringLiteral("Opis")}, true};
    t << T{QStringLiteral("par.db"), {id(), chr("Par", 10), chr("Dod", 2), chr("Opis", 255)},
           {QStringLiteral("Par"), QStringLiteral("Dod"), QStringLiteral("Opis")}, true};
    t << T{QStringLiteral("zf.db"), {id(), chr("zf", 150), integer("Rok")},
           {QStringLiteral("zf"), QStringLiteral("Rok")}, true};
    t << T{QStringLiteral("ch.db"),
           {id(), integer("Kol"), chr("Ch", 100), chr("ChEn", 100), boolean("M"), boolean("R"),
            boolean("Z"), boolean("N"), boolean("Ukr")},
           {QStringLiteral("Kol"), QStringLiteral("Ch"), QStringLiteral("ChEn")}, true};
    t << T{QStringLiteral("gat.db"), {id(), chr("Gat", 40)}, {QStringLiteral("Gat")}, true};
    t << T{QStringLiteral("jm.db"), {id(), chr("Jms", 10), chr("Jm", 40)},
           {QStringLiteral("Jms"), QStringLiteral("Jm")}, true};
    t << T{QStringLiteral("kontr.db"),
           {id(), chr("Nazwa", 60), chr("Im_naz", 60), chr("Ulica", 30), chr("Miasto", 30),
            chr("Ident", 30), chr("Konto", 30), boolean("Ukr")},
           {QStringLiteral("Nazwa"), QStringLiteral("Im_naz"), QStringLiteral("Ulica"),
            QStringLiteral("Miasto"), QStringLiteral("Ident"), QStringLiteral("Konto")},
           true};
    t << T{QStringLiteral("bd.db"), {id(), chr("Bd", 150)}, {QStringLiteral("Bd")}, true};
    t << T{QStringLiteral("bp.db"), {id(), chr("Bp", 150)}, {QStringLiteral("Bp")}, true};
    t << T{QStringLiteral("cz.db"), {id(), chr("Cz", 150), boolean("Ukr")}, {QStringLiteral("Cz")}, true};
    t << T{QStringLiteral("zak.db"), {id(), chr("Zak", 150)}, {QStringLiteral("Zak")}, true};
    t << T{QStringLiteral("prac.db"), {id(), chr("Prac", 100)}, {QStringLiteral("Prac")}, true};
    t << T{QStringLiteral("ob.db"), {id(), chr("ob", 150)}, {}, true};
    return t;
}

} // namespace

QString declaredType(const FieldDef &d)
{
    switch (d.type) {
    case FieldType::AutoInc: return QStringLiteral("AUTOINC");
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::Float: return QStringLiteral("FLOAT");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Timestamp: return QStringLiteral("TIMESTAMP");
    case FieldType::String: return QStringLiteral("CHAR(%1)").arg(d.size);
    case FieldType::Unknown: break;
    }
    return QStringLiteral("CHAR(255)");
}

const QVector<TableSpec> &sharedTables()
{
    static const QVector<TableSpec> tables = buildShared();
    return tables;
}

const TableSpec *find(const QString &file)
{
    QString name = file;
    if (!name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        name += QStringLiteral(".db");
    for (const auto &t : sharedTables())
        if (t.file.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList createStatement(const QString &folder, const TableSpec &table)
{
    QStringList cols;
    for (const auto &d : table.fields)
        cols << d.name + QLatin1Char(' ') + declaredType(d);
    QString body = cols.join(QLatin1Char(','));
    if (table.hasKey)
        body += QStringLiteral(",\nPRIMARY KEY (Id)");
    return {QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(tablePath(folder, table.file), body)};
}

void createIndexes(Database &db, const TableSpec &table)
{
    for (const QString &field : table.indexes)
        db.addIndex(table.file, field);
}

const TableSpec &groupsTable()
{
    static const TableSpec t{QStringLiteral("g_0000_0000.db"),
                             {id(), chr("Dok", 40), integer("Rozdz"), integer("Par"), chr("Opis", 160),
                              integer("Rok"), integer("Mc"), boolean("Zk"), stamp("T_Ins"), stamp("T_Mod"),
                              integer("O_Ins"), integer("O_Mod")},
                             {}, true};
    return t;
}

const TableSpec &positionsTable()
{
    static const TableSpec t{QStringLiteral("p_0000_0000.db"),
                             {id(), integer("Dok"), integer("Cz"), integer("Bd"), integer("Bp"),
                              integer("zak"), integer("kontr"), integer("prac"), integer("zf"),
                              integer("ch"), integer("gat"), integer("jm"), flt("ilosc"), flt("cena"),
                              flt("netto"), flt("podatki"), flt("BRUTTO"), boolean("wyd"),
                              boolean("Kosz"), boolean("DOT"), integer("ob"), chr("Opis", 160),
                              date("Data"), chr("PKS", 20), chr("FAK", 30), stamp("T_Ins"),
                              stamp("T_Mod"), integer("O_Ins"), integer("O_Mod")},
                             {}, true};
    return t;
}

QStringList createGroups(const QString &folder, const QString &suffix)
{
    return {
        QStringLiteral("CREATE TABLE \"%1\"").arg(tablePath(folder, QStringLiteral("g") + suffix)),
        QStringLiteral("(Id AUTOINC,Dok CHAR(40),Rozdz INTEGER,Par INTEGER,Opis CHAR(160),Rok INTEGER,"
                       "Mc INTEGER,Zk Boolean,T_Ins TIMESTAMP,T_Mod TIMESTAMP,O_Ins INTEGER,O_Mod Integer,"),
        QStringLiteral("PRIMARY KEY (Id))"),
    };
}

QStringList createPositions(const QString &folder, const QString &suffix)
{
    return {
        QStringLiteral("CREATE TABLE \"%1\"").arg(tablePath(folder, QStringLiteral("p") + suffix)),
        QStringLiteral("(Id AUTOINC,Dok INTEGER,Cz INTEGER,Bd INTEGER,Bp INTEGER,zak INTEGER,kontr INTEGER,"
                       "prac INTEGER,zf INTEGER,ch INTEGER,gat INTEGER,jm INTEGER,"),
        QStringLiteral("ilosc FLOAT,cena FLOAT,netto FLOAT, podatki FLOAT, BRUTTO FLOAT,wyd BOOLEAN,"
                       "Kosz BOOLEAN,DOT BOOLEAN,ob INTEGER,"),
        QStringLiteral("Opis CHAR(160),Data DATE,PKS CHAR(20),FAK CHAR(30),"),
        QStringLiteral("T_Ins TIMESTAMP,T_Mod TIMESTAMP,O_Ins INTEGER,O_Mod Integer,"),
        QStringLiteral("PRIMARY KEY (Id))"),
    };
}

QStringList upgradePositions(const QString &folder, const QString &suffix)
{
    return {QStringLiteral("ALTER TABLE \"%1\"").arg(tablePath(folder, QStringLiteral("p") + suffix)),
            QStringLiteral("ADD Ob INTEGER")};
}

bool positionsHaveOb(const Database &db, const QString &suffix)
{
    for (const FieldDef &f : db.fields(QStringLiteral("p") + suffix))
        if (f.name.compare(QLatin1String("ob"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QStringList registerIndexFields(const QString &file)
{
    if (file.startsWith(QLatin1Char('p'), Qt::CaseInsensitive))
        return {QStringLiteral("Dok"), QStringLiteral("Cz"), QStringLiteral("Bd"), QStringLiteral("Bp"),
                QStringLiteral("zak"), QStringLiteral("kontr"), QStringLiteral("prac"), QStringLiteral("zf"),
                QStringLiteral("ch"), QStringLiteral("gat"), QStringLiteral("jm"), QStringLiteral("ob"),
                QStringLiteral("Data"), QStringLiteral("Pks"), QStringLiteral("Fak"), QStringLiteral("Opis"),
                QStringLiteral("netto"), QStringLiteral("podatki"), QStringLiteral("brutto")};
    return {QStringLiteral("Dok"), QStringLiteral("Rozdz"), QStringLiteral("Par"), QStringLiteral("Mc")};
}

namespace {
QString quoted(QString name) { return QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'); }
QString registerIndexName(const QString &table, const QString &field) { return table + QLatin1Char('.') + field; }
} // namespace

QStringList missingRegisterIndexes(const Database &db, const QString &file)
{
    const QString table = SqlDialect::tableName(file);
    QSet<QString> present;
    for (const QString &index : db.indexNames(file))
        present.insert(index.toLower());
    QSet<QString> indexed;
    for (const QString &field : registerIndexFields(file))
        if (!present.contains(registerIndexName(table, field).toLower()))
            indexed.insert(field.toLower());
    QStringList missing;
    if (indexed.isEmpty())
        return missing;
    for (const FieldDef &f : db.fields(file))
        if (indexed.contains(f.name.toLower()))
            missing << f.name;
    return missing;
}

void createRegisterIndexes(Database &db, const QString &file)
{
    const QString table = SqlDialect::tableName(file);
    for (const QString &field : missingRegisterIndexes(db, file))
        db.execNative(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                          .arg(quoted(registerIndexName(table, field)), quoted(table), quoted(field)));
}

} // namespace fenwa::data::schema
