#include "admin/ui/User.h"

#include "data/Guard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenuBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace fenwa::admin {

namespace {

// Paints the current user's row silver with bold red text, selected or not;
// cells are edited by the grid's own delegate.
class CurrentUserLook : public QStyledItemDelegate {
public:
    CurrentUserLook(std::function<bool(int row)> isCurrentUser, QAbstractItemDelegate *editing, QObject *parent)
        : QStyledItemDelegate(parent), isCurrentUser_(std::move(isCurrentUser)), editing_(editing)
    {
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        return editing_->createEditor(parent, option, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!isCurrentUser_(index.row()))
            return;
        option->state &= ~QStyle::State_Selected;
        option->backgroundBrush = QColor(0xC0, 0xC0, 0xC0);
        option->palette.setColor(QPalette::Text, Qt::red);
        option->font.setBold(true);
    }

private:
    std::function<bool(int)> isCurrentUser_;
    QAbstractItemDelegate *editing_;
};

} // namespace

TF_User::TF_User(data::TF_Dane &dane, IniFile &ini, TF_UstawHaslo &ustawHaslo, QWidget *parent)
    : QDialog(parent), dane_(dane), ini_(ini), ustawHaslo_(ustawHaslo), logic_(dane)
{
    setObjectName(QStringLiteral("F_User"));
    setWindowTitle(QStringLiteral("Zarządzanie użytkownikami"));
    resize(980, 420);

    MainMenu1 = new QMenuBar(this);
    QMenu *haslo = MainMenu1->addMenu(QStringLiteral("Hasło"));
    Zmien1 = haslo->addAction(QStringLiteral("Zmień"), this, &TF_User::Zmien);
    UsunHaslo1 = haslo->addAction(QStringLiteral("Usuń"), this, &TF_User::ResetujHaslo);
    QMenu *uzytkownik = MainMenu1->addMenu(QStringLiteral("Użytkownik"));
    auto item = [this, uzytkownik](const QString &text, const QKeySequence &key,
                                   const std::function<void(data::Table &)> &command) {
        QAction *a = uzytkownik->addAction(text, this, [this, command] { record(command); });
        a->setShortcut(key);
        return a;
    };
    Dodaj1 = item(QStringLiteral("Dodaj"), QKeySequence(Qt::CTRL | Qt::Key_Insert), [](data::Table &t) { t.append(); });
    Usun1 = item(QStringLiteral("Usuń"), QKeySequence(Qt::CTRL | Qt::Key_Delete), [](data::Table &t) { t.remove(); });
    Popraw1 = item(QStringLiteral("Popraw"), QKeySequence(Qt::CTRL | Qt::Key_F2), [](data::Table &t) { t.edit(); });
    Zapisz1 = item(QStringLiteral("Zapisz"), QKeySequence(Qt::CTRL | Qt::Key_S), [](data::Table &t) {
        if (t.editing())
            t.post();
    });
    Anuluj1 = item(QStringLiteral("Anuluj"), QKeySequence(Qt::CTRL | Qt::Key_Escape), [](data::Table &t) {
        if (t.editing())
            t.cancel();
    });
    Alert1 = MainMenu1->addAction(QStringLiteral("Alert"), this, &TF_User::Alert);

    XDBGrid1 = new fenwa::ui::DbGrid(this);
    XDBGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    XDBGrid1->bind(dane_.T_Passwd,
                   {{.field = QStringLiteral("Login"), .title = QStringLiteral("Login"), .width = 160},
                    {.field = QStringLiteral("Admin"), .title = QStringLiteral("Admininstrator"), .width = 100, .check = true},
                    {.field = QStringLiteral("Slowniki"), .title = QStringLiteral("Edycja slowników"), .width = 110, .check = true},
                    {.field = QStringLiteral("Edit"), .title = QStringLiteral("Edycja danych"), .width = 100, .check = true},
                    {.field = QStringLiteral("Browse"), .title = QStringLiteral("Przeglądanie danych"), .width = 130, .check = true},
                    {.field = QStringLiteral("Arc"), .title = QStringLiteral("Archiwizacja"), .width = 90, .check = true},
                    {.field = QStringLiteral("Active"), .title = QStringLiteral("Użytkownik aktywny"), .width = 130, .check = true}},
                   &dane_.messages());
    XDBGrid1->setHeaderBands({{QStringLiteral("Uprawnienia"),
                               {QStringLiteral("Admin"), QStringLiteral("Slowniki"), QStringLiteral("Edit"),
                                QStringLiteral("Browse"), QStringLiteral("Arc")}}});
    XDBGrid1->setItemDelegate(new CurrentUserLook([this](int row) { return logic_.isCurrentUserRow(row); },
                                                  XDBGrid1->itemDelegate(), this));
    XDBNavigator1 = new fenwa::ui::DbNavigator(this);
    XDBNavigator1->bind(dane_.T_Passwd, &dane_.messages());
    BitBtn1 = new QPushButton(QStringLiteral("&Wyjście"), this);
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    auto *bar = new QHBoxLayout;
    bar->addWidget(XDBNavigator1);
    bar->addStretch();
    bar->addWidget(BitBtn1);
    auto *lay = new QVBoxLayout(this);
    lay->setMenuBar(MainMenu1);
    lay->setContentsMargins(4, 4, 4, 4);
    lay->setSpacing(0);
    lay->addWidget(XDBGrid1, 1);
    lay->addSpacing(4);
    lay->addLayout(bar);

    connect(dane_.DS_Passwd, &data::DataSource::stateChanged, this, &TF_User::updateMenu);

    askText = [this](const QString &proposed) -> std::optional<QString> {
        QInputDialog ask(this);
        ask.setWindowTitle(QStringLiteral("Wysyłanie komunikatu"));
        ask.setLabelText(QStringLiteral("Treść komunikatu:"));
        ask.setTextValue(proposed);
        // Wide enough for the caption and a sentence of the message.
        ask.resize(std::max(ask.sizeHint().width(), 460), ask.sizeHint().height());
        if (ask.exec() != QDialog::Accepted)
            return std::nullopt;
        return ask.textValue();
    };
}

void TF_User::record(const std::function<void(data::Table &)> &command)
{
    data::guarded(dane_.messages(), [&] { command(*dane_.T_Passwd); });
    updateMenu();
}

void TF_User::updateMenu()
{
    const bool editing = dane_.T_Passwd->editing();
    Zapisz1->setEnabled(editing);
    Anuluj1->setEnabled(editing);
    Zmien1->setEnabled(!editing);
    UsunHaslo1->setEnabled(!editing);
}

void TF_User::Zmien()
{
    logic_.changePassword([this](const QString &caption) { return ustawHaslo_.ask(caption); });
}

void TF_User::ResetujHaslo() { logic_.resetPassword(); }

void TF_User::Alert() { logic_.sendBroadcast(ini_, askText); }

void TF_User::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    logic_.activate();
    updateMenu();
    XDBGrid1->setFocus();
}

void TF_User::done(int result)
{
    if (dane_.T_Passwd->editing())
        return;
    QDialog::done(result);
}

} // namespace fenwa::admin
