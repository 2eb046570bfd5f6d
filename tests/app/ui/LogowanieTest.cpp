#include "common/Digest.h"
#include "common/FakeRegistry.h"
#include "app/ui/Logowanie.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::app;
using fenwa::testing::FakeRegistry;

TEST(LoginWindow, CaptionFieldsAndLastLogin)
{
    FakeRegistry reg;
    reg.last = "Kowalski";
    TF_Logowania w(reg);
    EXPECT_EQ(w.windowTitle(), "Logowanie: Fenwa5 - [14.09.2016]");
    EXPECT_EQ(w.record.wersja, "[14.09.2016]");
    EXPECT_EQ(w.E_Login->text(), "Kowalski");
    EXPECT_EQ(w.E_Haslo->echoMode(), QLineEdit::Password);
    EXPECT_EQ(w.Label1->text(), "Nazwa użytkownika:");
    EXPECT_EQ(w.Label2->text(), "Hasło:");
    EXPECT_EQ(w.BitBtn2->text(), "Anuluj");
    EXPECT_TRUE(w.BitBtn1->isDefault());
}

TEST(LoginWindow, OkComputesTheDigest)
{
    FakeRegistry reg;
    TF_Logowania w(reg);
    QTimer::singleShot(0, &w, [&] {
        w.E_Login->setText("jan");
        w.E_Haslo->setText("Zażółć");
        w.BitBtn1->click();
    });
    EXPECT_EQ(w.exec(), QDialog::Accepted);
    EXPECT_EQ(w.record.haslo, passwordDigest("Zażółć"));
}

TEST(LoginWindow, AnulujAndEscapeEndWithoutOk)
{
    FakeRegistry reg;
    TF_Logowania w(reg);
    QTimer::singleShot(0, &w, [&] { w.BitBtn2->click(); });
    EXPECT_EQ(w.exec(), TF_Logowania::Abort);
    EXPECT_EQ(w.record.haslo, passwordDigest(""));

    TF_Logowania esc(reg);
    QTimer::singleShot(0, &esc, [&] {
        esc.E_Haslo->setText("abc");
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&esc, &key);
    });
    EXPECT_EQ(esc.exec(), QDialog::Rejected);
    EXPECT_EQ(esc.record.haslo, passwordDigest("abc")) << "the digest is made whenever the window closes";
}

TEST(LoginWindow, ShowingFocusesThePasswordOrAnEmptyName)
{
    for (const char *last : {"admin", ""}) {
        FakeRegistry reg;
        reg.last = last;
        TF_Logowania w(reg);
        w.show();
        QApplication::processEvents();
        w.activateWindow();
        QApplication::processEvents();
        EXPECT_EQ(w.focusWidget(), *last ? w.E_Haslo : w.E_Login) << "last login: " << last;
    }
}

TEST(LoginWindow, TypedLoginIsSavedWhenTheWindowGoes)
{
    FakeRegistry reg;
    reg.last = "stary";
    {
        TF_Logowania w(reg);
        w.E_Login->setText("nowy");
        EXPECT_EQ(reg.lastWrites, 0);
    }
    EXPECT_EQ(reg.last, "nowy");
    EXPECT_EQ(reg.lastWrites, 1);
}
