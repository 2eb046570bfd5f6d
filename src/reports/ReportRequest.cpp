#include "reports/ReportRequest.h"

#include "common/Numbers.h"
#include "common/OpenRegister.h"

namespace fenwa::reports {

QString ReportRequest::suffix() const { return OpenRegister::suffix(year(), code); }

QString ReportRequest::condition() const
{
    return QStringLiteral("p.Data BETWEEN ") + sqlDateLiteral(od) + QStringLiteral(" AND ") + sqlDateLiteral(doDnia)
        + (koszty ? QStringLiteral(" AND Kosz=True") : QStringLiteral(" AND Wyd=True"));
}

QString ReportRequest::periodText() const
{
    return QStringLiteral(" za okres od ") + shortDate(od) + QStringLiteral(" do ") + shortDate(doDnia);
}

QString ReportRequest::ofWhat() const { return koszty ? QStringLiteral("kosztów") : QStringLiteral("wydatków"); }

QStringList consolidatedSuffixes(const data::Database &db, const ReportRequest &request)
{
    QStringList out;
    if (!request.zbiorczy)
        return out;
    for (const QString &code : request.subordinates) {
        const QString s = OpenRegister::suffix(request.year(), code);
        if (db.fileExists(QStringLiteral("p") + s) && db.fileExists(QStringLiteral("g") + s))
            out << s;
    }
    return out;
}

} // namespace fenwa::reports
