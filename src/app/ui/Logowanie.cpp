#include "app/ui/Logowanie.h"

#include "common/Digest.h"
#include "app/Login.h"
#include "app/ui/Icons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace fenwa::app {

TF_Logowania::TF_Logowania(Registry &registry, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , registry_(registry)
{
    setObjectName(QStringLiteral("F_Logowania"));
    record.wersja = programVersion;
    setWindowTitle(loginCaption(record.wersja));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(icons::product(72, 72));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = new QLabel(QStringLiteral("Nazwa użytkownika:"), this);
    E_Login = new QLineEdit(this);
    E_Login->setObjectName(QStringLiteral("E_Login"));
    E_Login->setMaxLength(40);
    Label1->setBuddy(E_Login);
    Label2 = new QLabel(QStringLiteral("Hasło:"), this);
    E_Haslo = new QLineEdit(this);
    E_Haslo->setObjectName(QStringLiteral("E_Haslo"));
    E_Haslo->setEchoMode(QLineEdit::Password);
    Label2->setBuddy(E_Haslo);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Anuluj"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(Abort); });

    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(E_Login, 1, 0);
    fields->addWidget(Label2, 2, 0);
    fields->addWidget(E_Haslo, 3, 0);
    fields->setRowStretch(4, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addSpacing(8);
    top->addLayout(fields, 1);
    auto *all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttons);
    E_Login->setMinimumWidth(220);
    setTabOrder(E_Login, E_Haslo);
    setTabOrder(E_Haslo, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    E_Login->setText(registry_.lastLogin());
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

TF_Logowania::~TF_Logowania()
{
    registry_.setLastLogin(E_Login->text());
}

void TF_Logowania::done(int result)
{
    record.haslo = passwordDigest(E_Haslo->text());
    QDialog::done(result);
}

void TF_Logowania::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Without a remembered login the name comes first.
    (E_Login->text().isEmpty() ? E_Login : E_Haslo)->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace fenwa::app
