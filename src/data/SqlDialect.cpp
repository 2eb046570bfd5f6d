#include "data/SqlDialect.h"

#include <QDir>

#include "data/EngineError.h"
#include "data/SqlBuilder.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <vector>

namespace fenwa::data {

namespace {

enum class Kind { Word, Number, String, Quoted, Param, Op };

struct Token {
    Kind kind = Kind::Op;
    QString text;   // as it goes out (for Quoted: the unquoted content)
    QString space;  // white space before the token, kept as written
    int pos = 0;    // position in the statement (1-based, for messages)
    QString pre;    // text added before and after the token (wrapping an operand)
    QString post;
    bool fixed = false;   // final text: later passes leave it alone

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
        out += tokens[i].pre + tokens[i].text + tokens[i].post;
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

bool isCreateIndex(const Tokens &t)
{
    return t.size() > 2 && t[0].isWord("CREATE") && (t[1].isWord("INDEX") || (t[1].isWord("UNIQUE") && t[2].isWord("INDEX")));
}

bool isTablePosition(const Tokens &t, int i)
{
    if (i == 0)
        return false;
    const Token &p = t[i - 1];
    return p.isWord("FROM") || p.isWord("JOIN") || p.isWord("INTO") || p.isWord("UPDATE")
           || p.isWord("TABLE") || (p.isWord("ON") && isCreateIndex(t));
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

// Words of the statements' syntax: never column names.
bool isKeyword(const Token &t)
{
    static const QSet<QString> words = [] {
        QSet<QString> w;
        for (const char *k :
             {"ADD", "ALL", "ALTER", "AND", "AS", "ASC", "BETWEEN", "BIGINT", "BOOLEAN", "BY", "CASE", "CAST",
              "CHAR", "COLLATE", "COLUMN", "CREATE", "CROSS", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
              "DEFAULT", "DELETE", "DESC", "DISTINCT", "DOUBLE", "DROP", "ELSE", "END", "ESCAPE", "EXCEPT", "EXISTS",
              "FALSE", "FIRST", "FLOAT", "FROM", "FULL", "GLOB", "GROUP", "HAVING", "IF", "ILIKE", "IN", "INDEX",
              "INNER", "INSERT", "INT", "INTEGER", "INTERSECT", "INTO", "IS", "ISNULL", "JOIN", "KEY", "LAST",
              "LEFT", "LIKE", "LIMIT", "NATURAL", "NOT", "NOTNULL", "NULL", "NULLS", "NUMERIC", "OFFSET", "ON",
              "OR", "ORDER", "OUTER", "PRECISION", "PRIMARY", "REAL", "RIGHT", "SELECT", "SET", "SMALLINT", "TABLE",
              "TEXT", "THEN", "TRUE", "UNION", "UNIQUE", "UPDATE", "USING", "VALUES", "VARCHAR", "WHEN", "WHERE",
              "WITH"})
            w.insert(QString::fromLatin1(k));
        return w;
    }();
    return t.kind == Kind::Word && words.contains(t.text.toUpper());
}

class Translator {
public:
    Translator(const QString &folder, SqlBackend backend, const QString &statement,
               const SqlDialect::ColumnsOf &columns)
        : folder_(folder), server_(backend == SqlBackend::PostgreSql), statement_(statement), columns_(columns) {}

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
            if (server_) {
                assignedNumbersAsText();
                quoteIdentifiers();
                serverExpressions();
                aliasSubqueries();
                out.parameters = parameterNames();
            }
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
    bool server_;   // PostgreSQL
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
            if (holders > 1) {
                const Source &src = sources[size_t(first)];
                if (server_) {
                    const QStringList &own = cols[size_t(first)];
                    t.text = src.alias + u'.' + quoteIdent(own[int(own.indexOf(QRegularExpression(
                                 QRegularExpression::anchoredPattern(QRegularExpression::escape(t.text)),
                                 QRegularExpression::CaseInsensitiveOption)))]);
                    t.fixed = true;
                } else {
                    t.text = src.alias + u'.' + t.text;
                }
            }
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
                if (!qualified && server_) {
                    t.text = t.isWord("TRUE") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                    t.fixed = true;
                } else if (!qualified) {
                    t.text = t.isWord("TRUE") ? QStringLiteral("1") : QStringLiteral("0");
                    t.kind = Kind::Number;
                }
            } else if (t.kind == Kind::Word && isTablePosition(tokens_, i) && !t.isWord("SELECT") && !t.isWord("IF")
                       && !(i + 1 < int(tokens_.size()) && tokens_[i + 1].isOp("."))) {
                // A table named without a path: still a table of the data folder.
                const QString name = SqlDialect::tableName(t.text);
                if (!tables_.contains(name))
                    tables_ << name;
                if (server_) {
                    t.text = quoteIdent(name);
                    t.kind = Kind::String;
                }
            }
        }
    }

    // A number given as a column's value (an item of INSERT's VALUES, or
    // UPDATE's SET col = n) goes to the server as an untyped literal, which it
    // reads as the column's type, as SQLite's checks take the number: 2.5 for
    // an integer column is refused, not rounded; 1 and 0 are a logical
    // column's values.
    void assignedNumbersAsText()
    {
        const bool insert = tokens_[0].isWord("INSERT");
        if (!insert && !tokens_[0].isWord("UPDATE"))
            return;
        const std::vector<int> d = depths();
        int n = int(tokens_.size());
        int from = -1, to = n;   // where the values stand: after VALUES, or from SET to WHERE
        for (int i = 0; i < n; ++i) {
            if (d[i] != 0)
                continue;
            if (from < 0 && tokens_[i].isWord(insert ? "VALUES" : "SET"))
                from = i;
            else if (from >= 0 && (tokens_[i].isWord("WHERE") || tokens_[i].isWord("SELECT")))
                to = i;
            if (to < n)
                break;
        }
        for (int i = to - 1; i > from && from >= 0; --i) {
            Token &t = tokens_[i];
            if (t.kind != Kind::Number || d[i] != (insert ? 1 : 0))
                continue;
            const bool withSign = tokens_[i - 1].isOp("-") || tokens_[i - 1].isOp("+");
            const Token &before = tokens_[i - (withSign ? 2 : 1)];
            const bool last = i + 1 == to;
            const bool item = insert ? (before.isOp("(") || before.isOp(","))
                                           && !last && (tokens_[i + 1].isOp(",") || tokens_[i + 1].isOp(")"))
                                     : before.isOp("=") && (last || tokens_[i + 1].isOp(","));
            if (!item)
                continue;
            t.text = quoteString((withSign ? tokens_[i - 1].text : QString()) + t.text);
            t.kind = Kind::String;
            t.fixed = true;
            if (withSign) {
                t.space = tokens_[i - 1].space;
                tokens_.erase(tokens_.begin() + (i - 1));
                --i;
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
        int alias = -1;   // the alias's token, or -1
        int column = -1;  // without an alias, the column's token of "x.col"
        int end = 0;      // the token after the item
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
            it.end = e;
            const int n = e - s;
            int exprEnd = e;
            if (n >= 2 && tokens_[e - 1].kind == Kind::Word && tokens_[e - 2].isWord("AS")) {
                it.name = tokens_[e - 1].text;
                it.alias = e - 1;
                exprEnd = e - 2;
            } else if (n == 1 && tokens_[s].kind == Kind::Word) {
                it.name = tokens_[s].text;
            } else if (n == 3 && tokens_[s].kind == Kind::Word && tokens_[s + 1].isOp(".")
                       && tokens_[s + 2].kind == Kind::Word) {
                it.name = tokens_[s + 2].text;
                it.column = s + 2;
            } else if (n >= 2 && tokens_[e - 1].kind == Kind::Word && !isReservedTail(tokens_[e - 1])) {
                const Token &prev = tokens_[e - 2];
                if (prev.kind == Kind::Word || prev.kind == Kind::Number || prev.kind == Kind::String
                    || prev.isOp(")")) {
                    it.name = tokens_[e - 1].text;
                    it.alias = e - 1;
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
    // have "opis" sorts by the listed column, as the program means it. On the
    // server the text columns carry the collation; the terms get SQLite's
    // place for NULLs instead (first when ascending, last when descending).
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
            for (int k = groupStart; k < i && sel >= 0 && !server_; ++k)
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
                if (server_) {
                    bool descending = false, nulls = false;
                    for (int m = core; m < e; ++m) {
                        descending = descending || tokens_[m].isWord("DESC");
                        nulls = nulls || tokens_[m].isWord("NULLS");
                    }
                    if (!nulls)
                        tokens_[e - 1].post += descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
                }
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
                if (!server_)
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

    // ------------------------------------------------------------ PostgreSQL

    int matchingClose(int open) const
    {
        int depth = 0;
        for (int k = open; k < int(tokens_.size()); ++k) {
            if (tokens_[k].isOp("("))
                ++depth;
            else if (tokens_[k].isOp(")") && --depth == 0)
                return k;
        }
        return int(tokens_.size()) - 1;
    }

    int matchingOpen(int close) const
    {
        int depth = 0;
        for (int k = close; k >= 0; --k) {
            if (tokens_[k].isOp(")"))
                ++depth;
            else if (tokens_[k].isOp("(") && --depth == 0)
                return k;
        }
        return 0;
    }

    // The last token of the operand that begins at `s`: a sign and a name,
    // "x.col", a literal, a parameter, a call or a parenthesis.
    int operandEnd(int s) const
    {
        const int n = int(tokens_.size());
        int k = s;
        if (k + 1 < n && (tokens_[k].isOp("-") || tokens_[k].isOp("+")))
            ++k;
        if (tokens_[k].isOp("("))
            return matchingClose(k);
        if (tokens_[k].kind == Kind::Word && k + 1 < n && tokens_[k + 1].isOp("("))
            return matchingClose(k + 1);
        if (tokens_[k].kind == Kind::Word && k + 2 < n && tokens_[k + 1].isOp("."))
            return k + 2;
        return k;
    }

    // The first token of the operand that ends at `e`.
    int operandStart(int e) const
    {
        if (tokens_[e].isOp(")")) {
            const int open = matchingOpen(e);
            return open > 0 && tokens_[open - 1].kind == Kind::Word && !isKeyword(tokens_[open - 1]) ? open - 1
                                                                                                     : open;
        }
        if (e >= 2 && tokens_[e - 1].isOp(".") && tokens_[e - 2].kind == Kind::Word)
            return e - 2;
        return e;
    }

    // Operands joined by || count as one.
    int concatenationStart(int e) const
    {
        int s = operandStart(e);
        while (s >= 2 && tokens_[s - 1].isOp("||"))
            s = operandStart(s - 2);
        return s;
    }

    int concatenationEnd(int s) const
    {
        int e = operandEnd(s);
        while (e + 2 < int(tokens_.size()) && tokens_[e + 1].isOp("||"))
            e = operandEnd(e + 2);
        return e;
    }

    void wrap(int from, int to, const QString &before, const QString &after)
    {
        tokens_[from].pre.prepend(before);
        tokens_[to].post += after;
    }

    // Column references in their stored spelling, quoted; aliases in the
    // spelling their names resolve to (see the header).
    void quoteIdentifiers()
    {
        const int n = int(tokens_.size());
        const std::vector<int> d = depths();
        std::vector<bool> skip(size_t(n), false);
        QHash<QString, QString> tableOf;   // lower-case alias or table name -> table
        QStringList named;                 // tables read, in the order named
        QString target;                    // the table of INSERT INTO
        int targetAt = -1;
        auto source = [&](int i) {
            // A table (or a subquery) at i and its alias; returns the token after them.
            QString table;
            int a = i + 1;
            if (tokens_[i].isOp("(")) {
                a = matchingClose(i) + 1;
            } else if (tokens_[i].kind == Kind::String && tokens_[i].text.startsWith(u'"')) {
                table = tokens_[i].text.mid(1, tokens_[i].text.size() - 2);
                skip[size_t(i)] = true;
                if (tokens_[i - 1].isWord("INTO")) {
                    // Its columns are the list after it; the SELECT's names are the SELECT's own.
                    target = table;
                    targetAt = i;
                    return i + 1;
                }
                if (!named.contains(table))
                    named << table;
                tableOf.insert(table.toLower(), table);
            }
            if (a < n && tokens_[a].isWord("AS"))
                ++a;
            if (a < n && tokens_[a].kind == Kind::Word && !isKeyword(tokens_[a])) {
                skip[size_t(a)] = true;
                if (!table.isEmpty())
                    tableOf.insert(tokens_[a].text.toLower(), table);
                ++a;
            }
            return a;
        };
        for (int i = 1; i < n; ++i) {
            if (!isTablePosition(tokens_, i))
                continue;
            int next = source(i);
            while (next + 1 < n && tokens_[next].isOp(",") && (tokens_[i - 1].isWord("FROM")))
                next = source(next + 1);
        }
        if (isCreateIndex(tokens_))
            for (int i = 2; i < n && !tokens_[i].isWord("ON"); ++i)
                skip[size_t(i)] = true;   // the index's name

        QHash<QString, QString> spelling;   // lower-case name -> the one spelling
        QHash<QString, QStringList> columnsOf;
        for (const QString &table : std::as_const(named)) {
            const QStringList columns = columns_ ? columns_(table) : QStringList();
            columnsOf.insert(table, columns);
            for (const QString &c : columns)
                if (!spelling.contains(c.toLower()))
                    spelling.insert(c.toLower(), c);
        }
        if (targetAt >= 0 && targetAt + 1 < n && tokens_[targetAt + 1].isOp("(")) {
            const QStringList columns = columns_ ? columns_(target) : QStringList();
            for (int k = targetAt + 2; k < n && !tokens_[k].isOp(")"); ++k) {
                if (tokens_[k].kind != Kind::Word)
                    continue;
                QString name = tokens_[k].text;
                for (const QString &c : columns)
                    if (c.compare(name, Qt::CaseInsensitive) == 0)
                        name = c;
                tokens_[k].text = quoteIdent(name);
                tokens_[k].fixed = true;
            }
        }
        std::vector<bool> alias(size_t(n), false);
        std::vector<int> labelled;   // "x.col" items without an alias
        for (int i = 0; i < n; ++i) {
            if (!tokens_[i].isWord("SELECT"))
                continue;
            for (const Item &it : selectItems(i, d)) {
                if (it.column >= 0)
                    labelled.push_back(it.column);
                if (it.alias < 0 || tokens_[it.alias].fixed)
                    continue;
                alias[size_t(it.alias)] = true;
                if (!spelling.contains(it.name.toLower()))
                    spelling.insert(it.name.toLower(), it.name);
            }
        }

        for (int i = 0; i < n; ++i) {
            Token &t = tokens_[i];
            if (t.kind != Kind::Word || t.fixed || t.text.isEmpty() || skip[size_t(i)])
                continue;
            const QString key = t.text.toLower();
            if (i >= 2 && tokens_[i - 1].isOp(".") && tokens_[i - 2].kind == Kind::Word) {
                const QStringList own = columnsOf.value(tableOf.value(tokens_[i - 2].text.toLower()));
                QString name = spelling.value(key, t.text);
                for (const QString &c : own)
                    if (c.toLower() == key)
                        name = c;
                t.text = quoteIdent(name);
            } else if (alias[size_t(i)]) {
                t.text = quoteIdent(spelling.value(key));
            } else if (!isKeyword(t) && !(i + 1 < n && (tokens_[i + 1].isOp("(") || tokens_[i + 1].isOp(".")))
                       && spelling.contains(key)) {
                t.text = quoteIdent(spelling.value(key));
            }
        }
        // A column whose table spells it otherwise than the statement's first
        // holder ("Ch" of ch.db, "ch" of the positions) is labelled in the
        // statement's spelling, so that an outer select finds it by that name.
        for (int i : labelled) {
            const QString name = quoteIdent(spelling.value(tokens_[i].text.mid(1, tokens_[i].text.size() - 2).toLower()));
            if (tokens_[i].text.startsWith(u'"') && name != QLatin1String("\"\"") && tokens_[i].text != name)
                tokens_[i].post += QStringLiteral(" AS ") + name;
        }
        renameRepeatedColumns(d);
    }

    // SQLite names a subquery's repeated result column "name:1", "name:2"...
    // and an outer mention of the name means the first; PostgreSQL would
    // refuse the mention as ambiguous.
    void renameRepeatedColumns(const std::vector<int> &d)
    {
        const int n = int(tokens_.size());
        for (int i = 1; i < n; ++i) {
            if (!tokens_[i].isOp("(") || !(tokens_[i - 1].isWord("FROM") || tokens_[i - 1].isWord("JOIN")))
                continue;
            const int close = matchingClose(i);
            for (int k = i + 1; k < close; ++k) {
                if (d[k] != d[i] + 1 || !tokens_[k].isWord("SELECT"))
                    continue;
                QHash<QString, int> seen;
                for (const Item &it : selectItems(k, d)) {
                    QString name = it.alias >= 0 ? tokens_[it.alias].text : it.name;
                    if (name.startsWith(u'"'))
                        name = name.mid(1, name.size() - 2);
                    const int repeats = seen.value(name.toLower());
                    seen.insert(name.toLower(), repeats + 1);
                    if (!repeats || name.isEmpty())
                        continue;
                    const QString label = quoteIdent(QStringLiteral("%1:%2").arg(name).arg(repeats));
                    if (it.alias >= 0)
                        tokens_[it.alias].text = label;
                    else if (it.end > 0)
                        tokens_[it.end - 1].post += QStringLiteral(" AS ") + label;
                }
            }
        }
    }

    // Operators and functions whose SQLite value PostgreSQL computes otherwise.
    void serverExpressions()
    {
        static const QString upperLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        static const QString lowerLetters = upperLetters.toLower();
        const QString toLower = QStringLiteral(" AS text), '%1', '%2')").arg(upperLetters, lowerLetters);
        // From the end, so that an operand's own wrapping closes inside the
        // one around it.
        const int n = int(tokens_.size());
        for (int i = n - 1; i >= 0; --i) {
            Token &t = tokens_[i];
            if (t.fixed)
                continue;
            const bool call = t.kind == Kind::Word && i + 1 < n && tokens_[i + 1].isOp("(");
            if (t.isOp("==")) {
                t.text = QStringLiteral("=");
            } else if (t.isOp("/") && i > 0 && i + 1 < n) {
                wrap(i + 1, operandEnd(i + 1), QStringLiteral("NULLIF("), QStringLiteral(", 0)"));
            } else if (t.isWord("LIKE") && i > 0 && i + 1 < n) {
                const int leftEnd = tokens_[i - 1].isWord("NOT") && i > 1 ? i - 2 : i - 1;
                wrap(concatenationStart(leftEnd), leftEnd, QStringLiteral("translate(CAST("), toLower);
                const int rightEnd = concatenationEnd(i + 1);
                wrap(i + 1, rightEnd, QStringLiteral("translate(CAST("), toLower);
                if (!(rightEnd + 1 < n && tokens_[rightEnd + 1].isWord("ESCAPE")))
                    tokens_[rightEnd].post += QStringLiteral(" ESCAPE ''");
            } else if (t.isWord("IS") && i + 1 < n) {
                int k = i + 1;
                const bool negated = tokens_[k].isWord("NOT") && k + 1 < n;
                if (negated)
                    ++k;
                const Token &what = tokens_[k];
                if (!what.isWord("NULL") && !what.isWord("TRUE") && !what.isWord("FALSE") && !what.isWord("DISTINCT")
                    && !what.isWord("UNKNOWN") && !(what.fixed && what.kind == Kind::Word)) {
                    t.text = negated ? QStringLiteral("IS DISTINCT FROM") : QStringLiteral("IS NOT DISTINCT FROM");
                    if (negated) {
                        tokens_[i + 1].text.clear();
                        tokens_[i + 1].space.clear();
                    }
                }
            } else if (t.isWord("LIMIT") && i + 3 < n && tokens_[i + 2].isOp(",")) {
                std::swap(tokens_[i + 1].text, tokens_[i + 3].text);
                tokens_[i + 2].text = QStringLiteral(" OFFSET");
            } else if (call && (t.isWord("IFNULL") || t.isWord("INSTR"))) {
                t.text = t.isWord("IFNULL") ? QStringLiteral("coalesce") : QStringLiteral("strpos");
            } else if (call && (t.isWord("UPPER") || t.isWord("LOWER"))) {
                const int close = matchingClose(i + 1);
                const QString tail = QStringLiteral(" AS text), '%1', '%2'")
                                         .arg(t.isWord("UPPER") ? lowerLetters : upperLetters,
                                              t.isWord("UPPER") ? upperLetters : lowerLetters);
                t.text = QStringLiteral("translate");
                tokens_[i + 1].post += QStringLiteral("CAST(");
                tokens_[close - 1].post += tail;
            } else if (call && t.isWord("AVG")) {
                wrap(i, matchingClose(i + 1), QStringLiteral("CAST("), QStringLiteral(" AS double precision)"));
            } else if (call && t.isWord("ROUND")) {
                const int close = matchingClose(i + 1);
                int argEnd = close - 1;
                for (int k = i + 2; k < close; ++k)
                    if (tokens_[k].isOp(",") && depthBetween(i + 1, k) == 1) {
                        argEnd = k - 1;
                        break;
                    }
                wrap(i, close, QStringLiteral("CAST("), QStringLiteral(" AS double precision)"));
                wrap(i + 2, argEnd, QStringLiteral("CAST("), QStringLiteral(" AS numeric)"));
            } else if (call && t.isWord("CAST")) {
                const int close = matchingClose(i + 1);
                int as = -1;
                for (int k = i + 2; k < close; ++k)
                    if (tokens_[k].isWord("AS") && depthBetween(i + 1, k) == 1)
                        as = k;
                if (as > i + 2 && as + 1 < close) {
                    Token &type = tokens_[as + 1];
                    if (type.isWord("INTEGER") || type.isWord("INT") || type.isWord("BIGINT"))
                        wrap(i + 2, as - 1, QStringLiteral("trunc(CAST("), QStringLiteral(" AS double precision))"));
                    else if (type.isWord("REAL") || type.isWord("FLOAT"))
                        type.text = QStringLiteral("double precision");
                }
            } else if (t.isWord("COLLATE") && i + 1 < n
                       && QString(tokens_[i + 1].text).remove(u'\'').compare(kCollation, Qt::CaseInsensitive) == 0) {
                tokens_[i + 1].text = quoteIdent(kServerCollation);
                tokens_[i + 1].fixed = true;
            }
        }
    }

    // Parenthesis depth of token k counted from token `from` (1 just inside it).
    int depthBetween(int from, int k) const
    {
        int depth = 0;
        for (int m = from; m < k; ++m) {
            if (tokens_[m].isOp("("))
                ++depth;
            else if (tokens_[m].isOp(")"))
                --depth;
        }
        return depth;
    }

    // A subquery in FROM or JOIN without an alias gets one (PostgreSQL 15 needs it).
    void aliasSubqueries()
    {
        const int n = int(tokens_.size());
        int count = 0;
        for (int i = 1; i + 1 < n; ++i) {
            if (!tokens_[i].isOp("(") || !(tokens_[i - 1].isWord("FROM") || tokens_[i - 1].isWord("JOIN")))
                continue;
            const int close = matchingClose(i);
            const bool named = close + 1 < n
                               && (tokens_[close + 1].isWord("AS")
                                   || (tokens_[close + 1].kind == Kind::Word && !isKeyword(tokens_[close + 1])));
            if (!named)
                tokens_[close].post += QStringLiteral(" AS _q%1").arg(++count);
        }
    }

    // The parameter behind each index SQLite gives: ? the next one, ?NNN that
    // one, :name the next one where it first stands.
    QStringList parameterNames() const
    {
        QStringList names;
        QHash<QString, int> indexOf;
        int largest = 0;
        for (const Token &t : tokens_) {
            if (t.kind != Kind::Param)
                continue;
            int index = 0;
            QString name = t.text;
            if (t.text == QLatin1String("?")) {
                index = ++largest;
                name = QStringLiteral("?%1").arg(index);
            } else if (t.text.startsWith(u'?')) {
                index = t.text.mid(1).toInt();
                largest = std::max(largest, index);
            } else {
                index = indexOf.value(t.text);
                if (!index)
                    indexOf.insert(t.text, index = ++largest);
            }
            if (index < 1)
                syntaxError(QStringLiteral("nieprawidłowy parametr %1 (znak %2).").arg(t.text).arg(t.pos));
            while (names.size() < index)
                names << QString();
            names[index - 1] = name;
        }
        return names;
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

    static QString serverText() { return QStringLiteral("text COLLATE ") + quoteIdent(kServerCollation); }

    // A declared type other than AUTOINC and CHAR(n) on the server.
    static QString serverType(const QString &name, const QString &type, const QStringList &args)
    {
        switch (fieldFromDeclaredType(name, type).type) {
        case FieldType::String:
            return serverText();
        case FieldType::Integer:
        case FieldType::AutoInc:
            return type == QLatin1String("SMALLINT") ? QStringLiteral("smallint")
                   : type == QLatin1String("BIGINT") ? QStringLiteral("bigint")
                                                     : QStringLiteral("integer");
        case FieldType::Float:
            return QStringLiteral("double precision");
        case FieldType::Boolean:
            return QStringLiteral("boolean");
        case FieldType::Date:
            return QStringLiteral("date");
        case FieldType::Timestamp:
            return QStringLiteral("timestamp(0)");
        default:
            if (type == QLatin1String("BLOB"))
                return QStringLiteral("bytea");
            return args.isEmpty() ? type : type + u'(' + args.join(u',') + u')';
        }
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
            out += server_ ? QStringLiteral("integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                           : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        } else if ((type == QLatin1String("CHAR") || type == QLatin1String("VARCHAR")
                    || type == QLatin1String("CHARACTER") || type == QLatin1String("ALPHA"))
                   && args.size() == 1) {
            bool ok = false;
            const int size = args[0].toInt(&ok);
            if (!ok || size <= 0)
                syntaxError(QStringLiteral("nieprawidłowy rozmiar pola %1.").arg(name));
            out += (server_ ? serverText() + QStringLiteral(" CONSTRAINT %2 CHECK (char_length(%3) <= %1)")
                            : QStringLiteral("CHAR(%1) CONSTRAINT %2 CHECK (length(%3) <= %1)"))
                       .arg(size)
                       .arg(quoteIdent(SqlDialect::lengthConstraintName(name, size)), quoteIdent(name));
        } else if (server_) {
            out += serverType(name, type, args);
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
    return Translator(folder_, backend_, statement, columns_).run();
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
    static const QRegularExpression re(
        QStringLiteral("(?:^|CHECK constraint failed: |violates check constraint \"?)len:([^:\"]+):(\\d+)"));
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
