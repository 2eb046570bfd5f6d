#include "WaitUntil.h"
#include "app/ui/Konsola.h"
#include "common/ScriptedMessages.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <tuple>

using namespace fenwa;
using namespace fenwa::app;
using fenwa::admin::IniFile;
using fenwa::testing::waitUntil;

namespace {
class KonsolaTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    IniFile ini{dir.filePath("fenwa5.ini")};
    ScriptedMessages messages;
    Clock clock;
    CurrentUser user;

    void SetUp() override
    {
        user.wersja = "[14.09.2016]";
        user.user = 2;
        user.user_str = "jan";
        user.data = QDate(2016, 9, 1);
        clock.set(QDateTime(QDate(2016, 9, 14), QTime(9, 0)));
    }
    std::unique_ptr<TF_Konsola> make() { return std::make_unique<TF_Konsola>(user, messages, clock, ini, "jan"); }
};

QStringList captions(const QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << (a->isSeparator() ? QString("-") : a->text());
    return out;
}

QStringList visibleCaptions(const QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        if (a->isVisible() && !a->isSeparator())
            out << a->text();
    return out;
}

// Counts emissions of a signal and keeps the arguments of the last one.
template <typename... Args> struct Spy {
    int n = 0;
    std::tuple<std::decay_t<Args>...> last;
    template <typename Obj> Spy(Obj *o, void (Obj::*sig)(Args...))
    {
        QObject::connect(o, sig, [this](Args... a) {
            ++n;
            last = std::make_tuple(a...);
        });
    }
    int count() const { return n; }
};
} // namespace

TEST_F(KonsolaTest, CreationCaptionStatusAndSize)
{
    auto w = make();
    EXPECT_EQ(w->windowTitle(), "Fenwa5 - [14.09.2016]");
    EXPECT_TRUE(messages.shown().isEmpty());
    w->show();
    // A menu's status tips come and go; the user stays in the status bar.
    for (const char *tip : {"Otwarcie rejestru", ""}) {
        QStatusTipEvent event(QString::fromUtf8(tip));
        QApplication::sendEvent(w.get(), &event);
    }
    const auto labels = w->statusBar()->findChildren<QLabel *>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel *l) {
        return l->isVisible() && l->text() == QStringLiteral("Użytkownik: jan");
    }));
    QApplication::processEvents();
    EXPECT_LE(w->frameGeometry().width(), 371 + 2);
    EXPECT_GE(w->frameGeometry().width(), 371 - 2);
    EXPECT_EQ(w->frameGeometry().height(), 143);
}

TEST_F(KonsolaTest, MenusInOrder)
{
    auto w = make();
    QStringList bar;
    for (QAction *a : w->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, QStringList({"Plik", "Raporty", "Edycja słowników", "Funkcje techniczne"}));
    EXPECT_EQ(captions(w->Plik1), QStringList({"Otwórz", "-", "Zakończ"}));
    EXPECT_EQ(w->Otwrz1->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(captions(w->Raporty1), QStringList({"Wydatki", "Koszty", "-", "Przeglądanie pozycji"}));
    const QStringList reports = {"wg rozdziałów", "wg paragrafów", "wg źródeł finansowania", "wg chorób",
                                 "wg gatunków zwierząt", "-", "wg wybranych kryteriów", "-", "realizacja planów"};
    EXPECT_EQ(captions(w->Wydatki1), reports);
    EXPECT_EQ(captions(w->Koszty1), reports);
    const QStringList dict = captions(w->Slowniki1);
    ASSERT_EQ(dict.size(), 14);
    EXPECT_EQ(dict[4], "Gatunki ");
    EXPECT_EQ(dict[13], "Obszary ASF");
    EXPECT_EQ(captions(w->Funkcjetechniczne1),
              QStringList({"Ustawienia", "Obsługa bazy danych", "Użytkownicy", "O programie Fenwa"}));
    EXPECT_EQ(captions(w->Obslugabazy1),
              QStringList({"Indeksowanie", "Pakowanie", "-", "Archiwizowanie", "Odtwarzanie"}));
    EXPECT_EQ(w->Oprogramie1->shortcut(), QKeySequence("Ctrl+F1"));
}

TEST_F(KonsolaTest, ToolbarButtonsAndDropDowns)
{
    auto w = make();
    const QList<QToolButton *> buttons = w->ToolBar1->findChildren<QToolButton *>(QRegularExpression("^ToolButton"));
    ASSERT_EQ(buttons.size(), 6);
    for (QToolButton *b : buttons) {
        EXPECT_EQ(b->size(), QSize(47, 46)) << qPrintable(b->objectName());
        EXPECT_EQ(b->icon().pixmap(40, 40).size(), QSize(40, 40));
    }
    EXPECT_EQ(w->ToolButton1->toolTip(), "Otwórz (Ctrl+O)");
    EXPECT_EQ(w->ToolButton2->toolTip(), "Zakończ (Alt+F4)");
    EXPECT_TRUE(w->ToolButton4->toolTip().isEmpty());
    EXPECT_EQ(w->ToolButton7->toolTip(), "Edycja słowników");
    EXPECT_EQ(w->ToolButton9->toolTip(), "Ustawienia");
    EXPECT_EQ(w->ToolButton10->toolTip(), "O programie Fenwa (Ctrl+F1)");
    EXPECT_EQ(captions(w->PopupActionBar1), QStringList({"Wydatki", "Koszty", "-", "Przeglądanie pozycji"}));
    const QStringList dict = captions(w->PopupActionBar2);
    ASSERT_EQ(dict.size(), 13);
    EXPECT_FALSE(dict.contains("Obszary ASF"));
    EXPECT_EQ(captions(w->PopupActionBar3),
              QStringList({"Ustawienia", "Obsługa bazy danych", "Użytkownicy", "O programie Fenwa"}));
}

TEST_F(KonsolaTest, SettingsForAdministratorsOnly)
{
    user.admin = false;
    auto w = make();
    Spy spy(w.get(), &TF_Konsola::ustawieniaRequested);
    EXPECT_FALSE(w->Ustawienia1->isEnabled());
    EXPECT_TRUE(w->PopupUstawienia->isEnabled());
    w->PopupUstawienia->trigger();
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(messages.shown().isEmpty());

    user.admin = true;
    auto a = make();
    Spy adminSpy(a.get(), &TF_Konsola::ustawieniaRequested);
    EXPECT_TRUE(a->Ustawienia1->isEnabled());
    a->Ustawienia1->trigger();
    a->PopupUstawienia->trigger();
    EXPECT_EQ(adminSpy.count(), 2);
}

TEST_F(KonsolaTest, MissingRightsDoNothing)
{
    auto w = make();   // no rights at all
    Spy open(w.get(), &TF_Konsola::otworzRequested);
    Spy simple(w.get(), &TF_Konsola::raportProstyRequested);
    Spy browse(w.get(), &TF_Konsola::przegladaniePozycjiRequested);
    Spy arc(w.get(), &TF_Konsola::archiwizowanieRequested);
    Spy restore(w.get(), &TF_Konsola::odtwarzanieRequested);
    Spy users(w.get(), &TF_Konsola::uzytkownicyRequested);
    Spy dict(w.get(), &TF_Konsola::slownikRequested);
    w->Otwrz1->trigger();
    w->Wydatki[0]->trigger();
    w->Przegladaniepozycji1->trigger();
    w->Archiwizowanie1->trigger();
    w->Odtwarzanie1->trigger();
    w->Uzytkownicy1->trigger();
    w->SlownikiMenu[13]->trigger();
    EXPECT_EQ(open.count() + simple.count() + browse.count() + arc.count() + restore.count(), 0);
    EXPECT_EQ(users.count(), 1) << "the users window needs no right to open";
    ASSERT_EQ(dict.count(), 1);
    EXPECT_EQ(std::get<0>(dict.last), "Tab_ob");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(KonsolaTest, RightsLetCommandsThrough)
{
    user.przeglad = true;
    user.arc = true;
    auto w = make();
    Spy open(w.get(), &TF_Konsola::otworzRequested);
    Spy simple(w.get(), &TF_Konsola::raportProstyRequested);
    Spy multi(w.get(), &TF_Konsola::raportZlozonyRequested);
    Spy plan(w.get(), &TF_Konsola::realizacjaPlanowRequested);
    Spy arc(w.get(), &TF_Konsola::archiwizowanieRequested);
    w->Otwrz1->trigger();
    w->Koszty[3]->trigger();
    w->Wydatki[5]->trigger();
    w->Koszty[6]->trigger();
    w->Archiwizowanie1->trigger();
    EXPECT_EQ(open.count(), 1);
    ASSERT_EQ(simple.count(), 1);
    EXPECT_TRUE(std::get<0>(simple.last)) << "costs";
    EXPECT_EQ(std::get<1>(simple.last), TF_Konsola::Kryterium::Choroby);
    ASSERT_EQ(multi.count(), 1);
    EXPECT_FALSE(std::get<0>(multi.last));
    ASSERT_EQ(plan.count(), 1);
    EXPECT_TRUE(std::get<0>(plan.last));
    EXPECT_EQ(arc.count(), 1);

    user.przeglad = false;
    user.edycja = true;
    auto e = make();
    Spy open2(e.get(), &TF_Konsola::otworzRequested);
    e->Otwrz1->trigger();
    EXPECT_EQ(open2.count(), 1) << "the edit right alone opens registers";
}

TEST_F(KonsolaTest, InstallationKindSuffixOnceAndUnitItems)
{
    auto w = make();
    w->applyInstallationKind(0);
    w->applyInstallationKind(0);
    EXPECT_EQ(w->windowTitle(), "Fenwa5 - [14.09.2016]- powiat");
    EXPECT_FALSE(visibleCaptions(w->Slowniki1).contains("Jednostki podległe"));
    EXPECT_FALSE(visibleCaptions(w->Slowniki1).contains("Pracownie"));
    EXPECT_FALSE(visibleCaptions(w->PopupActionBar2).contains("Jednostki podległe"));
    EXPECT_FALSE(visibleCaptions(w->PopupActionBar2).contains("Pracownie"));
    w->applyInstallationKind(1);
    EXPECT_EQ(w->windowTitle(), "Fenwa5 - [14.09.2016]- województwo");
    EXPECT_EQ(visibleCaptions(w->Slowniki1).size(), 14);
    EXPECT_EQ(visibleCaptions(w->PopupActionBar2).size(), 13);
}

TEST_F(KonsolaTest, PasswordAgeWarningAtCreation)
{
    user.data = QDate(2016, 8, 15);
    clock.set(QDateTime(QDate(2016, 9, 14), QTime(0, 0)));   // exactly 30 days
    make();
    EXPECT_TRUE(messages.shown().isEmpty());
    clock.set(QDateTime(QDate(2016, 9, 14), QTime(0, 0, 1)));
    make();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].title, "Uwaga");
    EXPECT_EQ(messages.shown()[0].kind, Messages::Kind::Warning);
}

TEST_F(KonsolaTest, ClosingAsksEveryTime)
{
    auto w = make();
    w->show();
    messages.answer(false);
    messages.answer(true);
    w->Zakocz1->trigger();
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].kind, Messages::Kind::Question);
    EXPECT_EQ(messages.shown()[0].title, "Pytanie");
    EXPECT_EQ(messages.last(), "Zakończyć pracę programu");
    w->ToolButton2->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(messages.shown().size(), 2);
}

TEST_F(KonsolaTest, BroadcastIsShownWhenTheProgramWaits)
{
    ini.writeString("System", "alert", "Koniec pracy o 15:00");
    ini.writeString("System", "jan", "1");
    auto w = make();
    w->show();
    w->startIdleWatch();
    ASSERT_TRUE(waitUntil([&] { return messages.shown().size() == 1; }));
    EXPECT_EQ(messages.shown()[0].title, "Komunikat");
    EXPECT_EQ(messages.last(), "Koniec pracy o 15:00");
    EXPECT_EQ(ini.readString("System", "jan"), "0");

    // A flag written later by another copy is seen at a later idle moment.
    ini.writeString("System", "alert", "Drugi komunikat");
    ini.writeString("System", "jan", "1");
    QTimer::singleShot(50, [] {});   // some activity
    ASSERT_TRUE(waitUntil([&] { return messages.shown().size() == 2; }));
    EXPECT_EQ(messages.last(), "Drugi komunikat");
    w->stopIdleWatch();
    ini.writeString("System", "jan", "1");
    // Longer than two of the watch's reading intervals.
    EXPECT_FALSE(waitUntil([&] { return messages.shown().size() > 2; }, 600)) << "the watch stopped";
}
