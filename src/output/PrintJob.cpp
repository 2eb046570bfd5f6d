#include "output/PrintJob.h"

#include "common/Numbers.h"

namespace fenwa::output {

QString PrintParameters::stopkaRaportu(const QString &appTitle, const QString &version,
                                       const QString &login, const QDate &today)
{
    return QStringLiteral("Wydruk z programu ") + appTitle + QStringLiteral(" - ") + version
        + QStringLiteral(", użytkownik: ") + login + QLatin1Char('\n')
        + QStringLiteral("Data Wydruku: ") + shortDate(today);
}

QString PrintParameters::iw(const QString &name, const QString &street, const QString &city)
{
    return name + QLatin1Char('\n') + street + QLatin1Char('\n') + city;
}

PrintJob preparePrint(const PrintLayout &layout, const PrintParameters &params,
                      const ReportSource &source)
{
    PrintJob job;
    job.layout = &layout;
    job.tytul = params.get(QStringLiteral("Tytul"));
    job.saveFolder = params.saveFolder;
    job.iw = params.get(QStringLiteral("IW"));
    job.stopka = params.get(QStringLiteral("Stopka_raportu"));
    const int nc = layout.columns.size();

    // Field indices per column and part.
    QVector<QVector<QVector<int>>> index(nc);
    for (int c = 0; c < nc; ++c) {
        const PrintColumn &col = layout.columns[c];
        job.headings << (col.headingFromKryterium ? params.get(QStringLiteral("Kryterium"))
                                                  : col.heading.join(QLatin1Char('\n')));
        for (const PrintPart &p : col.parts) {
            QVector<int> fields;
            for (const QString &f : p.fields) {
                const int i = source.columnIndex(f);
                if (i < 0 && !job.missingFields.contains(f))
                    job.missingFields << f;
                fields << i;
            }
            index[c] << fields;
        }
    }

    QVector<long double> sums(nc, 0.0L);
    const int n = source.rowCount();
    job.rows.resize(n);
    for (int r = 0; r < n; ++r) {
        QVector<QStringList> &row = job.rows[r];
        row.resize(nc);
        for (int c = 0; c < nc; ++c) {
            const PrintColumn &col = layout.columns[c];
            for (int p = 0; p < col.parts.size(); ++p) {
                const PrintPart &part = col.parts[p];
                QStringList texts;
                for (int f : index[c][p]) {
                    if (f < 0) {
                        texts << QString();
                        continue;
                    }
                    if (part.format.isEmpty()) {
                        texts << source.text(r, f);
                    } else {
                        const Column sc = source.column(f);
                        ColumnType type = sc.type;
                        if (type == ColumnType::Text)   // stored as text: take the format's word
                            type = part.format.contains(QLatin1Char('y')) ? ColumnType::Date
                                                                           : ColumnType::Number;
                        texts << formatValue(source.value(r, f), type, part.format);
                    }
                }
                row[c] << texts.join(part.joiner);
            }
            if (col.total && !index[c].isEmpty() && !index[c][0].isEmpty() && index[c][0][0] >= 0)
                sums[c] += source.value(r, index[c][0][0]).toDouble();
        }
    }
    job.totals.resize(nc);
    for (int c = 0; c < nc; ++c)
        job.totals[c] = R2(sums[c]);
    return job;
}

} // namespace fenwa::output
