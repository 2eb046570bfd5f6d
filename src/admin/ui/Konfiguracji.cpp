#include "admin/ui/Konfiguracji.h"

#include "admin/Migration.h"
#include "data/EngineError.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace fenwa::admin {

TF_Konfiguracji::TF_Konfiguracji(IniFile &ini, const QString &exeFolder, InspectorateSource &source,
                                 Messages &messages, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , settings_(ini, exeFolder)
    , source_(source)
    , messages_(messages)
{
    setObjectName(QStringLiteral("F_Konfiguracji"));
    setWindowTitle(QStringLiteral("Konfiguracja programu"));
    setModal(false);
    chooseFolder = [](QWidget *owner, const QString &title) {
        return QFileDialog::getExistingDirectory(owner, title, QStringLiteral("/"));
    };
    checkServer = &data::testConnection;

    PageControl1 = new QTabWidget(this);

    // Foldery
    TabSheet1 = new QWidget;
    auto *grid = new QGridLayout(TabSheet1);
    auto row = [&](int r, const QString &caption, QLineEdit *&edit, QPushButton *&button, const char *editName,
                   const char *buttonName) {
        auto *label = new QLabel(caption, TabSheet1);
        edit = new QLineEdit(TabSheet1);
        edit->setObjectName(QLatin1String(editName));
        edit->setMaxLength(260);
        label->setBuddy(edit);
        button = new QPushButton(QStringLiteral("…"), TabSheet1);
        button->setObjectName(QLatin1String(buttonName));
        button->setToolTip(QStringLiteral("Wybierz folder"));
        button->setFixedWidth(32);
        grid->addWidget(label, r * 2, 0, 1, 2);
        grid->addWidget(edit, r * 2 + 1, 0);
        grid->addWidget(button, r * 2 + 1, 1);
        connect(edit, &QLineEdit::textChanged, this, &TF_Konfiguracji::updateOk);
        QLineEdit *target = edit;
        connect(button, &QPushButton::clicked, this, [this, target] { browse(target); });
    };
    row(0, QStringLiteral("Folder danych"), E_FolderDanych, BitBtn3, "E_FolderDanych", "BitBtn3");
    row(1, QStringLiteral("Folder eksportu"), E_FolderEksportu, BitBtn5, "E_FolderEksportu", "BitBtn5");
    row(2, QStringLiteral("Folder archiwizacji"), E_FolderArchiwizacji, BitBtn4, "E_FolderArchiwizacji",
        "BitBtn4");
    BitBtnMigracja = new QPushButton(QStringLiteral("Przenieś dane z poprzedniej wersji…"), TabSheet1);
    BitBtnMigracja->setObjectName(QStringLiteral("BitBtnMigracja"));
    BitBtnMigracja->setToolTip(
        QStringLiteral("Tworzy nowy folder danych z tabel folderu danych poprzedniej wersji programu"));
    connect(BitBtnMigracja, &QPushButton::clicked, this, &TF_Konfiguracji::migrate);
    grid->addWidget(BitBtnMigracja, 6, 0, 1, 2, Qt::AlignLeft);
    grid->setRowStretch(7, 1);
    PageControl1->addTab(TabSheet1, QStringLiteral("Foldery"));

    auto labels = [](QGroupBox *box, QLabel *&a, QLabel *&b, QLabel *&c, const char *na, const char *nb,
                     const char *nc) {
        auto *v = new QVBoxLayout(box);
        for (auto [label, name] : {std::pair{&a, na}, std::pair{&b, nb}, std::pair{&c, nc}}) {
            *label = new QLabel(box);
            (*label)->setObjectName(QLatin1String(name));
            v->addWidget(*label);
        }
    };

    // "Dane WIW" and "Dane PIW": a choice and the three lines of the chosen inspectorate.
    auto inspectorateTab = [&](const QString &title, const QString &choice, QComboBox *&combo,
                               const char *comboName, QGroupBox *&group) {
        auto *tab = new QWidget;
        auto *layout = new QVBoxLayout(tab);
        auto *label = new QLabel(choice, tab);
        combo = new QComboBox(tab);
        combo->setObjectName(QString::fromLatin1(comboName));
        label->setBuddy(combo);
        group = new QGroupBox(title, tab);
        layout->addWidget(label);
        layout->addWidget(combo);
        layout->addWidget(group);
        layout->addStretch(1);
        PageControl1->addTab(tab, title);
        return tab;
    };
    TabSheet3 = inspectorateTab(QStringLiteral("Dane WIW"), QStringLiteral("województwo"), ComboBox1, "ComboBox1",
                                GroupWIW);
    ComboBox1->addItems(knownVoivodeships);
    labels(GroupWIW, Label6, Label7, Label8, "Label6", "Label7", "Label8");
    TabSheet4 = inspectorateTab(QStringLiteral("Dane PIW"), QStringLiteral("powiat"), ComboBox2, "ComboBox2",
                                GroupPIW);
    labels(GroupPIW, Label9, Label10, Label11, "Label9", "Label10", "Label11");

    buildServerTab();

    connect(ComboBox1, &QComboBox::activated, this, [this](int) {
        run().wiw = ComboBox1->currentText();
        run().piw = ComboBox2->currentText();
        lookup(LookupMode::Voivodeship);
        updateOk();
    });
    connect(ComboBox2, &QComboBox::activated, this, [this](int) {
        run().wiw = ComboBox1->currentText();
        run().piw = ComboBox2->currentText();
        lookup(LookupMode::County);
        updateOk();
    });

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Anuluj"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &TF_Konfiguracji::save);
    connect(BitBtn2, &QPushButton::clicked, this, &TF_Konfiguracji::cancel);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);
    auto *all = new QVBoxLayout(this);
    all->addWidget(PageControl1);
    all->addLayout(buttons);
    setMinimumWidth(460);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TF_Konfiguracji::buildServerTab()
{
    TabSerwer = new QWidget;
    TabSerwer->setObjectName(QStringLiteral("TabSerwer"));
    auto *form = new QFormLayout(TabSerwer);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto edit = [&](const QString &caption, const char *name, int maxLength) {
        auto *e = new QLineEdit(TabSerwer);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(maxLength);
        connect(e, &QLineEdit::textChanged, this, &TF_Konfiguracji::updateOk);
        form->addRow(caption, e);
        return e;
    };
    // PostgreSQL names are at most 63 bytes; a host name at most 255.
    E_SerwerHost = edit(QStringLiteral("Serwer"), "E_SerwerHost", 255);
    E_SerwerHost->setPlaceholderText(QStringLiteral("pusty: folder danych"));
    E_SerwerHost->setToolTip(QStringLiteral("Nazwa lub adres serwera PostgreSQL albo folder jego gniazda"));
    SE_SerwerPort = new QSpinBox(TabSerwer);
    SE_SerwerPort->setObjectName(QStringLiteral("SE_SerwerPort"));
    SE_SerwerPort->setRange(1, 65535);
    SE_SerwerPort->setGroupSeparatorShown(false);
    SE_SerwerPort->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(SE_SerwerPort, &QSpinBox::valueChanged, this, &TF_Konfiguracji::updateOk);
    form->addRow(QStringLiteral("Port"), SE_SerwerPort);
    E_SerwerBaza = edit(QStringLiteral("Baza danych"), "E_SerwerBaza", 63);
    E_SerwerUzytkownik = edit(QStringLiteral("Użytkownik"), "E_SerwerUzytkownik", 63);
    E_SerwerSchemat = edit(QStringLiteral("Schemat instalacji"), "E_SerwerSchemat", 63);
    BitBtnTestSerwera = new QPushButton(QStringLiteral("Test połączenia"), TabSerwer);
    BitBtnTestSerwera->setObjectName(QStringLiteral("BitBtnTestSerwera"));
    connect(BitBtnTestSerwera, &QPushButton::clicked, this, &TF_Konfiguracji::testServer);
    BitBtnTestSerwera->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    form->addRow(QString(), BitBtnTestSerwera);
    auto *note = new QLabel(QStringLiteral("Hasła program nie zapisuje: bierze je z pliku .pgpass w folderze "
                                           "domowym użytkownika (wiersze serwer:port:baza:użytkownik:hasło; plik dostępny "
                                           "tylko dla właściciela)."),
                            TabSerwer);
    note->setObjectName(QStringLiteral("LabelHaslo"));
    note->setWordWrap(true);
    form->addRow(note);
    PageControl1->addTab(TabSerwer, QStringLiteral("Serwer"));
}

data::ServerAddress TF_Konfiguracji::typedServer() const
{
    return {E_SerwerHost->text().trimmed(), SE_SerwerPort->value(), E_SerwerBaza->text().trimmed(),
            E_SerwerUzytkownik->text().trimmed(), E_SerwerSchemat->text().trimmed()};
}

void TF_Konfiguracji::showServer(const data::ServerAddress &server)
{
    E_SerwerHost->setText(server.host);
    SE_SerwerPort->setValue(server.port);
    E_SerwerBaza->setText(server.database);
    E_SerwerUzytkownik->setText(server.user);
    E_SerwerSchemat->setText(server.schema);
}

void TF_Konfiguracji::testServer()
{
    if (!checkServer)
        return;
    const data::ServerAddress server = typedServer();
    QString version;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString reason = checkServer(server, &version);
    QApplication::restoreOverrideCursor();
    if (!reason.isEmpty()) {
        messages_.error(reason);
        return;
    }
    messages_.information(QStringLiteral("Połączenie działa: serwer PostgreSQL %1, schemat „%2” zawiera instalację "
                                         "programu.")
                              .arg(version, server.schema),
                          QStringLiteral("Test połączenia"));
}

FolderTexts TF_Konfiguracji::texts() const
{
    return {E_FolderDanych->text(), E_FolderEksportu->text(), E_FolderArchiwizacji->text()};
}

void TF_Konfiguracji::load()
{
    const FolderTexts t = settings_.load();
    E_FolderDanych->setText(t.dane);
    E_FolderEksportu->setText(t.eksport);
    E_FolderArchiwizacji->setText(t.archiwizacja);
    showServer(settings_.server());
    if (!runningFolder_)
        runningFolder_ = run().fd;
    lookup(LookupMode::Initial);
    const int p_w = run().p_w;
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet4), p_w != 1);
    emit installationKind(p_w);
}

void TF_Konfiguracji::lookup(LookupMode mode)
{
    if (mode == LookupMode::Initial)
        ComboBox1->setCurrentIndex(ComboBox1->findText(run().wiw, Qt::MatchExactly | Qt::MatchCaseSensitive));
    try {
        showLookup(settings_.lookup(mode, source_), mode);
    } catch (const data::EngineError &e) {
        messages_.error(e.message());
    }
}

void TF_Konfiguracji::showLookup(const Lookup &l, LookupMode mode)
{
    Label6->setText(l.wiwLabels[0]);
    Label7->setText(l.wiwLabels[1]);
    Label8->setText(l.wiwLabels[2]);
    if (l.countiesFilled) {
        ComboBox2->clear();
        ComboBox2->addItems(l.counties);
        ComboBox2->setCurrentIndex(-1);
    }
    Label9->setText(l.piwLabels[0]);
    Label10->setText(l.piwLabels[1]);
    Label11->setText(l.piwLabels[2]);
    if (mode == LookupMode::Initial)
        ComboBox2->setCurrentIndex(ComboBox2->findText(run().piw, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void TF_Konfiguracji::updateOk()
{
    BitBtn1->setEnabled(Settings::canSave(texts()));
}

void TF_Konfiguracji::showForEditing()
{
    BitBtn1->setEnabled(false);
    show();
    raise();
    activateWindow();
}

void TF_Konfiguracji::browse(QLineEdit *edit)
{
    if (!chooseFolder)
        return;
    const QString picked = chooseFolder(this, QStringLiteral("Wybierz folder"));
    if (picked.isNull())
        return;   // cancelled
    edit->setText(picked.left(260));
}

void TF_Konfiguracji::migrate()
{
    if (!chooseFolder)
        return;
    const QString from = chooseFolder(this, QStringLiteral("Folder danych poprzedniej wersji programu"));
    if (from.isEmpty())
        return;
    const QStringList tables = QDir(from).entryList({QStringLiteral("*.db")}, QDir::Files);
    if (tables.isEmpty()) {
        messages_.error(QStringLiteral("W folderze „%1” nie ma tabel danych do przeniesienia.")
                            .arg(QDir::toNativeSeparators(from)));
        return;
    }
    const QString to = chooseFolder(this, QStringLiteral("Nowy, pusty folder danych"));
    if (to.isEmpty())
        return;

    QProgressDialog progress(QStringLiteral("Przenoszenie danych…"), QString(), 0, int(tables.size()), this);
    progress.setWindowTitle(QStringLiteral("Przenoszenie danych"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    int done = 0;
    MigrationReport report;
    try {
        report = migrateLegacyFolder(from, to, QDate::currentDate(), [&](const QString &file) {
            progress.setLabelText(QStringLiteral("Odczyt tabeli %1").arg(file));
            progress.setValue(std::min(done++, progress.maximum()));
        });
    } catch (const data::EngineError &e) {
        progress.reset();
        messages_.error(e.message());
        return;
    }
    progress.setValue(progress.maximum());
    messages_.information(report.text(), QStringLiteral("Dane przeniesione"));
    if (messages_.question(QStringLiteral("Czy folder „%1” ma być folderem danych programu?")
                               .arg(QDir::toNativeSeparators(to))))
        E_FolderDanych->setText(to.left(260));
}

void TF_Konfiguracji::save()
{
    const data::ServerAddress server = typedServer();
    if (server.isSet() && server.schema.isEmpty()) {
        PageControl1->setCurrentWidget(TabSerwer);
        E_SerwerSchemat->setFocus();
        messages_.error(kServerNeedsSchema);
        return;
    }
    try {
        settings_.save(texts(), ComboBox1->currentText(), ComboBox2->currentText());
        settings_.saveServer(server);
    } catch (const IniWriteError &e) {
        messages_.error(e.message());
        return;
    }
    hide();
    if (runningFolder_ && QDir::cleanPath(run().fd) != QDir::cleanPath(*runningFolder_))
        messages_.information(kDataFolderAtNextStart);
}

void TF_Konfiguracji::cancel()
{
    load();
    hide();
}

} // namespace fenwa::admin
