#include "data/SqlConsole.h"

#include "data/EngineError.h"
#include "data/Query.h"

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

    if (db.dialect().translate(text).isSelect) {
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
