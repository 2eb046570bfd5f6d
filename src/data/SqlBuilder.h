#pragma once
// The SQL kit: quoting of identifiers, the dialect's table paths, the name of
// the Polish collation and a builder of statements assembled line by line.
//
// Statements the program writes to files (poz.txt and the like) keep their
// exact text: the builder only puts the given pieces on their usual lines,
// in the usual order, and adds nothing of its own but the clause keywords.
#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::data {

// Name of the collation that gives the Polish alphabetical order; every
// connection registers it, sorting statements and text columns name it.
inline constexpr QLatin1String kCollation{"PL"};

// An SQLite identifier in double quotes, inner quotes doubled: Nazwa -> "Nazwa".
QString quoteIdent(const QString &name);

// A table file as the dialect's SQL names it: folder + "\" + file, unquoted.
QString tablePath(const QString &folder, const QString &file);

// A statement of the dialect as lines: the select list, the FROM table, the
// joins, the WHERE condition, GROUP BY and ORDER BY, each on its own line,
// and further parts joined by UNION before the final ORDER BY.
//
//   SqlBuilder q(folder);
//   q.select("g.dok,p.opis").from("p_2016_2201.db", "AS p")
//    .join("g_2016_2201.db", "AS g", "g.Id = p.Dok").where("p.Dok=1").orderBy("dok");
//   q.lines() -> {"SELECT g.dok,p.opis", "FROM \"{folder}\\p_2016_2201.db\" AS p",
//                 "JOIN \"{folder}\\g_2016_2201.db\" AS g on g.Id = p.Dok",
//                 "WHERE p.Dok=1", "ORDER BY dok"}
class SqlBuilder {
public:
    explicit SqlBuilder(QString folder);

    // The folder's table in double quotes: "{folder}\file".
    QString table(const QString &file) const;

    // "SELECT list"; `keyword` keeps another spelling ("Select").
    SqlBuilder &select(const QString &list, const QString &keyword = QStringLiteral("SELECT"));
    // "FROM "{folder}\file" alias"; the alias with its own AS/as, or empty.
    SqlBuilder &from(const QString &file, const QString &alias = QString());
    // "kind "{folder}\file" alias on condition", kind "JOIN", "LEFT OUTER JOIN"...
    SqlBuilder &join(const QString &file, const QString &alias, const QString &condition,
                     const QString &kind = QStringLiteral("JOIN"));
    // The first condition makes "WHERE condition"; each further one is added with " AND ".
    SqlBuilder &where(const QString &condition);
    SqlBuilder &groupBy(const QString &terms);
    SqlBuilder &orderBy(const QString &terms);
    // A part joined by "UNION"; its own ORDER BY is not used.
    SqlBuilder &unite(const SqlBuilder &part);

    // The statement's lines: those of this part, then "UNION" and the lines of
    // each united part, then the ORDER BY line.
    QStringList lines() const;
    QString text() const { return lines().join(QLatin1Char('\n')); }

private:
    QStringList partLines() const;

    QString folder_;
    QString select_;
    QString from_;
    QStringList joins_;
    QString where_;
    QString groupBy_;
    QString orderBy_;
    QVector<SqlBuilder> parts_;
};

} // namespace fenwa::data
