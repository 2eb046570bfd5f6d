// The file list window: its list, and the reference scans shown in it.
#include "Installation.h"
#include "admin/ui/Pliki.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::admin::TF_Pliki;

namespace {

QString S(const char *utf8) { return QString::fromUtf8(utf8); }

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(Pliki, CreatedHiddenWithItsCaptionAndNotModal)
{
    TF_Pliki w;
    EXPECT_EQ(w.objectName(), QStringLiteral("F_Pliki"));
    EXPECT_EQ(w.windowTitle(), S("Lista plików"));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowModality(), Qt::NonModal);
    EXPECT_TRUE(w.isWindow());
}

TEST(Pliki, ListsTheFolderFilesMatchingTheMask)
{
    QTemporaryDir dir;
    for (const char *name : {"g_2016_2201.db", "p_2016_2201.db", "P_2017_2205.DB", "g_16_2201.db", "notatki.txt",
                             "kontr.db", "kontr.px"})
        touch(dir.filePath(QString::fromLatin1(name)));
    TF_Pliki w;
    w.pointAt(dir.path(), QStringLiteral("?_????_????.db;"));
    EXPECT_EQ(w.files(), (QStringList{QStringLiteral("g_2016_2201.db"), QStringLiteral("p_2016_2201.db"),
                                      QStringLiteral("P_2017_2205.DB")}));
    EXPECT_EQ(w.list()->count(), 3);
    EXPECT_EQ(w.folder(), dir.path());
    EXPECT_EQ(w.mask(), QStringLiteral("?_????_????.db;"));

    w.pointAt(dir.path(), QStringLiteral("*.db;*.px"));
    EXPECT_EQ(w.files().size(), 6);
    EXPECT_TRUE(w.files().contains(QStringLiteral("kontr.px")));
    // An empty pattern matches nothing.
    w.pointAt(dir.path(), QStringLiteral(";"));
    EXPECT_TRUE(w.files().isEmpty());
    EXPECT_EQ(w.list()->count(), 0);
}

TEST(Pliki, ReferenceScanWalksInTheWindow)
{
    fenwa::testing::Installation f({.content = fenwa::testing::Content::Tables, .voivodeship = "22"});
    TF_Dane &dane = f.d();
    TF_Pliki window;
    dane.rules.fileList = &window;

    for (const char *s : {"_2015_2201.db", "_2016_2201.db", "_2016_2205.db"})
        f.db->exec(schema::createPositions(f.folder(), S(s)).join(QLatin1Char('\n')));
    Table *gat = dane.T_Gat;
    gat->append();
    gat->setValue(QStringLiteral("Gat"), S("bydło"));
    gat->post();
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, gat) VALUES (1, :g)").arg(f.path(QStringLiteral("p_2015_2201.db"))),
               {{QStringLiteral(":g"), gat->asInt(QStringLiteral("Id"))}});

    // The walk, as the window shows it.
    QVector<int> rows;
    QVector<bool> visibleWhileWalking;
    QObject::connect(window.list(), &QListWidget::currentRowChanged, [&](int row) {
        rows << row;
        visibleWhileWalking << window.isVisible();
    });
    try {
        gat->remove();
        ADD_FAILURE() << "the species is used in a register";
    } catch (const Abort &) {
    }
    EXPECT_EQ(f.messages.last(), S("Rekord związany ze zbiorem danych - usunięcie rekordu niemożliwe!"));
    EXPECT_EQ(rows, (QVector<int>{0, 1, 2}));
    EXPECT_EQ(visibleWhileWalking, (QVector<bool>{true, true, true}));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), S("Szukanie ..."));
    EXPECT_EQ(window.mask(), QStringLiteral("p_????_????.db"));
    EXPECT_EQ(window.folder(), f.folder());
    EXPECT_EQ(window.files().size(), 3);
    EXPECT_EQ(window.currentIndex(), 2);   // kept until the next use
}
