#include "data/SqlDialect.h"

#include <QDir>

#include "data/EngineError.h"
#include "data/SqlBuilder.h"

#include <QDate>
#include <QRegularExpression>

#include <vector>

namespace fenwa::data {

namespace {

enum class Kind { Word, Number, String, Quoted, Param, Op };

struct Token {
    Kind kind = Kind::Op;
    QString text;   // as it goes out (for Quoted: the unquoted content)
    QString space;  // white space before the token, kept as written
    int pos = 0;    // position in the statement (1-based, for messages)

    bool isWord(const char *upper) const
    {
        return kind == Kind::Word && text.compare(QLatin1String(upper), Qt::CaseInsensitive) == 0;
    }
    bool isOp(const char *op) const { return kind == Kind::Op && text == QLatin1String(op); }
};

using Tokens = std::vector<Token>;

[[noreturn]] void syntaxError(const QString &what)
{
    throw EngineError(QStringLiteral("Błąd składni SQL: %1").arg(what));
}

bool isIdentStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

Tokens tokenize(const QString &s)
{
    Tokens out;
    QString space;
    const int n = s.size();
    int i = 0;
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            space += c;
            ++i;
            continue;
        }
        if (c == u'-' && i + 1 < n && s.at(i + 1) == u'-') {
            while (i < n && s.at(i) != u'\n')
                ++i;
            space += u' ';
            continue;
        }
        if (c == u'/' && i + 1 < n && s.at(i + 1) == u'*') {
            const int end = s.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0)
                syntaxError(QStringLiteral("niezamknięty komentarz (znak %1).").arg(i + 1));
            i = end + 2;
            space += u' ';
            continue;
        }
        Token t;
        t.pos = i + 1;
        t.space = space;
        space.clear();
        if (c == u'\'' || c == u'"') {
            // '' inside '...' and "" inside "..." stand for the quote itself.
            QString content;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s.at(j) == c) {
                    if (j + 1 < n && s.at(j + 1) == c) {
                        content += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                content += s.at(j++);
            }
            if (!closed)
                syntaxError(QStringLiteral("niezamknięty cudzysłów (znak %1).").arg(i + 1));
            if (c == u'\'') {
                t.kind = Kind::String;
                t.text = s.mid(i, j + 1 - i);
            } else {
                t.kind = Kind::Quoted;
                t.text = content;
            }
            i = j + 1;
        } else if (isIdentStart(c)) {
            int j = i + 1;
            while (j < n && isIdentChar(s.at(j)))
                ++j;
            t.kind = Kind::Word;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && (s.at(j).isDigit() || s.at(j) == u'.'))
                ++j;
            if (j < n && (s.at(j) == u'e' || s.at(j) == u'E')) {
                int k = j + 1;
                if (k < n && (s.at(k) == u'+' || s.at(k) == u'-'))
                    ++k;
                if (k < n && s.at(k).isDigit()) {
                    while (k < n && s.at(k).isDigit())
                        ++k;
                    j = k;
                }
            }
            t.kind = Kind::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if ((c == u':' || c == u'@' || c == u'$') && i + 1 < n && isIdentStart(s.at(i + 1))) {
            int j = i + 1;
            while (j < n && isIdentChar(s.at(j)))
                ++j;
            t.kind = Kind::Param;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == u'?') {
            int j = i + 1;
            while (j < n && s.at(j).isDigit())
                ++j;
            t.kind = Kind::Param;
            t.text = s.mid(i, j - i);
            i = j;
        } else {
            static const char *const twoChar[] = {"||", "<>", "<=", ">=", "!=", "==", "<<", ">>"};
            t.kind = Kind::Op;
            t.text = c;
            for (const char *op : twoChar) {
                if (s.mid(i, 2) == QLatin1String(op)) {
                    t.text = QLatin1String(op);
                    break;
                }
            }
            i += t.text.size();
        }
        out.push_back(t);
    }
    int depth = 0;
    for (const Token &t : out) {
        if (t.isOp("("))
            ++depth;
        else if (t.isOp(")") && --depth < 0)
            syntaxError(QStringLiteral("nawias zamykający bez otwierającego (znak %1).").arg(t.pos));
    }
    if (depth > 0)
        syntaxError(QStringLiteral("niezamknięty nawias."));
    return out;
}

QString render(const Tokens &tokens, int from = 0, int to = -1)
{
    if (to < 0)
        to = int(tokens.size());
    QString out;
    for (int i = from; i < to; ++i) {
        out += (i == from ? QString() : tokens[i].space);
        out += tokens[i].text;
    }
    return out;
}

QString quoteString(const QString &text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

// "MM/DD/YYYY" -> 'YYYY-MM-DD'; other text stays text.
QString literalOf(const QString &content)
{
    static const QRegularExpression dateRe(QStringLiteral("^(\\d\\d)/(\\d\\d)/(\\d\\d\\d\\d)$"));
    const auto m = dateRe.match(content);
    if (m.hasMatch()) {
        const QDate d(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
        if (d.isValid())
            return quoteString(d.toString(QStringLiteral("yyyy-MM-dd")));
    }
    return quoteString(content);
}

bool isTablePosition(const Tokens &t, int i)
{
    if (i == 0)
        return false;
    const Token &p = t[i - 1];
    return p.isWord("FROM") || p.isWord("JOIN") || p.isWord("INTO") || p.isWord("UPDATE")
           || p.isWord("TABLE");
}

// Words that end a select item without being its alias.
bool isReservedTail(const Token &t)
{
    static const char *const words[] = {"END", "NULL", "AND", "OR", "NOT", "DISTINCT", "ALL",
                                        "FROM", "SELECT", "AS", "CASE", "THEN", "ELSE", "WHEN"};
    for (const char *w : words)
        if (t.isWord(w))
            return true;
    return false;
}

bool isDirectionWord(const Token &t)
{
    return t.isWord("ASC") || t.isWord("DESC") || t.isWord("NULLS") || t.isWord("FIRST")
           || t.isWord("LAST");
}

// Keywords that can stand where a bare column name could in a condition.
bool isConditionKeyword(const Token &t)
{
    static const char *const words[] = {"AND", "OR", "NOT", "BETWEEN", "IS", "NULL", "IN", "LIKE",
                                        "ESCAPE", "EXISTS", "CASE", "WHEN", "THEN", "ELSE", "END",
                                        "COLLATE", "GLOB", "SELECT", "FROM", "WHERE"};
    for (const char *w : words)
        if (t.isWord(w))
            return true;
    return false;
}

class Translator {
public:
    Translator(const QString &folder, const QString &statement, const SqlDialect::ColumnsOf &columns)
        : folder_(folder), statement_(statement), columns_(columns) {}

    TranslatedSql run()
    {
        tokens_ = tokenize(statement_);
        // A final semicolon is dropped: one statement is run at a time.
        while (!tokens_.empty() && tokens_.back().isOp(";"))
            tokens_.pop_back();
        if (tokens_.empty())
            throw EngineError(QStringLiteral("Puste polecenie SQL."));
        for (const Token &t : tokens_)
            if (t.isOp(";"))
                syntaxError(QStringLiteral("kilka poleceń w jednym tekście (znak %1).").arg(t.pos));

        TranslatedSql out;
        if (tokens_[0].isWord("CREATE") && tokens_.size() > 1 && tokens_[1].isWord("TABLE")) {
            out.sql = createTable();
        } else if (tokens_[0].isWord("ALTER") && tokens_.size() > 1 && tokens_[1].isWord("TABLE")) {
            out.sql = alterTable();
        } else {
            convertLiterals(0, int(tokens_.size()));
            qualifyAmbiguousColumns();
            narrowFullJoins();
            addOrderCollations();
            out.sql = render(tokens_);
            for (const Token &t : tokens_) {
                if (t.isOp("("))
                    continue;
                out.isSelect = t.isWord("SELECT") || t.isWord("WITH") || t.isWord("VALUES");
                break;
            }
        }
        out.tables = tables_;
        return out;
    }

private:
    QString folder_;
    QString statement_;
    const SqlDialect::ColumnsOf &columns_;
    Tokens tokens_;
    QStringList tables_;

    // A bare column name in the WHERE clause of a join that more than one of
    // the joined tables holds ("jm" of the positions and of jm.db) means the
    // column of the first of them, in FROM order; SQLite would refuse it as
    // ambiguous. Needs the tables' columns; without them nothing changes.
    void qualifyAmbiguousColumns()
    {
        if (!columns_)
            return;
        const std::vector<int> d = depths();
        const int n = int(tokens_.size());
        struct Source {
            QString table;  // SQL name, unquoted
            QString alias;  // as written, or the table's name
        };
        std::vector<Source> sources;
        int where = -1, whereEnd = n;
        for (int i = 0; i < n; ++i) {
            if (d[i] != 0)
                continue;
            const Token &t = tokens_[i];
            if (t.isWord("UNION") || t.isWord("INTERSECT") || t.isWord("EXCEPT"))
                return;   // several selects: leave the statement as written
            if ((t.isWord("FROM") || t.isWord("JOIN")) && i + 1 < n && tokens_[i + 1].kind == Kind::String
                && tokens_[i + 1].text.startsWith(u'"')) {
                Source src;
                src.table = tokens_[i + 1].text.mid(1, tokens_[i + 1].text.size() - 2);
                src.alias = src.table;
                int a = i + 2;
                if (a < n && tokens_[a].isWord("AS"))
                    ++a;
                if (a < n && tokens_[a].kind == Kind::Word && !tokens_[a].isWord("ON")
                    && !tokens_[a].isWord("JOIN") && !tokens_[a].isWord("WHERE") && !tokens_[a].isWord("LEFT")
                    && !tokens_[a].isWord("RIGHT") && !tokens_[a].isWord("FULL") && !tokens_[a].isWord("INNER")
                    && !tokens_[a].isWord("OUTER") && !tokens_[a].isWord("CROSS") && !tokens_[a].isWord("GROUP")
                    && !tokens_[a].isWord("ORDER"))
                    src.alias = tokens_[a].text;
                sources.push_back(src);
            } else if (t.isWord("WHERE")) {
                where = i;
            } else if (where >= 0 && whereEnd == n
                       && (t.isWord("GROUP") || t.isWord("ORDER") || t.isWord("HAVING") || t.isWord("LIMIT"))) {
                whereEnd = i;
            }
        }
        if (where < 0 || sources.size() < 2)
            return;
        std::vector<QStringList> cols;
        for (const Source &src : sources)
            cols.push_back(columns_(src.table));
        for (int i = where + 1; i < whereEnd; ++i) {
            Token &t = tokens_[i];
            if (t.kind != Kind::Word || isConditionKeyword(t))
                continue;
            if ((i > 0 && tokens_[i - 1].isOp(".")) || (i + 1 < n && (tokens_[i + 1].isOp(".") || tokens_[i + 1].isOp("("))))
                continue;
            int first = -1, holders = 0;
            for (size_t k = 0; k < sources.size(); ++k) {
                if (cols[k].contains(t.text, Qt::CaseInsensitive)) {
                    if (first < 0)
                        first = int(k);
                    ++holders;
                }
            }
            if (holders > 1)
                t.text = sources[size_t(first)].alias + u'.' + t.text;
        }
    }

    // A FULL OUTER JOIN whose added rows the WHERE clause rejects becomes a
    // LEFT JOIN: the rows it adds for unmatched rows of the joined table have
    // every column of the tables before it NULL, so a condition the WHERE
    // clause must meet, comparing a column of one of those tables, drops
    // them. SQLite does not see this itself and reads the joined dictionaries
    // whole. The condition is the WHERE clause's first term and counts only
    // when the clause has no OR, NOT, IS or CASE outside parentheses (each of
    // those can let a NULL pass). Each select of a compound is looked at on
    // its own.
    void narrowFullJoins()
    {
        const std::vector<int> d = depths();
        const int n = int(tokens_.size());
        int start = 0;
        for (int i = 0; i <= n; ++i) {
            if (i == n || (d[i] == 0 && (tokens_[i].isWord("UNION") || tokens_[i].isWord("INTERSECT")
                                         || tokens_[i].isWord("EXCEPT")))) {
                narrowFullJoins(start, i, d);
                start = i + 1;
            }
        }
    }

    void narrowFullJoins(int from, int to, const std::vector<int> &d)
    {
        static const QStringList comparisons{QStringLiteral("="), QStringLiteral("=="), QStringLiteral("<"),
                                             QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">="),
                                             QStringLiteral("<>"), QStringLiteral("!=")};
        // Aliases of the tables in FROM order, and where each FULL join stands.
        QStringList aliases;
        std::vector<std::pair<int, int>> fullJoins;   // (token of FULL, tables before it)
        int where = -1, whereEnd = to;
        for (int i = from; i < to; ++i) {
            if (d[i] != 0)
                continue;
            const Token &t = tokens_[i];
            if (t.isWord("FULL"))
                fullJoins.emplace_back(i, int(aliases.size()));
            if (t.isWord("FROM") || t.isWord("JOIN")) {
                if (i + 1 >= to || tokens_[i + 1].isOp("("))
                    return;   // a subquery as a source: left as written
                QString table = tokens_[i + 1].text;
                if (table.startsWith(u'"'))
                    table = table.mid(1, table.size() - 2);
                QString alias = table;
                int a = i + 2;
                if (a < to && tokens_[a].isWord("AS"))
                    ++a;
                if (a < to && tokens_[a].kind == Kind::Word && !tokens_[a].isWord("ON") && !tokens_[a].isWord("JOIN")
                    && !tokens_[a].isWord("WHERE") && !tokens_[a].isWord("LEFT") && !tokens_[a].isWord("RIGHT")
                    && !tokens_[a].isWord("FULL") && !tokens_[a].isWord("INNER") && !tokens_[a].isWord("OUTER")
                    && !tokens_[a].isWord("CROSS") && !tokens_[a].isWord("GROUP") && !tokens_[a].isWord("ORDER"))
                    alias = tokens_[a].text;
                aliases << alias;
            } else if (t.isOp(",") && where < 0 && !aliases.isEmpty()) {
                return;   // tables listed with commas: left as written
            } else if (t.isWord("WHERE")) {
                where = i;
            } else if (where >= 0 && whereEnd == to
                       && (t.isWord("GROUP") || t.isWord("ORDER") || t.isWord("HAVING") || t.isWord("LIMIT"))) {
                whereEnd = i;
            }
        }
        if (fullJoins.empty() || where < 0 || where + 4 >= whereEnd)
            return;
        for (int i = where + 1; i < whereEnd; ++i) {
            const Token &t = tokens_[i];
            if (d[i] == d[where] && (t.isWord("OR") || t.isWord("NOT") || t.isWord("IS") || t.isWord("ISNULL")
                                     || t.isWord("NOTNULL") || t.isWord("CASE")))
                return;
        }
        const Token &qualifier = tokens_[where + 1], &op = tokens_[where + 4];
        if (qualifier.kind != Kind::Word || !tokens_[where + 2].isOp(".") || tokens_[where + 3].kind != Kind::Word)
            return;
        if (!((op.kind == Kind::Op && comparisons.contains(op.text)) || op.isWord("BETWEEN") || op.isWord("IN")
              || op.isWord("LIKE")))
            return;
        const int table = int(aliases.indexOf(QRegularExpression(
            QRegularExpression::anchoredPattern(QRegularExpression::escape(qualifier.text)),
            QRegularExpression::CaseInsensitiveOption)));
        if (table < 0)
            return;
        for (const auto &[at, before] : fullJoins)
            if (table < before)
                tokens_[at].text = QStringLiteral("LEFT");
    }

    // A table given by path (or bare file name) -> its quoted SQL name.
    QString tableRef(const QString &path)
    {
        const int sep = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
        if (sep >= 0) {
            const QString folderPart = path.left(sep);
            const bool same = !folder_.isEmpty()
                              && SqlDialect::normalizeFolder(folderPart)
                                         .compare(SqlDialect::normalizeFolder(folder_), Qt::CaseInsensitive)
                                     == 0;
            if (!same)
                throw EngineError(QStringLiteral("Tabela \"%1\" nie leży w folderze danych \"%2\".")
                                      .arg(path, folder_));
        }
        const QString name = SqlDialect::tableName(path);
        if (name.isEmpty())
            syntaxError(QStringLiteral("brak nazwy tabeli w \"%1\".").arg(path));
        if (!tables_.contains(name))
            tables_ << name;
        return quoteIdent(name);
    }

    // Tables by path, double-quoted text and dates, True and False.
    void convertLiterals(int from, int to)
    {
        for (int i = from; i < to; ++i) {
            Token &t = tokens_[i];
            if (t.kind == Kind::Quoted) {
                t.text = isTablePosition(tokens_, i) ? tableRef(t.text) : literalOf(t.text);
                t.kind = Kind::String;
            } else if (t.kind == Kind::Word && (t.isWord("TRUE") || t.isWord("FALSE"))) {
                const bool qualified = (i > 0 && tokens_[i - 1].isOp("."))
                                       || (i + 1 < int(tokens_.size()) && tokens_[i + 1].isOp("."));
                if (!qualified) {
                    t.text = t.isWord("TRUE") ? QStringLiteral("1") : QStringLiteral("0");
                    t.kind = Kind::Number;
                }
            } else if (t.kind == Kind::Word && isTablePosition(tokens_, i) && !t.isWord("SELECT")
                       && !(i + 1 < int(tokens_.size()) && tokens_[i + 1].isOp("."))) {
                // A table named without a path: still a table of the data folder.
                const QString name = SqlDialect::tableName(t.text);
                if (!tables_.contains(name))
                    tables_ << name;
            }
        }
    }

    std::vector<int> depths() const
    {
        std::vector<int> d(tokens_.size());
        int depth = 0;
        for (size_t i = 0; i < tokens_.size(); ++i) {
            if (tokens_[i].isOp(")"))
                --depth;
            d[i] = depth;
            if (tokens_[i].isOp("("))
                ++depth;
        }
        return d;
    }

    struct Item {
        QString name;  // result column name: alias, or the column of "x.col" / "col"
        QString expr;  // the item without spaces, lower case (for "x.col" terms)
    };

    // Result columns of the SELECT at token `sel` (depth d).
    std::vector<Item> selectItems(int sel, const std::vector<int> &d) const
    {
        std::vector<Item> items;
        const int depth = d[sel];
        int i = sel + 1;
        if (i < int(tokens_.size()) && (tokens_[i].isWord("DISTINCT") || tokens_[i].isWord("ALL")))
            ++i;
        int start = i;
        auto finish = [&](int s, int e) {
            Item it;
            const int n = e - s;
            int exprEnd = e;
            if (n >= 2 && tokens_[e - 1].kind == Kind::Word && tokens_[e - 2].isWord("AS")) {
                it.name = tokens_[e - 1].text;
                exprEnd = e - 2;
            } else if (n == 1 && tokens_[s].kind == Kind::Word) {
                it.name = tokens_[s].text;
            } else if (n == 3 && tokens_[s].kind == Kind::Word && tokens_[s + 1].isOp(".")
                       && tokens_[s + 2].kind == Kind::Word) {
                it.name = tokens_[s + 2].text;
            } else if (n >= 2 && tokens_[e - 1].kind == Kind::Word && !isReservedTail(tokens_[e - 1])) {
                const Token &prev = tokens_[e - 2];
                if (prev.kind == Kind::Word || prev.kind == Kind::Number || prev.kind == Kind::String
                    || prev.isOp(")")) {
                    it.name = tokens_[e - 1].text;
                    exprEnd = e - 1;
                }
            }
            for (int k = s; k < exprEnd; ++k)
                it.expr += tokens_[k].text.toLower();
            items.push_back(it);
        };
        for (; i < int(tokens_.size()); ++i) {
            if (d[i] < depth)
                break;
            if (d[i] == depth && (tokens_[i].isWord("FROM") || tokens_[i].isWord("WHERE")
                                  || tokens_[i].isWord("GROUP") || tokens_[i].isWord("ORDER")
                                  || tokens_[i].isWord("UNION") || tokens_[i].isWord("HAVING")))
                break;
            if (d[i] == depth && tokens_[i].isOp(",")) {
                finish(start, i);
                start = i + 1;
            }
        }
        finish(start, i);
        return items;
    }

    // ORDER BY terms get the Polish collation; a term naming a result column
    // becomes its ordinal, so "ORDER BY opis" over joined tables that both
    // have "opis" sorts by the listed column, as the program means it.
    void addOrderCollations()
    {
        const std::vector<int> d = depths();
        const int n = int(tokens_.size());
        for (int i = 0; i + 1 < n; ++i) {
            if (!tokens_[i].isWord("ORDER") || !tokens_[i + 1].isWord("BY"))
                continue;
            const int depth = d[i];
            // The first SELECT of this parenthesis level names the result columns.
            int groupStart = i;
            while (groupStart > 0 && !(tokens_[groupStart - 1].isOp("(") && d[groupStart - 1] < depth))
                --groupStart;
            int sel = -1;
            for (int k = groupStart; k < i; ++k)
                if (d[k] == depth && tokens_[k].isWord("SELECT")) {
                    sel = k;
                    break;
                }
            const std::vector<Item> items = sel >= 0 ? selectItems(sel, d) : std::vector<Item>{};
            // SQLite 3.40 loses rows of a UNION of grouped selects when the
            // compound's ORDER BY has a collation; the compound is sorted as a
            // subquery instead.
            bool compound = false;
            for (int k = groupStart; k < i && sel >= 0; ++k)
                if (d[k] == depth && (tokens_[k].isWord("UNION") || tokens_[k].isWord("INTERSECT")
                                      || tokens_[k].isWord("EXCEPT")))
                    compound = true;
            if (compound) {
                tokens_[groupStart].text.prepend(QStringLiteral("SELECT * FROM ("));
                tokens_[i].text.prepend(QStringLiteral(") "));
            }

            int start = i + 2;
            int k = start;
            auto term = [&](int s, int e) {
                if (s >= e)
                    syntaxError(QStringLiteral("pusty element ORDER BY (znak %1).").arg(tokens_[i].pos));
                int core = e;
                while (core > s && d[core - 1] == depth && isDirectionWord(tokens_[core - 1]))
                    --core;
                for (int m = s; m < core; ++m)
                    if (d[m] == depth && tokens_[m].isWord("COLLATE"))
                        return;
                if (core == s)
                    syntaxError(QStringLiteral("pusty element ORDER BY (znak %1).").arg(tokens_[i].pos));
                int ordinal = 0;
                if (core - s == 1 && tokens_[s].kind == Kind::Word) {
                    for (size_t m = 0; m < items.size() && !ordinal; ++m)
                        if (items[m].name.compare(tokens_[s].text, Qt::CaseInsensitive) == 0)
                            ordinal = int(m) + 1;
                } else if (core - s == 3 && tokens_[s].kind == Kind::Word && tokens_[s + 1].isOp(".")
                           && tokens_[s + 2].kind == Kind::Word) {
                    const QString expr = (tokens_[s].text + u'.' + tokens_[s + 2].text).toLower();
                    for (size_t m = 0; m < items.size() && !ordinal; ++m)
                        if (items[m].expr == expr)
                            ordinal = int(m) + 1;
                }
                if (ordinal) {
                    tokens_[s].text = QString::number(ordinal);
                    tokens_[s].kind = Kind::Number;
                    for (int m = s + 1; m < core; ++m) {
                        tokens_[m].text.clear();
                        tokens_[m].space.clear();
                    }
                }
                tokens_[core - 1].text += QStringLiteral(" COLLATE ") + kCollation;
            };
            for (; k < n; ++k) {
                if (d[k] < depth)
                    break;
                if (d[k] == depth && (tokens_[k].isWord("LIMIT") || tokens_[k].isWord("OFFSET")))
                    break;
                if (d[k] == depth && tokens_[k].isOp(",")) {
                    term(start, k);
                    start = k + 1;
                }
            }
            term(start, k);
            i = k - 1;
        }
    }

    QString tableName(int i)
    {
        if (i >= int(tokens_.size()))
            syntaxError(QStringLiteral("brak nazwy tabeli."));
        const Token &t = tokens_[i];
        if (t.kind == Kind::Quoted)
            return tableRef(t.text);
        if (t.kind == Kind::Word)
            return tableRef(t.text);
        syntaxError(QStringLiteral("oczekiwano nazwy tabeli (znak %1).").arg(t.pos));
    }

    QString columnName(const Token &t) const
    {
        if (t.kind == Kind::Word || t.kind == Kind::Quoted)
            return t.text;
        syntaxError(QStringLiteral("oczekiwano nazwy pola (znak %1).").arg(t.pos));
    }

    // One column definition [s, e): name, type, further constraints.
    QString columnDef(int s, int e, bool inAlter, QString *autoIncColumn)
    {
        const QString name = columnName(tokens_[s]);
        if (s + 1 >= e || tokens_[s + 1].kind != Kind::Word)
            syntaxError(QStringLiteral("brak typu pola %1.").arg(name));
        const QString type = tokens_[s + 1].text.toUpper();
        int k = s + 2;
        QStringList args;
        if (k < e && tokens_[k].isOp("(")) {
            ++k;
            while (k < e && !tokens_[k].isOp(")")) {
                if (tokens_[k].kind == Kind::Number)
                    args << tokens_[k].text;
                else if (!tokens_[k].isOp(","))
                    syntaxError(QStringLiteral("nieprawidłowy rozmiar pola %1.").arg(name));
                ++k;
            }
            if (k >= e)
                syntaxError(QStringLiteral("nieprawidłowy rozmiar pola %1.").arg(name));
            ++k;
        }
        QString out = quoteIdent(name) + u' ';
        if (type == QLatin1String("AUTOINC")) {
            if (inAlter)
                throw EngineError(QStringLiteral("Nie można dodać pola autonumerowanego %1 do istniejącej tabeli.")
                                      .arg(name));
            if (autoIncColumn && !autoIncColumn->isEmpty())
                throw EngineError(QStringLiteral("Tabela może mieć tylko jedno pole autonumerowane."));
            if (autoIncColumn)
                *autoIncColumn = name;
            out += QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        } else if ((type == QLatin1String("CHAR") || type == QLatin1String("VARCHAR")
                    || type == QLatin1String("CHARACTER") || type == QLatin1String("ALPHA"))
                   && args.size() == 1) {
            bool ok = false;
            const int size = args[0].toInt(&ok);
            if (!ok || size <= 0)
                syntaxError(QStringLiteral("nieprawidłowy rozmiar pola %1.").arg(name));
            out += QStringLiteral("CHAR(%1) CONSTRAINT %2 CHECK (length(%3) <= %1)")
                       .arg(size)
                       .arg(quoteIdent(SqlDialect::lengthConstraintName(name, size)), quoteIdent(name));
        } else {
            out += type;
            if (!args.isEmpty())
                out += u'(' + args.join(u',') + u')';
            const QString check = SqlDialect::typeConstraint(name, fieldFromDeclaredType(name, type).type);
            if (!check.isEmpty())
                out += u' ' + check;
        }
        if (k < e) {
            convertLiterals(k, e);
            out += u' ' + render(tokens_, k, e);
        }
        return out;
    }

    QString createTable()
    {
        int i = 2;
        const QString table = tableName(i);
        ++i;
        if (i >= int(tokens_.size()) || !tokens_[i].isOp("("))
            syntaxError(QStringLiteral("po nazwie tabeli oczekiwano listy pól."));
        const std::vector<int> d = depths();
        const int open = i;
        int close = open + 1;
        while (close < int(tokens_.size()) && !(tokens_[close].isOp(")") && d[close] == d[open]))
            ++close;
        if (close + 1 != int(tokens_.size()))
            syntaxError(QStringLiteral("nieoczekiwany tekst po liście pól (znak %1).")
                            .arg(tokens_[std::min(close + 1, int(tokens_.size()) - 1)].pos));

        QString autoInc;
        QStringList defs;
        QList<QStringList> primaryKeys;
        int start = open + 1;
        auto part = [&](int s, int e) {
            if (s >= e)
                syntaxError(QStringLiteral("pusty element listy pól."));
            if (tokens_[s].isWord("PRIMARY")) {
                if (s + 2 >= e || !tokens_[s + 1].isWord("KEY") || !tokens_[s + 2].isOp("("))
                    syntaxError(QStringLiteral("nieprawidłowy klucz główny."));
                QStringList cols;
                for (int k = s + 3; k < e && !tokens_[k].isOp(")"); ++k)
                    if (!tokens_[k].isOp(","))
                        cols << columnName(tokens_[k]);
                if (cols.isEmpty())
                    syntaxError(QStringLiteral("nieprawidłowy klucz główny."));
                primaryKeys << cols;
            } else if (tokens_[s].isWord("CONSTRAINT") || tokens_[s].isWord("UNIQUE")
                       || tokens_[s].isWord("CHECK") || tokens_[s].isWord("FOREIGN")) {
                convertLiterals(s, e);
                defs << render(tokens_, s, e);
            } else {
                defs << columnDef(s, e, false, &autoInc);
            }
        };
        for (int k = open + 1; k < close; ++k) {
            if (d[k] == d[open] + 1 && tokens_[k].isOp(",")) {
                part(start, k);
                start = k + 1;
            }
        }
        part(start, close);

        for (const QStringList &cols : primaryKeys) {
            if (!autoInc.isEmpty() && cols.size() == 1 && cols[0].compare(autoInc, Qt::CaseInsensitive) == 0)
                continue; // the autoincrement column is the key already
            QStringList quoted;
            for (const QString &c : cols)
                quoted << quoteIdent(c);
            // With an autoincrement column, SQLite's key is that column; another
            // declared key keeps its uniqueness.
            defs << (autoInc.isEmpty() ? QStringLiteral("PRIMARY KEY (%1)") : QStringLiteral("UNIQUE (%1)"))
                        .arg(quoted.join(QStringLiteral(", ")));
        }
        return QStringLiteral("CREATE TABLE %1 (%2)").arg(table, defs.join(QStringLiteral(", ")));
    }

    QString alterTable()
    {
        int i = 2;
        const QString table = tableName(i);
        ++i;
        const int n = int(tokens_.size());
        if (i >= n)
            syntaxError(QStringLiteral("niepełne polecenie ALTER TABLE."));
        if (tokens_[i].isWord("ADD")) {
            ++i;
            if (i < n && tokens_[i].isWord("COLUMN"))
                ++i;
            if (i >= n)
                syntaxError(QStringLiteral("brak definicji pola w ALTER TABLE."));
            // One column per statement: SQLite adds columns one at a time.
            const std::vector<int> d = depths();
            for (int k = i; k < n; ++k)
                if (d[k] == 0 && tokens_[k].isOp(","))
                    throw EngineError(QStringLiteral("Polecenie ALTER TABLE może dodać tylko jedno pole naraz."));
            return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table, columnDef(i, n, true, nullptr));
        }
        if (tokens_[i].isWord("DROP")) {
            ++i;
            if (i < n && tokens_[i].isWord("COLUMN"))
                ++i;
            if (i + 1 != n)
                syntaxError(QStringLiteral("nieprawidłowe polecenie ALTER TABLE … DROP."));
            return QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(table, quoteIdent(columnName(tokens_[i])));
        }
        convertLiterals(i, n);
        return QStringLiteral("ALTER TABLE %1 %2").arg(table, render(tokens_, i, n));
    }
};

} // namespace

SqlDialect::SqlDialect(const QString &dataFolder, SqlBackend backend) : folder_(dataFolder), backend_(backend) {}

void SqlDialect::setColumnsOf(ColumnsOf columns) { columns_ = std::move(columns); }

TranslatedSql SqlDialect::translate(const QString &statement) const
{
    return Translator(folder_, statement, columns_).run();
}

QString SqlDialect::tableName(const QString &fileOrPath)
{
    const int sep = std::max(fileOrPath.lastIndexOf(u'\\'), fileOrPath.lastIndexOf(u'/'));
    QString name = fileOrPath.mid(sep + 1).trimmed();
    if (name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        name.chop(3);
    return name.toLower();
}

QString SqlDialect::normalizeFolder(const QString &folder)
{
    QString f = folder.trimmed();
    f.replace(u'\\', u'/');
    // Runs of separators count as one (a leading pair, as in a network path, stays).
    const bool network = f.startsWith(QLatin1String("//"));
    while (f.contains(QLatin1String("//")))
        f.replace(QLatin1String("//"), QLatin1String("/"));
    if (network)
        f.prepend(u'/');
    else if (!f.isEmpty() && QDir::isRelativePath(f)
             && !(f.size() >= 2 && f.at(1) == u':' && f.at(0).isLetter()))   // "C:/..." is absolute
        f = QDir::cleanPath(QDir::current().absoluteFilePath(f));   // "demo" is the folder ./demo
    while (f.size() > 1 && f.endsWith(u'/'))
        f.chop(1);
    return f;
}

QString SqlDialect::lengthConstraintName(const QString &column, int size)
{
    return QStringLiteral("len:%1:%2").arg(column).arg(size);
}

namespace {
struct TypeCheck {
    FieldType type;
    const char *name;
    const char *condition;   // %1: the quoted column
};
constexpr TypeCheck typeChecks[] = {
    {FieldType::Integer, "integer", "typeof(%1) IN ('integer','null')"},
    {FieldType::Float, "float", "typeof(%1) IN ('real','integer','null')"},
    {FieldType::Boolean, "boolean", "%1 IS NULL OR (typeof(%1) = 'integer' AND %1 IN (0,1))"},
    // A modifier makes SQLite carry an impossible day over ("2024-02-30"), so
    // only a real date equals itself.
    {FieldType::Date, "date", "%1 IS NULL OR (typeof(%1) = 'text' AND date(%1, '+0 days') IS %1)"},
    {FieldType::Timestamp, "timestamp",
     "%1 IS NULL OR (typeof(%1) = 'text' AND (datetime(%1, '+0 days') IS %1 OR date(%1, '+0 days') IS %1))"},
};
} // namespace

QString SqlDialect::typeConstraint(const QString &column, FieldType type)
{
    for (const TypeCheck &c : typeChecks) {
        if (c.type == type) {
            const QString name = QStringLiteral("typ:%1:%2").arg(column, QString::fromLatin1(c.name));
            return QStringLiteral("CONSTRAINT %1 CHECK (%2)")
                .arg(quoteIdent(name), QString::fromLatin1(c.condition).arg(quoteIdent(column)));
        }
    }
    return QString();
}

bool SqlDialect::parseTypeConstraint(const QString &sqliteMessage, QString *field, FieldType *type)
{
    static const QRegularExpression re(QStringLiteral("CHECK constraint failed: typ:(.+):([a-z]+)$"));
    const auto m = re.match(sqliteMessage);
    if (!m.hasMatch())
        return false;
    for (const TypeCheck &c : typeChecks) {
        if (m.captured(2) == QLatin1String(c.name)) {
            if (field)
                *field = m.captured(1);
            if (type)
                *type = c.type;
            return true;
        }
    }
    return false;
}

bool SqlDialect::parseLengthConstraint(const QString &sqliteMessage, QString *field, int *size)
{
    static const QRegularExpression re(QStringLiteral("CHECK constraint failed: len:([^:]+):(\\d+)"));
    const auto m = re.match(sqliteMessage);
    if (!m.hasMatch())
        return false;
    if (field)
        *field = m.captured(1);
    if (size)
        *size = m.captured(2).toInt();
    return true;
}

} // namespace fenwa::data
