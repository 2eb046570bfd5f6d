#include "data/SqlConsole.h"

#include "data/EngineError.h"
#include "data/Query.h"
#include "data/Statement.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

namespace fenwa::data {

QString csvField(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    QString text;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        text = QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
        if (text == QLatin1String("-0"))
            text = QStringLiteral("0");
        return text;
    }
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        text = value.toString();
        break;
    }
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

void writeCsv(const Dataset &data, QTextStream &out)
{
    const QLatin1String eol("\r\n");
    QStringList header;
    for (int f = 0; f < data.fieldCount(); ++f)
        header << csvField(data.fieldDef(f).name);
    out << header.join(QLatin1Char(',')) << eol;
    for (int row = 0; row < data.recordCount(); ++row) {
        QStringList fields;
        for (int f = 0; f < data.fieldCount(); ++f)
            fields << csvField(data.valueAt(row, f));
        out << fields.join(QLatin1Char(',')) << eol;
    }
}

qsizetype invalidUtf8At(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = b[i];
        int more;
        char32_t min;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, min = 0x10000;
        } else {
            return i;
        }
        char32_t cp = c & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            if (i + k >= n || (b[i + k] & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (b[i + k] & 0x3F);
        }
        // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
        if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return i;
        i += more + 1;
    }
    return -1;
}

QString decodeConsoleInput(const QByteArray &bytes)
{
    const qsizetype bad = invalidUtf8At(bytes);
    if (bad >= 0)
        throw EngineError(QStringLiteral("Polecenie SQL nie jest zapisane w UTF-8: niepoprawny bajt 0x%1 "
                                         "na pozycji %2 (licząc od 0). Zapisz plik w kodowaniu UTF-8.")
                              .arg(QString::number(uchar(bytes[bad]), 16).toUpper().rightJustified(2, QLatin1Char('0')))
                              .arg(bad));
    return QString::fromUtf8(bytes);
}

QStringList integrityProblems(Database &db) { return db.integrityProblems(); }

void runConsoleStatement(Database &db, const QString &statement, QTextStream &out)
{
    QString text = statement;
    if (text.startsWith(QChar(0xFEFF)))   // a byte order mark left by an editor
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(';')))
        text = text.chopped(1).trimmed();
    if (text.isEmpty())
        throw EngineError(QStringLiteral("Brak polecenia SQL."));

    // Rows are printed for every statement that has result columns (a
    // SELECT with UNION, WITH, PRAGMA...), whatever its first word.
    if (Statement(db, db.dialect().translate(text).sql).columnCount() > 0) {
        Query q(&db, QStringLiteral("Q_Konsola"));
        q.setSql(text.split(QLatin1Char('\n')));
        q.open();
        writeCsv(q, out);
        q.close();
    } else {
        const int changed = db.exec(text);
        out << "zmienione_wiersze\r\n" << changed << "\r\n";
    }
}

} // namespace fenwa::data
