#include "data/Filter.h"

#include "data/EngineError.h"
#include "data/SqlBuilder.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <vector>

namespace fenwa::data {

namespace {

enum class Op { Eq, Ne, Lt, Le, Gt, Ge };

struct Literal {
    enum Kind { Text, Bool, Number, Date, DateTime };
    Kind kind = Text;
    QString text;        // as typed (for quoted text: the text without quotes)
    bool quoted = false; // written in quotes
    bool prefix = false; // 'abc*': text begins with "abc" (text holds "abc")
    bool boolean = false;
    double number = 0;
    bool integral = false;
    qint64 integer = 0;
    QDate date;
    QDateTime dateTime;

    bool isBlank() const { return kind == Text && quoted && text.isEmpty() && !prefix; }
};

struct Node {
    enum Kind { Compare, And, Or, Not };
    Kind kind = Compare;
    QString field;
    Op op = Op::Eq;
    Literal lit;
    std::vector<Node> kids;
};

QString opText(Op op)
{
    switch (op) {
    case Op::Eq: return QStringLiteral("=");
    case Op::Ne: return QStringLiteral("<>");
    case Op::Lt: return QStringLiteral("<");
    case Op::Le: return QStringLiteral("<=");
    case Op::Gt: return QStringLiteral(">");
    case Op::Ge: return QStringLiteral(">=");
    }
    return {};
}

template <typename T>
bool compare(const T &a, Op op, const T &b)
{
    switch (op) {
    case Op::Eq: return a == b;
    case Op::Ne: return !(a == b);
    case Op::Lt: return a < b;
    case Op::Le: return a < b || a == b;
    case Op::Gt: return b < a;
    case Op::Ge: return b < a || a == b;
    }
    return false;
}

// Dates as the program writes them: dd.MM.yyyy (short format), yyyy-MM-dd, MM/dd/yyyy.
QDate parseDate(const QString &s)
{
    static const QRegularExpression shortRe(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    static const QRegularExpression isoRe(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    static const QRegularExpression usRe(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    QRegularExpressionMatch m;
    if ((m = shortRe.match(s)).hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if ((m = isoRe.match(s)).hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if ((m = usRe.match(s)).hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    return {};
}

QDateTime parseDateTime(const QString &s)
{
    const int space = s.indexOf(u' ');
    if (space < 0)
        return {};
    const QDate d = parseDate(s.left(space));
    QTime t = QTime::fromString(s.mid(space + 1).trimmed(), QStringLiteral("HH:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(s.mid(space + 1).trimmed(), QStringLiteral("HH:mm"));
    if (!d.isValid() || !t.isValid())
        return {};
    return QDateTime(d, t);
}

bool parseNumberText(const QString &s, double *value, bool *integral, qint64 *integer)
{
    static const QRegularExpression numRe(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    if (!numRe.match(s).hasMatch())
        return false;
    QString t = s;
    t.replace(u',', u'.');
    bool ok = false;
    *value = t.toDouble(&ok);
    if (!ok)
        return false;
    *integer = s.toLongLong(integral);
    return true;
}

class Parser {
public:
    explicit Parser(const QString &text) : s_(text) {}

    Node parse()
    {
        Node n = parseOr();
        skipSpace();
        if (i_ < s_.size())
            fail(QStringLiteral("nieoczekiwany tekst „%1”").arg(s_.mid(i_, 20)));
        return n;
    }

    QStringList fields;

private:
    const QString s_;
    int i_ = 0;

    [[noreturn]] void fail(const QString &what) const
    {
        throw EngineError(QStringLiteral("Nie można odczytać filtru „%1”: %2.").arg(s_, what));
    }

    void skipSpace()
    {
        while (i_ < s_.size() && s_.at(i_).isSpace())
            ++i_;
    }

    static bool identChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'.'; }

    // A keyword (and, or, not) at the current position, as a whole word.
    bool keyword(const char *word, int at) const
    {
        const QLatin1String w(word);
        if (s_.mid(at, w.size()).compare(w, Qt::CaseInsensitive) != 0)
            return false;
        const int end = at + w.size();
        return end >= s_.size() || !identChar(s_.at(end));
    }

    bool takeKeyword(const char *word)
    {
        skipSpace();
        if (!keyword(word, i_))
            return false;
        i_ += int(qstrlen(word));
        return true;
    }

    Node parseOr()
    {
        Node first = parseAnd();
        if (!takeKeywordAhead("or"))
            return first;
        Node n;
        n.kind = Node::Or;
        n.kids.push_back(std::move(first));
        do {
            n.kids.push_back(parseAnd());
        } while (takeKeywordAhead("or"));
        return n;
    }

    bool takeKeywordAhead(const char *word) { return takeKeyword(word); }

    Node parseAnd()
    {
        Node first = parseUnary();
        if (!takeKeyword("and"))
            return first;
        Node n;
        n.kind = Node::And;
        n.kids.push_back(std::move(first));
        do {
            n.kids.push_back(parseUnary());
        } while (takeKeyword("and"));
        return n;
    }

    Node parseUnary()
    {
        skipSpace();
        if (takeKeyword("not")) {
            Node n;
            n.kind = Node::Not;
            n.kids.push_back(parseUnary());
            return n;
        }
        skipSpace();
        if (i_ < s_.size() && s_.at(i_) == u'(') {
            ++i_;
            Node n = parseOr();
            skipSpace();
            if (i_ >= s_.size() || s_.at(i_) != u')')
                fail(QStringLiteral("brak nawiasu zamykającego"));
            ++i_;
            return n;
        }
        return parseComparison();
    }

    Node parseComparison()
    {
        skipSpace();
        Node n;
        const int start = i_;
        while (i_ < s_.size() && identChar(s_.at(i_)))
            ++i_;
        n.field = s_.mid(start, i_ - start);
        if (n.field.isEmpty())
            fail(QStringLiteral("oczekiwano nazwy pola w miejscu %1").arg(start + 1));
        if (!fields.contains(n.field, Qt::CaseInsensitive))
            fields << n.field;
        skipSpace();
        static const struct { const char *text; Op op; } ops[] = {
            {"<>", Op::Ne}, {"!=", Op::Ne}, {">=", Op::Ge}, {"<=", Op::Le},
            {"=", Op::Eq}, {">", Op::Gt}, {"<", Op::Lt}};
        bool found = false;
        for (const auto &o : ops) {
            const QLatin1String t(o.text);
            if (s_.mid(i_, t.size()) == t) {
                n.op = o.op;
                i_ += t.size();
                found = true;
                break;
            }
        }
        if (!found)
            fail(QStringLiteral("oczekiwano porównania po polu %1").arg(n.field));
        skipSpace();
        n.lit = parseLiteral(n.field);
        return n;
    }

    // A closing apostrophe is one followed by the end, ")" or "and"/"or";
    // any other lone apostrophe belongs to the text (Zakład 'Pod Lipą').
    bool closesText(int at) const
    {
        int k = at + 1;
        while (k < s_.size() && s_.at(k).isSpace())
            ++k;
        if (k >= s_.size() || s_.at(k) == u')')
            return true;
        return k > at + 1 && (keyword("and", k) || keyword("or", k));
    }

    bool endsFilter(int at) const
    {
        int k = at + 1;
        while (k < s_.size() && s_.at(k).isSpace())
            ++k;
        return k >= s_.size() || s_.at(k) == u')';
    }

    Literal parseLiteral(const QString &field)
    {
        Literal lit;
        if (i_ >= s_.size())
            fail(QStringLiteral("brak wartości dla pola %1").arg(field));
        const QChar c = s_.at(i_);
        if (c == u'\'') {
            lit.quoted = true;
            int k = i_ + 1;
            bool closed = false;
            while (k < s_.size()) {
                if (s_.at(k) == u'\'') {
                    // '' is one apostrophe, unless the second one ends the whole
                    // filter or a parenthesis ('Zakład 'Pod Lipą'' written unescaped).
                    if (k + 1 < s_.size() && s_.at(k + 1) == u'\'' && endsFilter(k + 1)) {
                        lit.text += u'\'';
                        k += 1;
                        closed = true;
                        break;
                    }
                    if (k + 1 < s_.size() && s_.at(k + 1) == u'\'') {
                        lit.text += u'\'';
                        k += 2;
                        continue;
                    }
                    if (closesText(k)) {
                        closed = true;
                        break;
                    }
                }
                lit.text += s_.at(k++);
            }
            if (!closed)
                fail(QStringLiteral("niezamknięty apostrof"));
            i_ = k + 1;
            if (lit.text.endsWith(u'*')) {
                lit.prefix = true;
                lit.text.chop(1);
            }
            return lit;
        }
        if (c == u'"') {
            const int end = s_.indexOf(u'"', i_ + 1);
            if (end < 0)
                fail(QStringLiteral("niezamknięty cudzysłów"));
            lit.quoted = true;
            lit.text = s_.mid(i_ + 1, end - i_ - 1);
            i_ = end + 1;
            classifyQuoted(lit);
            return lit;
        }
        const int start = i_;
        while (i_ < s_.size() && !s_.at(i_).isSpace() && s_.at(i_) != u')')
            ++i_;
        lit.text = s_.mid(start, i_ - start);
        if (lit.text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || lit.text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            lit.kind = Literal::Bool;
            lit.boolean = lit.text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
            return lit;
        }
        if (parseNumberText(lit.text, &lit.number, &lit.integral, &lit.integer)) {
            lit.kind = Literal::Number;
            return lit;
        }
        lit.date = parseDate(lit.text);
        if (lit.date.isValid()) {
            lit.kind = Literal::Date;
            return lit;
        }
        fail(QStringLiteral("nieprawidłowa wartość „%1” dla pola %2").arg(lit.text, field));
    }

    static void classifyQuoted(Literal &lit)
    {
        lit.date = parseDate(lit.text);
        if (lit.date.isValid()) {
            lit.kind = Literal::Date;
            return;
        }
        lit.dateTime = parseDateTime(lit.text);
        if (lit.dateTime.isValid())
            lit.kind = Literal::DateTime;
    }
};

[[noreturn]] void mismatch(const Node &n)
{
    throw EngineError(QStringLiteral("Wartość „%1” nie pasuje do typu pola %2.")
                          .arg(n.lit.quoted ? u'\'' + n.lit.text + u'\'' : n.lit.text, n.field));
}

// The literal read as a number (quoted digits too).
bool literalNumber(const Literal &lit, double *value, bool *integral, qint64 *integer)
{
    if (lit.kind == Literal::Number) {
        *value = lit.number;
        *integral = lit.integral;
        *integer = lit.integer;
        return true;
    }
    if (lit.kind == Literal::Text && !lit.prefix)
        return parseNumberText(lit.text.trimmed(), value, integral, integer);
    return false;
}

bool literalBool(const Literal &lit, bool *value)
{
    if (lit.kind == Literal::Bool) {
        *value = lit.boolean;
        return true;
    }
    if (lit.kind == Literal::Number && lit.integral && (lit.integer == 0 || lit.integer == 1)) {
        *value = lit.integer == 1;
        return true;
    }
    if (lit.kind == Literal::Text && !lit.prefix) {
        if (lit.text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            *value = true;
            return true;
        }
        if (lit.text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            *value = false;
            return true;
        }
    }
    return false;
}

QDate literalDate(const Literal &lit)
{
    if (lit.kind == Literal::Date)
        return lit.date;
    if (lit.kind == Literal::Text && !lit.prefix)
        return parseDate(lit.text.trimmed());
    return {};
}

QString sqlOf(const Node &n, QVariantList &binds, const std::function<FieldType(QString &)> &fieldType)
{
    if (n.kind != Node::Compare) {
        if (n.kind == Node::Not)
            // A comparison with a blank field is false, never unknown: NOT of it is true.
            return QStringLiteral("NOT coalesce((%1), FALSE)").arg(sqlOf(n.kids.front(), binds, fieldType));
        QStringList parts;
        for (const Node &k : n.kids)
            parts << u'(' + sqlOf(k, binds, fieldType) + u')';
        return parts.join(n.kind == Node::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
    }
    QString stored = n.field;
    const FieldType type = fieldType(stored);
    if (type == FieldType::Unknown)
        throw EngineError(QStringLiteral("Nieznane pole %1 w filtrze.").arg(n.field));
    // The field as the table spells it: the server tells "Rok" from "rok".
    const QString col = quoteIdent(stored);
    const QString op = opText(n.op);
    const Literal &lit = n.lit;

    if (lit.isBlank() && (n.op == Op::Eq || n.op == Op::Ne)) {
        if (type == FieldType::String)
            return n.op == Op::Eq ? QStringLiteral("(%1 IS NULL OR %1 = '')").arg(col)
                                  : QStringLiteral("(%1 IS NOT NULL AND %1 <> '')").arg(col);
        if (type == FieldType::Boolean)
            return n.op == Op::Eq ? QStringLiteral("%1 IS NULL").arg(col)
                                  : QStringLiteral("%1 IS NOT NULL").arg(col);
        return QStringLiteral("%1 IS %2NULL").arg(col, n.op == Op::Eq ? QString() : QStringLiteral("NOT "));
    }

    switch (type) {
    case FieldType::String:
        if (lit.prefix && (n.op == Op::Eq || n.op == Op::Ne)) {
            binds << lit.text;
            return QStringLiteral("substr(%1, 1, %2) %3 ?").arg(col).arg(lit.text.size()).arg(op);
        }
        binds << (lit.prefix ? lit.text + u'*' : lit.text);
        return QStringLiteral("%1 %2 ?").arg(col, op);
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Float: {
        double v = 0;
        bool integral = false;
        qint64 i = 0;
        if (!literalNumber(lit, &v, &integral, &i))
            mismatch(n);
        if (integral)
            binds << QVariant::fromValue<qlonglong>(i);
        else
            binds << v;
        return QStringLiteral("%1 %2 ?").arg(col, op);
    }
    case FieldType::Boolean: {
        bool b = false;
        if (!literalBool(lit, &b))
            mismatch(n);
        binds << QVariant::fromValue<qlonglong>(b ? 1 : 0);
        return QStringLiteral("coalesce(%1, FALSE) %2 ?").arg(col, op);
    }
    case FieldType::Date: {
        const QDate d = literalDate(lit);
        if (!d.isValid())
            mismatch(n);
        binds << d.toString(QStringLiteral("yyyy-MM-dd"));
        return QStringLiteral("%1 %2 ?").arg(col, op);
    }
    case FieldType::Timestamp: {
        if (lit.kind == Literal::DateTime) {
            binds << lit.dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            return QStringLiteral("%1 %2 ?").arg(col, op);
        }
        const QDate d = literalDate(lit);
        if (!d.isValid())
            mismatch(n);
        // A date against a timestamp compares the day.
        binds << d.toString(QStringLiteral("yyyy-MM-dd"));
        return QStringLiteral("substr(%1, 1, 10) %2 ?").arg(col, op);
    }
    case FieldType::Unknown:
        break;
    }
    mismatch(n);
}

bool isNumericValue(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool evaluate(const Node &n, const std::function<QVariant(const QString &)> &valueOf)
{
    switch (n.kind) {
    case Node::Not:
        return !evaluate(n.kids.front(), valueOf);
    case Node::And:
        for (const Node &k : n.kids)
            if (!evaluate(k, valueOf))
                return false;
        return true;
    case Node::Or:
        for (const Node &k : n.kids)
            if (evaluate(k, valueOf))
                return true;
        return false;
    case Node::Compare:
        break;
    }
    const QVariant v = valueOf(n.field);
    const Literal &lit = n.lit;
    const int typeId = v.metaType().id();
    const bool blank = v.isNull() || !v.isValid()
                       || (typeId == QMetaType::QString && v.toString().isEmpty());

    if (lit.isBlank() && (n.op == Op::Eq || n.op == Op::Ne))
        return (n.op == Op::Eq) == blank;

    if (blank) {
        // A blank logical field counts as False; other blanks match nothing.
        bool b = false;
        if (lit.kind == Literal::Bool && literalBool(lit, &b))
            return compare(0, n.op, b ? 1 : 0);
        return false;
    }

    if (typeId == QMetaType::Bool) {
        bool b = false;
        if (!literalBool(lit, &b))
            mismatch(n);
        return compare(v.toBool() ? 1 : 0, n.op, b ? 1 : 0);
    }
    if (typeId == QMetaType::QDate || typeId == QMetaType::QDateTime) {
        if (typeId == QMetaType::QDateTime && lit.kind == Literal::DateTime) {
            const QDateTime value = v.toDateTime();
            const QDateTime trimmed(value.date(), QTime(value.time().hour(), value.time().minute(),
                                                        value.time().second()));
            return compare(trimmed, n.op, lit.dateTime);
        }
        const QDate d = literalDate(lit);
        if (!d.isValid())
            mismatch(n);
        const QDate value = typeId == QMetaType::QDate ? v.toDate() : v.toDateTime().date();
        return compare(value, n.op, d);
    }
    if (isNumericValue(v)) {
        double x = 0;
        bool integral = false;
        qint64 i = 0;
        if (!literalNumber(lit, &x, &integral, &i))
            mismatch(n);
        return compare(v.toDouble(), n.op, x);
    }
    // Text: exact, case-sensitive, in the byte order of the stored text.
    const QByteArray value = v.toString().toUtf8();
    const QByteArray text = lit.text.toUtf8();
    if (lit.prefix && (n.op == Op::Eq || n.op == Op::Ne))
        return value.startsWith(text) == (n.op == Op::Eq);
    return compare(value, n.op, lit.prefix ? text + '*' : text);
}

} // namespace

struct Filter::Impl {
    QString text;
    Node root;
    QStringList fields;
};

Filter::Filter() = default;
Filter::~Filter() = default;
Filter::Filter(const Filter &) = default;
Filter &Filter::operator=(const Filter &) = default;

Filter Filter::parse(const QString &text)
{
    Filter f;
    if (text.trimmed().isEmpty())
        return f;
    Parser p(text);
    auto impl = std::make_shared<Impl>();
    impl->text = text;
    impl->root = p.parse();
    impl->fields = p.fields;
    f.impl_ = impl;
    return f;
}

bool Filter::isEmpty() const { return !impl_; }

QStringList Filter::fields() const { return impl_ ? impl_->fields : QStringList(); }

QString Filter::text() const { return impl_ ? impl_->text : QString(); }

QString Filter::quoteText(const QString &text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

QString Filter::toSql(QVariantList &binds, const std::function<FieldType(QString &)> &fieldType) const
{
    if (!impl_)
        return {};
    return sqlOf(impl_->root, binds, fieldType);
}

bool Filter::matches(const std::function<QVariant(const QString &)> &valueOf) const
{
    if (!impl_)
        return true;
    return evaluate(impl_->root, valueOf);
}

} // namespace fenwa::data
