#pragma once
// A data module with the record rules on a temporary data folder.
#include "TestData.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"

#include <memory>

namespace fenwa::testing {

// Records the walk of a reference scan.
struct RecordingFileList : data::FileListView {
    QString folder, mask, caption;
    QStringList files;
    QVector<int> selected;
    int shows = 0, hides = 0;
    bool visible = false;
    void showFiles(const QString &f, const QString &m, const QStringList &list, const QString &c) override
    {
        folder = f;
        mask = m;
        files = list;
        caption = c;
        selected.clear();
        ++shows;
        visible = true;
    }
    void selectFile(int index) override { selected << index; }
    void hideFiles() override
    {
        ++hides;
        visible = false;
    }
};

struct RulesModule {
    TempFolder f;
    CurrentUser user;
    RunSettings settings;
    OpenRegister reg;
    ScriptedMessages messages;
    Clock clock;
    RecordingFileList fileList;
    std::unique_ptr<data::TF_Dane> dane;

    explicit RulesModule(int userId = 1)
    {
        user.user = userId;
        user.slowniki = true;
        user.edycja = true;
        settings.fd = f.folder();
        settings.wkod = QStringLiteral("22");
        clock.set(QDateTime(QDate(2016, 3, 14), QTime(10, 30, 0)));
    }
    bool open()
    {
        dane = std::make_unique<data::TF_Dane>(f.db.get(), user, settings, reg, messages, clock);
        dane->rules.fileList = &fileList;
        return dane->open();
    }
    data::TF_Dane &d() { return *dane; }

    // Creates both files of a register (when missing) and makes it the open one.
    void makeRegister(int year, const QString &code, int month = 1)
    {
        const QString suffix = OpenRegister::suffix(year, code);
        if (!f.db->fileExists(QStringLiteral("g") + suffix))
            f.db->exec(data::schema::createGroups(f.folder(), suffix).join(QLatin1Char('\n')));
        if (!f.db->fileExists(QStringLiteral("p") + suffix))
            f.db->exec(data::schema::createPositions(f.folder(), suffix).join(QLatin1Char('\n')));
        openRegister(year, code, month);
    }
    void openRegister(int year, const QString &code, int month)
    {
        reg.rok = year;
        reg.mc = month;
        reg.kod = code;
        reg.sufiks = OpenRegister::suffix(year, code);
        dane->setRegister(reg.sufiks);
    }
    // Rows of a table file, counted directly.
    int count(const QString &file, const QString &where = QString())
    {
        data::Query q(f.db.get(), QStringLiteral("Q_Count"));
        q.setSql({QStringLiteral("SELECT COUNT(*) AS n FROM \"%1\"%2")
                      .arg(f.path(file), where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where)});
        q.open();
        return int(q.asInt(QStringLiteral("n")));
    }
};

} // namespace fenwa::testing
