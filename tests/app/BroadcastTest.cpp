#include "Installation.h"
#include "WaitUntil.h"
#include "app/Broadcast.h"
#include "common/ScriptedMessages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::app;
using fenwa::admin::IniFile;

namespace {
class BroadcastTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    IniFile ini{dir.filePath("fenwa5.ini")};
    ScriptedMessages messages;
};

// Polls again from inside the message box, as an event loop would.
class ReentrantMessages : public ScriptedMessages {
public:
    BroadcastReceiver *receiver = nullptr;
    int nested = 0;
    void warning(const QString &text, const QString &title) override
    {
        ScriptedMessages::warning(text, title);
        if (receiver && receiver->poll())
            ++nested;
    }
};
} // namespace

TEST_F(BroadcastTest, SetFlagShowsOnceAndIsCleared)
{
    ini.writeString("System", "alert", "Proszę zakończyć pracę z programem.");
    ini.writeString("System", "jan", "1");
    BroadcastReceiver r(ini, "jan", messages);
    EXPECT_TRUE(r.poll());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].kind, Messages::Kind::Warning);
    EXPECT_EQ(messages.shown()[0].title, "Komunikat");
    EXPECT_EQ(messages.last(), "Proszę zakończyć pracę z programem.");
    EXPECT_EQ(ini.readString("System", "jan"), "0");
    EXPECT_FALSE(r.poll());
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(ini.readString("System", "alert"), "Proszę zakończyć pracę z programem.");
}

TEST_F(BroadcastTest, FlagValues)
{
    BroadcastReceiver r(ini, "jan", messages);
    EXPECT_FALSE(r.poll()) << "no file";
    ini.writeString("System", "jan", "tak");
    EXPECT_FALSE(r.poll()) << "not an integer";
    ini.writeString("System", "jan", "0");
    EXPECT_FALSE(r.poll());
    ini.writeString("System", "JAN", "2");
    EXPECT_TRUE(r.poll()) << "any integer but 0";
    EXPECT_TRUE(messages.last().isEmpty()) << "an empty alert shows an empty box";
    EXPECT_FALSE(ini.readBool("System", "jan", true));
}

TEST_F(BroadcastTest, FlagBelongsToTheUserNotToTheCopy)
{
    ini.writeString("System", "alert", "Komunikat testowy");
    ini.writeString("System", "jan", "1");
    ini.writeString("System", "ewa", "1");
    ScriptedMessages other;
    BroadcastReceiver first(ini, "jan", messages);
    BroadcastReceiver second(ini, "jan", other);
    EXPECT_TRUE(first.poll());
    EXPECT_FALSE(second.poll());
    EXPECT_TRUE(other.shown().isEmpty());
    EXPECT_TRUE(ini.readBool("System", "ewa", false)) << "other users keep their flag";
}

TEST_F(BroadcastTest, NoSecondBoxWhileOneIsOpen)
{
    ini.writeString("System", "jan", "1");
    ReentrantMessages m;
    BroadcastReceiver r(ini, "jan", m);
    m.receiver = &r;
    EXPECT_TRUE(r.poll());
    EXPECT_EQ(m.nested, 0);
    EXPECT_EQ(m.shown().size(), 1);
}

TEST_F(BroadcastTest, UnreachableFileShowsNothing)
{
    QFile blocker(dir.filePath("plik"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("x");
    blocker.close();
    // The settings file's folder is a file: nothing can be read or written.
    IniFile bad(dir.filePath("plik/fenwa5.ini"));
    BroadcastReceiver r(bad, "jan", messages);
    EXPECT_FALSE(r.poll());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(OsUser, HasAName)
{
    EXPECT_FALSE(osUserName().isEmpty());
    EXPECT_LE(osUserName().size(), 128);
}

// On a server: one workstation's administrator sends, another workstation's
// receiver is told through the server's notification and shows the text once.
TEST(ServerBroadcastTest, SentFromOneConnectionArrivesAtAnother)
{
    if (!fenwa::testing::onServer())
        GTEST_SKIP() << "FENWA5_TEST_PG names no test server";
    fenwa::testing::DataFolder f(fenwa::testing::Content::Tables);
    QString error;
    const data::ServerAddress address = data::ServerAddress::parse(
        QString::fromUtf8(fenwa::testing::testServer()) + " schema=" + f.schema.name, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();

    QTemporaryDir dir;
    IniFile ini{dir.filePath("fenwa5.ini")};
    ScriptedMessages jan, ewa;
    BroadcastReceiver toJan(ini, "jan", jan), toEwa(ini, "ewa", ewa);
    ASSERT_GE(toJan.listenOn(std::make_unique<data::ServerBroadcast>(address)), 0);
    ASSERT_GE(toEwa.listenOn(std::make_unique<data::ServerBroadcast>(address)), 0);
    EXPECT_FALSE(toJan.flagSet()) << "nothing sent yet";

    data::ServerBroadcast sender(address);
    sender.send("Proszę zakończyć pracę z programem.", {"JAN"});
    EXPECT_EQ(sender.text(), "Proszę zakończyć pracę z programem.");
    ASSERT_TRUE(fenwa::testing::waitUntil([&] {
        toJan.takeNotifications();
        return toJan.flagSet();
    }));
    EXPECT_TRUE(toJan.poll());
    EXPECT_EQ(jan.last(), "Proszę zakończyć pracę z programem.");
    EXPECT_EQ(jan.shown()[0].title, "Komunikat");
    EXPECT_FALSE(toJan.poll()) << "the flag was cleared";
    toEwa.takeNotifications();
    EXPECT_FALSE(toEwa.poll()) << "sent to jan only";
    EXPECT_TRUE(ewa.shown().isEmpty());
    EXPECT_FALSE(ini.sectionExists("System")) << "the settings file is not used";
}
