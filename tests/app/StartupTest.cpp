#include "app/Startup.h"
#include "common/FakeRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa::app;
using fenwa::admin::IniFile;
using fenwa::testing::FakeRegistry;

TEST(DataFolder, SettingsFileFirst)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("fenwa5.ini"));
    ini.writeString("Foldery", "Dane", "/dane/");
    FakeRegistry reg;
    reg.machine = "/z/rejestru";
    EXPECT_EQ(resolveDataFolder(ini, reg), "/dane/");
    EXPECT_EQ(ini.readString("Foldery", "Dane"), "/dane/");
}

TEST(DataFolder, RegistryFallbackIsWrittenBackOnce)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("fenwa5.ini"));
    FakeRegistry reg;
    reg.machine = "/z/rejestru";
    EXPECT_EQ(resolveDataFolder(ini, reg), "/z/rejestru");
    EXPECT_EQ(ini.readString("Foldery", "Dane"), "/z/rejestru");
    reg.machine = "/inny";
    EXPECT_EQ(resolveDataFolder(ini, reg), "/z/rejestru");
}

TEST(DataFolder, NothingAnywhereWritesAnEmptyValue)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("fenwa5.ini"));
    FakeRegistry reg;
    EXPECT_EQ(resolveDataFolder(ini, reg), "");
    EXPECT_TRUE(ini.valueExists("Foldery", "Dane"));
}

TEST(DataFolder, UnwritableSettingsFileDoesNotStopTheStart)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("plik"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    IniFile ini(dir.filePath("plik/fenwa5.ini"));
    FakeRegistry reg;
    reg.machine = "/z/rejestru";
    EXPECT_EQ(resolveDataFolder(ini, reg), "/z/rejestru");
}

TEST(SystemRegistryTest, ValuesLiveUnderTheProgramsKeys)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("user"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, dir.filePath("system"));
    SystemRegistry reg;
    EXPECT_EQ(reg.lastLogin(), "");
    EXPECT_EQ(reg.machineDataFolder(), "");
    reg.setLastLogin("Kowalski");
    EXPECT_EQ(reg.lastLogin(), "Kowalski");
    {
        QSettings user(QSettings::NativeFormat, QSettings::UserScope, "Zovra", "fenwa5");
        EXPECT_EQ(user.value("User/Last").toString(), "Kowalski");
        QSettings machine(QSettings::NativeFormat, QSettings::SystemScope, "Zovra", "fenwa5");
        machine.setValue("Path/Data", "/srv/fenwa5");
        QSettings old(QSettings::NativeFormat, QSettings::SystemScope, "Rabex", "Fenwa4");
        old.setValue("Paths/Data", "/srv/fenwa4");
    }
    EXPECT_EQ(reg.machineDataFolder(), "/srv/fenwa5");
    EXPECT_EQ(reg.previousDataFolder(), "/srv/fenwa4");
    EXPECT_EQ(reg.lastLogin(), "Kowalski") << "the machine scope does not leak into the user's value";
}

TEST(PrivateDirectory, BelongsToTheUserAlone)
{
    const QString p = privateDirectory();
    EXPECT_TRUE(p.endsWith("/fenwa5"));
    const QFileInfo info(p);
    EXPECT_TRUE(info.isDir());
    EXPECT_NE(QFileInfo(info.absolutePath()).canonicalFilePath(), QFileInfo(QDir::tempPath()).canonicalFilePath())
        << "not a folder every user of the machine shares";
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                    | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());
}
