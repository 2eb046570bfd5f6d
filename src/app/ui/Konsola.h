#pragma once
// The main window: menus, toolbar, status bar; the password-age warning, the
// closing question and the receiving of broadcast messages.
//
// Commands carried out by other windows are signals, emitted only when the
// current user has the right the command needs (a missing right: nothing
// happens, nothing is shown). The owner of the windows connects them.
#include "admin/IniFile.h"
#include "app/Broadcast.h"
#include "common/Clock.h"
#include "common/Messages.h"
#include "common/CurrentUser.h"
#include "common/OpenRegister.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QVector>

class QMenu;
class QAction;
class QLabel;
class QSocketNotifier;
class QTimer;
class QToolBar;
class QToolButton;

namespace fenwa::app {

class TF_Konsola : public QMainWindow {
    Q_OBJECT
public:
    // Kinds of the single-criterion report, in menu order.
    enum class Kryterium { Rozdzialy = 0, Paragrafy, Zrodla, Choroby, Gatunki };

    // One dictionary item: caption, tab object of the dictionaries window.
    struct Slownik {
        QString caption;
        QString tab;
    };
    static const QVector<Slownik> &slowniki();   // the 14 items in menu order

    // Runs the creation: caption, rights, size, status bar and the password-age warning.
    TF_Konsola(const CurrentUser &user, Messages &messages, Clock &clock, admin::IniFile &ini,
               const QString &osUser, QWidget *parent = nullptr);
    ~TF_Konsola() override;

    // The installation kind from the settings window: caption suffix (once)
    // and the items "Jednostki podległe" and "Pracownie" of the menu bar and
    // of the toolbar's drop-down, shown only in a voivodeship installation.
    void applyInstallationKind(int p_w);

    // Starts reading the broadcast flag whenever the program waits for input.
    void startIdleWatch();
    void stopIdleWatch();
    // One idle pass (also what the event-loop hook runs).
    bool pollBroadcast();
    // On a server installation: the broadcast comes from the server, read as
    // soon as its notification arrives on the connection's socket.
    void listenForBroadcasts(std::unique_ptr<data::ServerBroadcast> server);
    // "Dane: …" in the status bar: where the installation's data is, briefly
    // (the narrow window holds little), the whole place in its tool tip.
    void showDataPlace(const QString &brief, const QString &place);

    // The open register and the chosen group (filled by the register's windows).
    OpenRegister reg;

    // Menu bar.
    QMenu *Plik1, *Raporty1, *Slowniki1, *Funkcjetechniczne1;
    QAction *Otwrz1, *Zakocz1;
    QMenu *Wydatki1, *Koszty1;
    QVector<QAction *> Wydatki, Koszty;   // 5 single-criterion items, "wg wybranych kryteriów", "realizacja planów"
    QAction *Przegladaniepozycji1;
    QVector<QAction *> SlownikiMenu;      // 14 items
    QAction *Ustawienia1;
    QMenu *Obslugabazy1;
    QAction *Indeksowanie1, *Pakowanie1, *Archiwizowanie1, *Odtwarzanie1;
    QAction *Uzytkownicy1, *Oprogramie1;

    // Toolbar and its drop-down menus.
    QToolBar *ToolBar1;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton4, *ToolButton7, *ToolButton9, *ToolButton10;
    QMenu *PopupActionBar1, *PopupActionBar2, *PopupActionBar3;
    QAction *PopupUstawienia;             // always enabled; inert for a user without admin

    const CurrentUser &user() const { return user_; }

signals:
    void otworzRequested();                                  // edycja or przeglad
    void raportProstyRequested(bool koszty, TF_Konsola::Kryterium kryterium);   // przeglad
    void raportZlozonyRequested(bool koszty);                // przeglad
    void realizacjaPlanowRequested(bool koszty);             // przeglad
    void przegladaniePozycjiRequested();                     // przeglad
    void slownikRequested(const QString &tab);               // no right needed to open
    void ustawieniaRequested();                              // admin
    void indeksowanieRequested();
    void pakowanieRequested();
    void archiwizowanieRequested();                          // arc
    void odtwarzanieRequested();                             // admin
    void uzytkownicyRequested();
    void oProgramieRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    QMenu *reportMenu(const QString &title, bool koszty, QVector<QAction *> &items, QWidget *parent);
    void fillTechnical(QMenu *menu, QAction *settings);
    void onIdle();
    void watchSocket(int socket);

    const CurrentUser &user_;
    Messages &messages_;
    Clock &clock_;
    BroadcastReceiver receiver_;
    QMetaObject::Connection idleHook_;
    QMetaObject::Connection awakeHook_;
    int wakeups_ = 0;
    QElapsedTimer sincePoll_;
    QTimer *idleRetry_;
    bool showPending_ = false;
    bool sized_ = false;
    // "Jednostki podległe" and "Pracownie" of the menu bar and the drop-down.
    QVector<QAction *> unitItems_;
    QLabel *userLabel_ = nullptr;   // "Użytkownik: …", always in the status bar
    QLabel *placeLabel_ = nullptr;  // "Dane: …", beside it
    QSocketNotifier *broadcastSocket_ = nullptr;
};

} // namespace fenwa::app
