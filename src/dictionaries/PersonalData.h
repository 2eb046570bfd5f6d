#pragma once
// "Informacje o wprawadzeniu danych osobowych": who first entered a
// contractor's personal data into any register, and when. Every positions
// file of the data folder is searched for the earliest creation stamp of a
// position that refers to the contractor.
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <functional>

namespace fenwa::data {
class Database;
}

namespace fenwa::dictionaries {

// The title of the answer's message box.
inline const QString personalDataTitle = QStringLiteral("Informacje o wprawadzeniu danych osobowych");

// The answer's text: "Brak danych!" when no position refers to the
// contractor or its creator is no longer a user, otherwise four lines (the
// date in the locale's short format). A blank creation stamp counts as the
// earliest moment; on equal stamps the file listed first (name order) wins;
// only stamps before `now` count. `searching` is told each file before it
// is searched (the file list shows it). A file that cannot be read stops the
// search with the engine's error (EngineError).
QString personalDataInformation(data::Database &db, qint64 contractorId, const QDateTime &now,
                                const std::function<void(const QString &file)> &searching = {},
                                const QLocale &locale = QLocale::system());

} // namespace fenwa::dictionaries
