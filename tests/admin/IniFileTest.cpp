#include "admin/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

using fenwa::admin::IniFile;
using fenwa::admin::IniWriteError;

namespace {
class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("fenwa5.ini")); }
    void put(const QByteArray &bytes)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray contents() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
} // namespace

TEST_F(IniFileTest, MissingFileGivesDefaults)
{
    IniFile ini(path());
    EXPECT_EQ(ini.readString("Foldery", "Dane", "x"), "x");
    EXPECT_EQ(ini.readInteger("Lok", "P_W", 1), 1);
    EXPECT_FALSE(ini.readBool("System", "jan", false));
    EXPECT_FALSE(ini.sectionExists("Foldery"));
    EXPECT_FALSE(QFile::exists(path())) << "reading creates nothing";
}

TEST_F(IniFileTest, SectionsAndKeysIgnoreLetterCase)
{
    put("[Foldery]\r\nDane=C:\\Fenwa\\\r\n[LOK]\r\nwiw=podlaskie\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("foldery", "DANE"), "C:\\Fenwa\\");
    EXPECT_EQ(ini.readString("Lok", "WIW"), "podlaskie");
    ini.writeString("lok", "Wiw", "warmińsko-mazurskie");
    EXPECT_EQ(ini.readString("Lok", "WIW"), "warmińsko-mazurskie");
    // The existing line is changed in place, keeping its spelling of the key.
    EXPECT_EQ(contents(), QByteArray("[Foldery]\r\nDane=C:\\Fenwa\\\r\n[LOK]\r\nwiw=warmińsko-mazurskie\r\n"));
}

TEST_F(IniFileTest, GarbageDuplicatesAndBlankLines)
{
    put("śmieci bez znaku równości\n=bez klucza\n[System]\nalert=pierwszy\nALERT=drugi\n\n"
        "[Foldery\nDane=nie w sekcji Foldery\n[System]\nalert=trzeci\njan = 1 \n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("System", "alert"), "pierwszy");
    EXPECT_EQ(ini.readString("Foldery", "Dane", "brak"), "brak");
    // "[Foldery" lacks its bracket: not a header, so its key stays in [System].
    EXPECT_EQ(ini.readSection("System"), QStringList({"alert", "Dane"}));
    // The second [System] is a duplicate section: its keys are not seen.
    EXPECT_FALSE(ini.readBool("System", "jan", false));
}

TEST_F(IniFileTest, ValuesAreTrimmedAndQuotesStripped)
{
    put("[S]\na =  x y  \nb=\"  z  \"\nc=\"nie\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("S", "a"), "x y");
    EXPECT_EQ(ini.readString("S", "b"), "  z  ");
    EXPECT_EQ(ini.readString("S", "c"), "\"nie");
}

TEST_F(IniFileTest, IntegersAndBooleans)
{
    put("[Lok]\nP_W=0\n[System]\na=1\nb=0\nc=2\nd=tak\ne=1x\nf=\ng=-1\nh=0x10\ni=$1F\nj= 7 \nk=1 2\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger("Lok", "P_W", 1), 0);
    EXPECT_TRUE(ini.readBool("System", "a", false));
    EXPECT_FALSE(ini.readBool("System", "b", true));
    EXPECT_TRUE(ini.readBool("System", "c", false));
    EXPECT_FALSE(ini.readBool("System", "d", false));    // not an integer: the default
    EXPECT_TRUE(ini.readBool("System", "d", true));
    EXPECT_EQ(ini.readInteger("System", "e", 5), 5);
    EXPECT_EQ(ini.readInteger("System", "f", 5), 5);
    EXPECT_TRUE(ini.readBool("System", "g", false));
    EXPECT_EQ(ini.readInteger("System", "h", 0), 16);
    EXPECT_EQ(ini.readInteger("System", "i", 0), 31);
    EXPECT_EQ(ini.readInteger("System", "j", 0), 7);
    EXPECT_EQ(ini.readInteger("System", "k", 9), 9);
}

TEST_F(IniFileTest, WritingCreatesSectionsAndKeepsOthers)
{
    put("; komentarz\r\n[Foldery]\r\nDane=/dane\r\n\r\n[Lok]\r\nP_W=0\r\n");
    IniFile ini(path());
    ini.writeString("Foldery", "Eksport", "/eksport");
    ini.writeBool("System", "jan", true);
    ini.writeInteger("Lok", "X", 42);
    EXPECT_EQ(contents(), QByteArray("; komentarz\r\n[Foldery]\r\nDane=/dane\r\nEksport=/eksport\r\n\r\n"
                                     "[Lok]\r\nP_W=0\r\nX=42\r\n\r\n[System]\r\njan=1\r\n"));
    ini.writeBool("System", "jan", false);
    EXPECT_EQ(ini.readString("System", "jan"), "0");
}

TEST_F(IniFileTest, ValueWithLineBreakStaysOnOneLine)
{
    IniFile ini(path());
    ini.writeString("System", "alert", "wiersz 1\nwiersz 2");
    ini.writeString("System", "jan", "1");
    EXPECT_EQ(ini.readString("System", "alert"), "wiersz 1 wiersz 2");
    EXPECT_TRUE(ini.readBool("System", "jan", false));
}

TEST_F(IniFileTest, OldFilesInWindows1250AreRead)
{
    put("[Lok]\r\nWIW=warmi\xF1sko-mazurskie\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("Lok", "WIW"), "warmińsko-mazurskie");
}

TEST_F(IniFileTest, SectionsForGridLayouts)
{
    IniFile ini(path());
    ini.writeString("Foldery", "Dane", "/d");
    ini.replaceSection("F_ListaPoz.XDBGrid1", {{"AutoLoadLayout", "1"}, {"AutoSaveLayout", "1"},
                                               {"Columns", "2"}, {"Column1", "data,80,1,0"},
                                               {"Column2", "kontr,120,1,0"}});
    EXPECT_EQ(ini.readSection("F_ListaPoz.XDBGrid1"),
              QStringList({"AutoLoadLayout", "AutoSaveLayout", "Columns", "Column1", "Column2"}));
    ini.replaceSection("F_ListaPoz.XDBGrid1", {{"Columns", "1"}, {"Column1", "brutto,70,1,0"}});
    const auto values = ini.readSectionValues("f_listapoz.xdbgrid1");
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values[1].second, "brutto,70,1,0");
    EXPECT_EQ(ini.readString("Foldery", "Dane"), "/d");
    EXPECT_EQ(ini.sections(), QStringList({"Foldery", "F_ListaPoz.XDBGrid1"}));
    ini.eraseSection("F_ListaPoz.XDBGrid1");
    EXPECT_FALSE(ini.sectionExists("F_ListaPoz.XDBGrid1"));
    ini.deleteKey("Foldery", "dane");
    EXPECT_FALSE(ini.valueExists("Foldery", "Dane"));
}

TEST_F(IniFileTest, EachAccessSeesOtherWriters)
{
    IniFile a(path()), b(path());
    a.writeString("System", "jan", "1");
    EXPECT_TRUE(b.readBool("System", "jan", false));
    b.writeString("System", "jan", "0");
    EXPECT_FALSE(a.readBool("System", "jan", true));
}

TEST_F(IniFileTest, UnwritableFileGivesUnableToWrite)
{
    // A folder that is really a file cannot hold the settings file, whoever runs the test.
    put("[Foldery]\r\nDane=/d\r\n");
    const QString bad = path() + "/fenwa5.ini";
    IniFile ini(bad);
    try {
        ini.writeString("Foldery", "Dane", "/x");
        FAIL() << "no error";
    } catch (const IniWriteError &e) {
        EXPECT_EQ(e.message(), "Unable to write to " + bad);
    }
    EXPECT_EQ(ini.readString("Foldery", "Dane", "brak"), "brak");
    EXPECT_EQ(IniFile(path()).readString("Foldery", "Dane"), "/d");
}

namespace {
// A folder on a small file system of its own (a tmpfs, when the test may
// mount one), or a limit on the size of files this process writes: either
// way a large write fails midway.
class FullDisk {
public:
    explicit FullDisk(const QString &folder) : folder_(folder)
    {
        const QByteArray dir = QFile::encodeName(folder);
        mounted_ = ::getuid() == 0
                   && ::system(("mount -t tmpfs -o size=64k tmpfs '" + dir + "' 2>/dev/null").constData()) == 0;
        if (!mounted_) {
            ::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &previous_);
            rlimit small = previous_;
            small.rlim_cur = 64 * 1024;
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
    }
    ~FullDisk()
    {
        if (mounted_)
            ::system(("umount '" + QFile::encodeName(folder_) + "'").constData());
        else
            ::setrlimit(RLIMIT_FSIZE, &previous_);
    }

private:
    QString folder_;
    bool mounted_ = false;
    rlimit previous_{};
};
} // namespace

TEST_F(IniFileTest, AWriteThatFailsMidwayLeavesThePreviousFileWhole)
{
    QTemporaryDir small;
    FullDisk full(small.path());
    const QString file = small.filePath(QStringLiteral("fenwa5.ini"));
    IniFile ini(file);
    ini.writeString("Foldery", "Dane", "/srv/dane");
    ini.writeString("Lok", "wiw", "podlaskie");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    try {
        ini.writeString("System", "alert", QString(100 * 1024, QLatin1Char('x')));
        FAIL() << "the write was reported as done";
    } catch (const IniWriteError &e) {
        EXPECT_EQ(e.message(), "Unable to write to " + file);
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(small.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"fenwa5.ini"})
        << "no temporary file is left behind";
}

TEST(IniFilePath, BesideTheExecutableOrInTheUserFolder)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("bin");
    QDir(dir.path()).mkpath("cfg");
    const QString exe = dir.filePath("bin/fenwa5");
    EXPECT_EQ(IniFile::pathFor(exe, dir.filePath("cfg")), dir.filePath("bin/fenwa5.ini"));
    if (::geteuid() == 0)
        return;
    QFile::setPermissions(dir.filePath("bin"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(IniFile::pathFor(exe, dir.filePath("cfg")), dir.filePath("cfg/fenwa5.ini"));
    QFile::setPermissions(dir.filePath("bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // An existing file beside the executable is used even in a read-only folder.
    QFile f(dir.filePath("bin/fenwa5.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QFile::setPermissions(dir.filePath("bin"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(IniFile::pathFor(exe, dir.filePath("cfg")), dir.filePath("bin/fenwa5.ini"));
    QFile::setPermissions(dir.filePath("bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(IniFilePath, EnvironmentOverrides)
{
    qputenv("FENWA5_INI", "/tmp/inny.ini");
    EXPECT_EQ(IniFile::defaultPath(), "/tmp/inny.ini");
    qunsetenv("FENWA5_INI");
}
