// The users window driven headless: its keys on the users table, closing
// while a row is edited, the current user's row, and the set-password dialog.
#include "WaitUntil.h"
#include "admin/ui/User.h"
#include "Installation.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace fenwa;
using fenwa::admin::TF_User;
using fenwa::admin::TF_UstawHaslo;

namespace {

struct Window : fenwa::testing::Installation {
    QTemporaryDir settings;
    admin::IniFile ini{settings.filePath("fenwa5.ini")};
    TF_UstawHaslo haslo;
    TF_User w{*dane, ini, haslo};

    Window()
    {
        data::Table &t = *dane->T_Passwd;
        t.append();
        t.setValue("Login", "jan");
        t.post();
        t.first();
        messages.clear();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(&w, Qt::Key(k), mods); }
};

} // namespace

TEST(UsersWindow, KeysWorkOnTheTableAndTheWindowStaysOpenWhileARowIsEdited)
{
    Window f;
    f.w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.w));
    data::Table &t = *f.dane->T_Passwd;
    f.key(Qt::Key_Insert, Qt::ControlModifier);
    ASSERT_EQ(t.state(), data::Dataset::State::Insert);
    EXPECT_TRUE(f.w.Zapisz1->isEnabled());
    f.w.BitBtn1->click();
    f.key(Qt::Key_Escape);
    f.w.close();
    EXPECT_TRUE(f.w.isVisible()) << "no way out while the row is open";
    EXPECT_TRUE(f.messages.shown().isEmpty());
    f.key(Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_FALSE(t.editing());
    EXPECT_FALSE(f.w.Zapisz1->isEnabled());

    // A user other than user 1 gets no effect from "Popraw" and no message.
    f.user.user = 2;
    f.key(Qt::Key_F2, Qt::ControlModifier);
    EXPECT_FALSE(t.editing());
    EXPECT_TRUE(f.messages.shown().isEmpty());
    f.w.BitBtn1->click();
    EXPECT_FALSE(f.w.isVisible());
}

TEST(UsersWindow, TheCurrentUsersRowIsSilverWithBoldRedText)
{
    Window f;
    f.user.user_str = "jan";
    f.w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.w));
    data::Table &t = *f.dane->T_Passwd;
    EXPECT_EQ(t.asString("Login"), "jan") << "the window opens on the current user's row";
    const QImage shot = f.w.XDBGrid1->viewport()->grab().toImage();
    auto background = [&](int row) {
        // Right of the check box in the "Admininstrator" column.
        const QRect cell = f.w.XDBGrid1->visualRect(f.w.XDBGrid1->model()->index(row, 1));
        return shot.pixelColor(cell.right() - 10, cell.center().y());
    };
    EXPECT_EQ(background(1), QColor(0xC0, 0xC0, 0xC0)) << "even while selected";
    EXPECT_NE(background(0), QColor(0xC0, 0xC0, 0xC0));
    // "Uprawnienia" stands over the five rights, from the column after "Login".
    const QVector<fenwa::ui::BandedHeader::Piece> bands = f.w.XDBGrid1->bandedHeader()->pieces();
    ASSERT_EQ(bands.size(), 1);
    EXPECT_EQ(bands[0].title, "Uprawnienia");
    EXPECT_EQ(bands[0].firstLogical, 1);
    EXPECT_EQ(bands[0].lastLogical, 5);
}

TEST(UsersWindow, ARefusedPasswordChangeLeavesTheDialogEmpty)
{
    Window f;
    f.w.show();
    int shown = 0;
    f.haslo.run = [&](TF_UstawHaslo &d) {
        ++shown;
        EXPECT_EQ(d.windowTitle(), "Hasło użytkownika admin");
        for (QLineEdit *e : {d.Edit1, d.Edit2, d.Edit3}) {
            EXPECT_TRUE(e->text().isEmpty());
            EXPECT_EQ(e->echoMode(), QLineEdit::Password);
        }
        QTest::keyClicks(d.Edit2, "nowe");
        QTest::keyClicks(d.Edit3, "nowr");
        d.BitBtn1->click();
        return d.result();
    };
    f.w.Zmien1->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(f.messages.texts(), QStringList{"Hasło nie zostało prawidłowo potwierdzone."});
    for (QLineEdit *e : {f.haslo.Edit1, f.haslo.Edit2, f.haslo.Edit3})
        EXPECT_TRUE(e->text().isEmpty());

    // "Anuluj" stops without a word.
    f.messages.clear();
    f.haslo.run = [](TF_UstawHaslo &d) {
        QTest::keyClicks(d.Edit1, "x");
        d.BitBtn2->click();
        return d.result();
    };
    f.w.Zmien1->trigger();
    EXPECT_TRUE(f.messages.shown().isEmpty());
    EXPECT_EQ(f.haslo.result(), TF_UstawHaslo::Abort);
}
