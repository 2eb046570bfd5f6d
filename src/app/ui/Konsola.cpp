#include "app/ui/Konsola.h"

#include "admin/Settings.h"
#include "app/Login.h"
#include "app/ui/Icons.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace fenwa::app {

namespace {
// The idle pass reads the settings file at most this often.
constexpr int idleIntervalMs = 250;

const QStringList reportItems = {
    QStringLiteral("wg rozdziałów"), QStringLiteral("wg paragrafów"),
    QStringLiteral("wg źródeł finansowania"), QStringLiteral("wg chorób"),
    QStringLiteral("wg gatunków zwierząt"),
};

// The dictionaries only a voivodeship installation has.
bool isUnitItem(const QString &tab)
{
    return tab == QLatin1String("Tab_jp") || tab == QLatin1String("Tab_prac");
}
} // namespace

const QVector<TF_Konsola::Slownik> &TF_Konsola::slowniki()
{
    static const QVector<Slownik> items = {
        {QStringLiteral("Rozdziały"), QStringLiteral("Tab_Rozdz")},
        {QStringLiteral("Paragrafy"), QStringLiteral("Tab_Par")},
        {QStringLiteral("Źródła finansowania"), QStringLiteral("Tab_zf")},
        {QStringLiteral("Choroby"), QStringLiteral("Tab_chor")},
        {QStringLiteral("Gatunki "), QStringLiteral("Tab_gat")},
        {QStringLiteral("Jednostki miary"), QStringLiteral("Tab_jm")},
        {QStringLiteral("Czynności"), QStringLiteral("Tab_cz")},
        {QStringLiteral("Badania diagnostyczne chorób zakaźnych zwierząt"), QStringLiteral("Tab_bd")},
        {QStringLiteral("Badania pozostałości chemicznych i biologicznych"), QStringLiteral("Tab_bp")},
        {QStringLiteral("Zakupy"), QStringLiteral("Tab_Zak")},
        {QStringLiteral("Kontrahenci"), QStringLiteral("Tab_kontr")},
        {QStringLiteral("Jednostki podległe"), QStringLiteral("Tab_jp")},
        {QStringLiteral("Pracownie"), QStringLiteral("Tab_prac")},
        {QStringLiteral("Obszary ASF"), QStringLiteral("Tab_ob")},
    };
    return items;
}

TF_Konsola::TF_Konsola(const CurrentUser &user, Messages &messages, Clock &clock, admin::IniFile &ini,
                       const QString &osUser, QWidget *parent)
    : QMainWindow(parent)
    , user_(user)
    , messages_(messages)
    , clock_(clock)
    , receiver_(ini, osUser, messages)
    , idleRetry_(new QTimer(this))
{
    setObjectName(QStringLiteral("F_Konsola"));
    setAttribute(Qt::WA_QuitOnClose, true);
    buildMenus();
    buildToolBar();

    // Creation.
    setWindowTitle(mainCaption(user_.wersja));
    Ustawienia1->setEnabled(user_.admin);
    resize(371, 143);
    statusBar()->setSizeGripEnabled(false);
    // A permanent widget: menu status tips pass over it without removing it.
    userLabel_ = new QLabel(QStringLiteral("Użytkownik: ") + user_.user_str, this);
    statusBar()->addWidget(userLabel_, 1);
    warnPasswordAge(user_, clock_.now(), messages_);

    idleRetry_->setSingleShot(true);
    connect(idleRetry_, &QTimer::timeout, this, &TF_Konsola::onIdle);
}

TF_Konsola::~TF_Konsola()
{
    stopIdleWatch();
}

QMenu *TF_Konsola::reportMenu(const QString &title, bool koszty, QVector<QAction *> &items, QWidget *parent)
{
    auto *menu = new QMenu(title, parent);
    if (items.isEmpty()) {
        for (int i = 0; i < reportItems.size(); ++i) {
            auto *a = new QAction(reportItems[i], this);
            connect(a, &QAction::triggered, this, [this, koszty, i] {
                if (user_.przeglad)
                    emit raportProstyRequested(koszty, Kryterium(i));
            });
            items << a;
        }
        auto *kryt = new QAction(QStringLiteral("wg wybranych kryteriów"), this);
        connect(kryt, &QAction::triggered, this, [this, koszty] {
            if (user_.przeglad)
                emit raportZlozonyRequested(koszty);
        });
        auto *plan = new QAction(QStringLiteral("realizacja planów"), this);
        connect(plan, &QAction::triggered, this, [this, koszty] {
            if (user_.przeglad)
                emit realizacjaPlanowRequested(koszty);
        });
        items << kryt << plan;
    }
    for (int i = 0; i < 5; ++i)
        menu->addAction(items[i]);
    menu->addSeparator();
    menu->addAction(items[5]);
    menu->addSeparator();
    menu->addAction(items[6]);
    return menu;
}

void TF_Konsola::fillTechnical(QMenu *menu, QAction *settings)
{
    menu->addAction(settings);
    auto *sub = menu->addMenu(QStringLiteral("Obsługa bazy danych"));
    if (!Obslugabazy1)
        Obslugabazy1 = sub;
    sub->addAction(Indeksowanie1);
    sub->addAction(Pakowanie1);
    sub->addSeparator();
    sub->addAction(Archiwizowanie1);
    sub->addAction(Odtwarzanie1);
    menu->addAction(Uzytkownicy1);
    menu->addAction(Oprogramie1);
}

void TF_Konsola::buildMenus()
{
    Obslugabazy1 = nullptr;
    // Plik
    Plik1 = menuBar()->addMenu(QStringLiteral("Plik"));
    Otwrz1 = Plik1->addAction(QStringLiteral("Otwórz"));
    Otwrz1->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    connect(Otwrz1, &QAction::triggered, this, [this] {
        if (user_.edycja || user_.przeglad)
            emit otworzRequested();
    });
    Plik1->addSeparator();
    Zakocz1 = Plik1->addAction(QStringLiteral("Zakończ"));
    Zakocz1->setShortcut(QKeySequence(QStringLiteral("Alt+F4")));
    connect(Zakocz1, &QAction::triggered, this, &QWidget::close);

    // Raporty
    Raporty1 = menuBar()->addMenu(QStringLiteral("Raporty"));
    Wydatki1 = reportMenu(QStringLiteral("Wydatki"), false, Wydatki, Raporty1);
    Koszty1 = reportMenu(QStringLiteral("Koszty"), true, Koszty, Raporty1);
    Raporty1->addMenu(Wydatki1);
    Raporty1->addMenu(Koszty1);
    Raporty1->addSeparator();
    Przegladaniepozycji1 = Raporty1->addAction(QStringLiteral("Przeglądanie pozycji"));
    connect(Przegladaniepozycji1, &QAction::triggered, this, [this] {
        if (user_.przeglad)
            emit przegladaniePozycjiRequested();
    });

    // Edycja słowników
    Slowniki1 = menuBar()->addMenu(QStringLiteral("Edycja słowników"));
    for (const Slownik &s : slowniki()) {
        auto *a = Slowniki1->addAction(s.caption);
        const QString tab = s.tab;
        connect(a, &QAction::triggered, this, [this, tab] { emit slownikRequested(tab); });
        SlownikiMenu << a;
        if (isUnitItem(tab))
            unitItems_ << a;
    }

    // Funkcje techniczne
    Funkcjetechniczne1 = menuBar()->addMenu(QStringLiteral("Funkcje techniczne"));
    Ustawienia1 = new QAction(QStringLiteral("Ustawienia"), this);
    PopupUstawienia = new QAction(QStringLiteral("Ustawienia"), this);
    for (QAction *a : {Ustawienia1, PopupUstawienia})
        connect(a, &QAction::triggered, this, [this] {
            if (user_.admin)
                emit ustawieniaRequested();
        });
    Indeksowanie1 = new QAction(QStringLiteral("Indeksowanie"), this);
    connect(Indeksowanie1, &QAction::triggered, this, &TF_Konsola::indeksowanieRequested);
    Pakowanie1 = new QAction(QStringLiteral("Pakowanie"), this);
    connect(Pakowanie1, &QAction::triggered, this, &TF_Konsola::pakowanieRequested);
    Archiwizowanie1 = new QAction(QStringLiteral("Archiwizowanie"), this);
    connect(Archiwizowanie1, &QAction::triggered, this, [this] {
        if (user_.arc)
            emit archiwizowanieRequested();
    });
    Odtwarzanie1 = new QAction(QStringLiteral("Odtwarzanie"), this);
    connect(Odtwarzanie1, &QAction::triggered, this, [this] {
        if (user_.admin)
            emit odtwarzanieRequested();
    });
    Uzytkownicy1 = new QAction(QStringLiteral("Użytkownicy"), this);
    connect(Uzytkownicy1, &QAction::triggered, this, &TF_Konsola::uzytkownicyRequested);
    Oprogramie1 = new QAction(QStringLiteral("O programie Fenwa"), this);
    Oprogramie1->setShortcut(QKeySequence(QStringLiteral("Ctrl+F1")));
    Oprogramie1->setShortcutContext(Qt::ApplicationShortcut);
    connect(Oprogramie1, &QAction::triggered, this, &TF_Konsola::oProgramieRequested);
    fillTechnical(Funkcjetechniczne1, Ustawienia1);

    // Drop-down menus of the toolbar: the same actions.
    PopupActionBar1 = new QMenu(this);
    PopupActionBar1->setObjectName(QStringLiteral("PopupActionBar1"));
    PopupActionBar1->addMenu(reportMenu(QStringLiteral("Wydatki"), false, Wydatki, PopupActionBar1));
    PopupActionBar1->addMenu(reportMenu(QStringLiteral("Koszty"), true, Koszty, PopupActionBar1));
    PopupActionBar1->addSeparator();
    PopupActionBar1->addAction(Przegladaniepozycji1);

    PopupActionBar2 = new QMenu(this);
    PopupActionBar2->setObjectName(QStringLiteral("PopupActionBar2"));
    for (int i = 0; i < SlownikiMenu.size(); ++i) {
        const QString tab = slowniki()[i].tab;
        if (tab == QLatin1String("Tab_ob"))
            continue;
        auto *copy = PopupActionBar2->addAction(slowniki()[i].caption);
        connect(copy, &QAction::triggered, this, [this, tab] { emit slownikRequested(tab); });
        if (isUnitItem(tab))
            unitItems_ << copy;
    }

    PopupActionBar3 = new QMenu(this);
    PopupActionBar3->setObjectName(QStringLiteral("PopupActionBar3"));
    fillTechnical(PopupActionBar3, PopupUstawienia);
}

void TF_Konsola::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(40, 40));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto button = [this](const char *name, icons::Tool picture, const QString &hint) {
        auto *b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setIcon(QIcon(icons::tool(picture)));
        b->setIconSize(QSize(40, 40));
        b->setFixedSize(47, 46);
        b->setAutoRaise(true);
        b->setToolTip(hint);
        ToolBar1->addWidget(b);
        return b;
    };
    ToolButton1 = button("ToolButton1", icons::Tool::Open, QStringLiteral("Otwórz (Ctrl+O)"));
    connect(ToolButton1, &QToolButton::clicked, Otwrz1, &QAction::trigger);
    ToolButton2 = button("ToolButton2", icons::Tool::Exit, QStringLiteral("Zakończ (Alt+F4)"));
    connect(ToolButton2, &QToolButton::clicked, Zakocz1, &QAction::trigger);
    ToolBar1->addSeparator();
    ToolButton4 = button("ToolButton4", icons::Tool::Reports, QString());
    connect(ToolButton4, &QToolButton::clicked, this, [this] { PopupActionBar1->popup(QCursor::pos()); });
    ToolBar1->addSeparator();
    ToolButton7 = button("ToolButton7", icons::Tool::Dictionaries, QStringLiteral("Edycja słowników"));
    connect(ToolButton7, &QToolButton::clicked, this, [this] { PopupActionBar2->popup(QCursor::pos()); });
    ToolBar1->addSeparator();
    ToolButton9 = button("ToolButton9", icons::Tool::Settings, QStringLiteral("Ustawienia"));
    connect(ToolButton9, &QToolButton::clicked, this, [this] { PopupActionBar3->popup(QCursor::pos()); });
    ToolButton10 = button("ToolButton10", icons::Tool::About, QStringLiteral("O programie Fenwa (Ctrl+F1)"));
    connect(ToolButton10, &QToolButton::clicked, Oprogramie1, &QAction::trigger);
}

void TF_Konsola::applyInstallationKind(int p_w)
{
    setWindowTitle(admin::captionWithKind(windowTitle(), p_w));
    for (QAction *a : std::as_const(unitItems_))
        a->setVisible(p_w == 1);
}

void TF_Konsola::closeEvent(QCloseEvent *event)
{
    if (messages_.question(QStringLiteral("Zakończyć pracę programu"), QStringLiteral("Pytanie")))
        event->accept();
    else
        event->ignore();
}

void TF_Konsola::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (sized_)
        return;
    sized_ = true;
    // 371 x 143 for the whole window, frame included, centred on the screen.
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(QSize(371, 143) - frame);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(371 / 2, 143 / 2));
}

bool TF_Konsola::pollBroadcast()
{
    return receiver_.poll();
}

void TF_Konsola::listenForBroadcasts(std::unique_ptr<data::ServerBroadcast> server)
{
    watchSocket(receiver_.listenOn(std::move(server)));
}

// Reading what arrives at once keeps the socket from waking the loop again;
// the idle pass that follows asks the server for the flag.
void TF_Konsola::watchSocket(int socket)
{
    if (broadcastSocket_ && broadcastSocket_->socket() == socket)
        return;
    if (broadcastSocket_) {
        // Possibly called from the notifier's own signal.
        broadcastSocket_->setEnabled(false);
        broadcastSocket_->deleteLater();
        broadcastSocket_ = nullptr;
    }
    if (socket < 0)
        return;
    broadcastSocket_ = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(broadcastSocket_, &QSocketNotifier::activated, this, [this] {
        ++wakeups_;
        watchSocket(receiver_.takeNotifications());
    });
}

void TF_Konsola::showDataPlace(const QString &brief, const QString &place)
{
    if (!placeLabel_) {
        placeLabel_ = new QLabel(this);
        statusBar()->addPermanentWidget(placeLabel_);
    }
    placeLabel_->setText(QStringLiteral("Dane: ") + brief);
    placeLabel_->setToolTip(QStringLiteral("Dane: ") + place);
}

void TF_Konsola::startIdleWatch()
{
    if (idleHook_)
        return;
    auto *dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    idleHook_ = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TF_Konsola::onIdle);
    awakeHook_ = connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] { ++wakeups_; });
}

void TF_Konsola::stopIdleWatch()
{
    if (idleHook_)
        disconnect(idleHook_);
    if (awakeHook_)
        disconnect(awakeHook_);
    idleHook_ = {};
    awakeHook_ = {};
    idleRetry_->stop();
}

// The event loop is about to wait for input. Read this user's flag at most a
// few times a second; an idle moment skipped for that reason is made up by a
// timer (only when something happened since the last reading, so a program
// left alone goes to sleep). The box is shown from a queued call, not from
// inside the dispatcher.
void TF_Konsola::onIdle()
{
    if (showPending_)
        return;
    if (sincePoll_.isValid() && sincePoll_.elapsed() < idleIntervalMs) {
        if (wakeups_ > 0 && !idleRetry_->isActive())
            idleRetry_->start(int(idleIntervalMs - sincePoll_.elapsed()) + 1);
        return;
    }
    sincePoll_.start();
    wakeups_ = 0;
    if (!receiver_.flagSet())
        return;
    showPending_ = true;
    QTimer::singleShot(0, this, [this] {
        receiver_.poll();
        showPending_ = false;
    });
}

} // namespace fenwa::app
