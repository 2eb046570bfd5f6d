#include "register/ui/EdPoz.h"

#include "common/Numbers.h"
#include "common/ui/DateField.h"
#include "data/Checks.h"
#include "data/Guard.h"
#include "data/Schema.h"
#include "register/PositionAmounts.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace fenwa::reg::ui {

using fenwa::ui::LookupColumn;
using fenwa::ui::LookupCombo;

namespace {

const QString kData = QStringLiteral("Data");
// Fields that must be filled before OK is enabled.
const QStringList kRequired = {QStringLiteral("Cz"),    QStringLiteral("Kontr"), QStringLiteral("zf"),
                               QStringLiteral("jm"),    QStringLiteral("ilosc"), kData,
                               QStringLiteral("cena"),  QStringLiteral("brutto"), QStringLiteral("Pks"),
                               QStringLiteral("Fak")};
// The picker's lowest date stands for a blank date.
const QDate kNoDate(1900, 1, 1);
const QColor kEmptyColour(Qt::yellow);

// The stored length of a text field of positions (the file need not be open yet).
int textLimit(const QString &field)
{
    for (const data::FieldDef &f : data::schema::positionsTable().fields)
        if (f.name.compare(field, Qt::CaseInsensitive) == 0)
            return f.size;
    return 32767;
}

std::optional<double> amountValue(const data::Dataset &t, const QString &field)
{
    if (t.isNull(field))
        return std::nullopt;
    return t.asFloat(field);
}

} // namespace

TF_EdPoz::TF_EdPoz(data::TF_Dane &dane, QWidget *parent) : QDialog(parent), dane_(dane), poz_(*dane.T_Poz)
{
    setObjectName(QStringLiteral("F_EdPoz"));
    setWindowTitle(QStringLiteral("Nowa pozycja"));
    runModal = [](TF_EdPoz &w) { return w.exec(); };
    build();
    setInstallationKind(dane.settings().p_w);
    // Whatever window changes the record, the controls and OK follow it.
    connect(dane_.DS_Poz, &data::DataSource::dataChanged, this, [this] {
        if (isVisible() && poz_.editing()) {
            loadControls();
            checkComplete();
        }
    });
}

void TF_EdPoz::build()
{
    auto *form = new QGridLayout;
    form->setColumnStretch(1, 1);
    int row = 0;
    auto label = [&](const QString &text, QGridLayout *grid, int at) {
        auto *l = new QLabel(text, this);
        grid->addWidget(l, at, 0);
        return l;
    };
    auto text = [&](const QString &caption, const QString &field) {
        auto *e = new QLineEdit(this);
        e->setMaxLength(textLimit(field));
        label(caption, form, row)->setBuddy(e);
        form->addWidget(e, row++, 1, 1, 2);
        connect(e, &QLineEdit::textEdited, this, [this, field](const QString &typed) {
            write(field, typed);
            checkComplete();
        });
        return e;
    };
    auto lookup = [&](const QString &caption, const QString &field, data::Dataset *dictionary,
                      QVector<LookupColumn> columns, int page) {
        return addLookup(form, row++, caption, field, dictionary, std::move(columns), page);
    };

    DateTimePicker1 = new fenwa::ui::DateField(this);
    DateTimePicker1->setMinimumDate(kNoDate);
    DateTimePicker1->setSpecialValueText(QStringLiteral(" "));
    label(QStringLiteral("Data"), form, row)->setBuddy(DateTimePicker1);
    form->addWidget(DateTimePicker1, row++, 1, Qt::AlignLeft);
    connect(DateTimePicker1, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        if (loading_ || !poz_.editing())
            return;
        write(kData, d == kNoDate ? QVariant() : QVariant(d));
        checkComplete();
    });

    E_Pks = text(QStringLiteral("Pozycja księgowa"), QStringLiteral("Pks"));
    E_Fak = text(QStringLiteral("Nr dokumentu"), QStringLiteral("Fak"));
    const QString name = QStringLiteral("Nazwa");
    C_Kontr = lookup(QStringLiteral("Kontrahent"), QStringLiteral("Kontr"), dane_.T_kontr,
                     {{name, QStringLiteral("Nazwa kontrahenta"), 240},
                      {QStringLiteral("im_naz"), QStringLiteral("Nazwisko i imię"), 160}},
                     PageKontr);
    C_Ch = lookup(QStringLiteral("Choroba"), QStringLiteral("Ch"), dane_.T_Ch,
                  {{QStringLiteral("Ch"), QStringLiteral("Nazwa choroby"), 240}}, PageCh);
    C_Gat = lookup(QStringLiteral("Gatunek zwierzęcia"), QStringLiteral("Gat"), dane_.T_Gat,
                   {{QStringLiteral("Gat"), QStringLiteral("Nazwa gatunku zwierzęcia"), 240}}, PageGat);
    C_Cz = lookup(QStringLiteral("Czynność"), QStringLiteral("Cz"), dane_.T_Cz,
                  {{QStringLiteral("cz"), QStringLiteral("Określenie czynności"), 240}}, PageCz);
    // A position keeps showing an entry hidden since it was chosen.
    auto nameIn = [](data::Query *names) {
        return [names](const QVariant &id) {
            const int r = names->findRow(names->fieldIndex(QStringLiteral("Id")), id);
            return r < 0 ? QString() : names->valueAt(r, 1).toString();
        };
    };
    C_Kontr->setUnlistedName(nameIn(dane_.Q_KontrNazwy));
    C_Ch->setUnlistedName(nameIn(dane_.Q_ChNazwy));
    C_Cz->setUnlistedName(nameIn(dane_.Q_CzNazwy));
    E_Opis = text(QStringLiteral("Opis"), QStringLiteral("Opis"));
    C_Jm = lookup(QStringLiteral("J.m."), QStringLiteral("jm"), dane_.T_Jm,
                  {{QStringLiteral("jms"), QStringLiteral("Symbol"), 60},
                   {QStringLiteral("jm"), QStringLiteral("Nazwa jednostki miary"), 160}},
                  PageJm);
    E_Ilosc = addAmount(form, row++, QStringLiteral("Ilość jednostek"), QStringLiteral("ilosc"));
    E_Cena = addAmount(form, row++, QStringLiteral("Koszt jednostkowy brutto"), QStringLiteral("cena"));
    L_Cena = amounts_.last().labelWidget;

    GB_Wartosc = new QGroupBox(QStringLiteral("Wartość (zł)"), this);
    auto *values = new QGridLayout(GB_Wartosc);
    values->setColumnStretch(1, 1);
    E_Brutto = addAmount(values, 0, QStringLiteral("Brutto"), QStringLiteral("brutto"));
    E_Netto = addAmount(values, 1, QStringLiteral("Netto"), QStringLiteral("netto"));
    E_Podatki = addAmount(values, 2, QStringLiteral("Zobowiązania publiczno-prawne"), QStringLiteral("podatki"));
    QFont bold = E_Brutto->font();
    bold.setBold(true);
    amounts_[2].labelWidget->setFont(bold);
    E_Brutto->setFont(bold);
    form->addWidget(GB_Wartosc, row++, 0, 1, 3);

    C_Zf = lookup(QStringLiteral("Źródło finansowania"), QStringLiteral("zf"), dane_.T_Zf,
                  {{QStringLiteral("zf"), QStringLiteral("Nazwa źródła finansowania"), 240}}, PageZf);

    auto check = [&](const QString &caption, const QString &field) {
        auto *c = new QCheckBox(caption, this);
        connect(c, &QCheckBox::clicked, this, [this, field](bool on) {
            write(field, on);
            checkComplete();
        });
        return c;
    };
    CB_Wyd = check(QStringLiteral("Wydatki"), QStringLiteral("wyd"));
    CB_Kosz = check(QStringLiteral("Koszty"), QStringLiteral("Kosz"));
    CB_Dot = check(QStringLiteral("Dotyczy roku bieżącego"), QStringLiteral("Dot"));
    auto *flags = new QHBoxLayout;
    for (QCheckBox *c : {CB_Wyd, CB_Kosz, CB_Dot})
        flags->addWidget(c);
    flags->addStretch();
    form->addLayout(flags, row++, 1, 1, 2);

    CB_Dodatkowe = new QCheckBox(QStringLiteral("Dodatkowe informacje"), this);
    form->addWidget(CB_Dodatkowe, row++, 0, 1, 3);
    GB_Dodatkowe = new QGroupBox(QStringLiteral("Pola dodatkowe"), this);
    auto *extra = new QGridLayout(GB_Dodatkowe);
    extra->setColumnStretch(1, 1);
    C_Bd = addLookup(extra, 0, QStringLiteral("Bad. diagnostyczne"), QStringLiteral("bd"), dane_.T_Bd,
                     {{QStringLiteral("bd"), QStringLiteral("Nazwa badania"), 240}}, PageBd);
    C_Bp = addLookup(extra, 1, QStringLiteral("Bad. pozostałości"), QStringLiteral("bp"), dane_.T_Bp,
                     {{QStringLiteral("bp"), QStringLiteral("Nazwa badania"), 240}}, PageBp);
    C_Zak = addLookup(extra, 2, QStringLiteral("Zakupy"), QStringLiteral("zak"), dane_.T_Zak,
                      {{QStringLiteral("zak"), QStringLiteral("Nazwa zakupionych materiałów, leków, etc."), 240}},
                      PageZak);
    C_Ob = addLookup(extra, 3, QStringLiteral("Obszar ASF"), QStringLiteral("Ob"), dane_.T_ob,
                     {{QStringLiteral("Ob"), QStringLiteral("Obszar ASF"), 240}}, PageOb);
    C_Prac = addLookup(extra, 4, QStringLiteral("Pracownia"), QStringLiteral("prac"), dane_.T_Prac,
                       {{QStringLiteral("prac"), QStringLiteral("Nazwa pracowni"), 240}}, PagePrac);
    for (int c = 0; c < 3; ++c)
        pracRow_ << extra->itemAtPosition(4, c)->widget();
    form->addWidget(GB_Dodatkowe, row++, 0, 1, 3);
    GB_Dodatkowe->setVisible(false);
    connect(CB_Dodatkowe, &QCheckBox::toggled, this, &TF_EdPoz::showExtra);

    L_Cena->setCursor(Qt::PointingHandCursor);
    L_Cena->setToolTip(QStringLiteral("Kliknij aby przeliczyć koszt jednostkowy brutto"));
    L_Cena->installEventFilter(this);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Anuluj"), this);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto *lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addStretch();
    lay->addLayout(buttons);
    lay->setSizeConstraint(QLayout::SetMinimumSize);
    setMinimumWidth(620);
}

LookupCombo *TF_EdPoz::addLookup(QGridLayout *grid, int row, const QString &label, const QString &field,
                                 data::Dataset *dictionary, QVector<LookupColumn> columns, int page)
{
    QWidget *owner = grid->parentWidget() ? grid->parentWidget() : this;
    auto *combo = new LookupCombo(dictionary, std::move(columns), 0, false, owner);
    auto *l = new QLabel(label, owner);
    l->setBuddy(combo);
    auto *button = new QToolButton(owner);
    button->setText(QStringLiteral("..."));
    button->setToolTip(QStringLiteral("Słownik"));
    button->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(l, row, 0);
    grid->addWidget(combo, row, 1);
    grid->addWidget(button, row, 2);
    lookups_.append({field, combo, button, page});
    connect(combo, &LookupCombo::chosen, this, [this, field](const QVariant &id) {
        write(field, id);
        checkComplete();
    });
    const int index = int(lookups_.size()) - 1;
    connect(button, &QToolButton::clicked, this, [this, index] { pick(lookups_[index]); });
    return combo;
}

QLineEdit *TF_EdPoz::addAmount(QGridLayout *grid, int row, const QString &label, const QString &field)
{
    QWidget *owner = grid->parentWidget() ? grid->parentWidget() : this;
    auto *edit = new QLineEdit(owner);
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(160);
    auto *l = new QLabel(label, owner);
    l->setBuddy(edit);
    grid->addWidget(l, row, 0);
    grid->addWidget(edit, row, 1, Qt::AlignLeft);
    amounts_.append({field, label, edit, l});
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, &TF_EdPoz::checkComplete);
    connect(edit, &QLineEdit::returnPressed, this, [this, edit] {
        if (const Amount *a = amountOf(edit))
            leaveAmount(*a);
    });
    return edit;
}

QToolButton *TF_EdPoz::dictionaryButton(const LookupCombo *combo) const
{
    for (const Lookup &l : lookups_)
        if (l.combo == combo)
            return l.button;
    return nullptr;
}

const TF_EdPoz::Amount *TF_EdPoz::amountOf(const QObject *edit) const
{
    for (const Amount &a : amounts_)
        if (a.edit == edit)
            return &a;
    return nullptr;
}

void TF_EdPoz::setInstallationKind(int p_w)
{
    for (QWidget *w : pracRow_)
        w->setVisible(p_w == 1);
}

bool TF_EdPoz::execute(const QString &caption)
{
    setWindowTitle(caption);
    // Opening the editor ends a copy pending in the positions list.
    dane_.rules.kopia = false;
    loadControls();
    checkComplete();
    return runModal(*this) == QDialog::Accepted;
}

void TF_EdPoz::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    loadControls();
    checkComplete();
    DateTimePicker1->setFocus();
}

void TF_EdPoz::loadControls()
{
    if (!poz_.active())
        return;
    loading_ = true;
    const QDate date = poz_.asDate(kData);
    DateTimePicker1->setDate(date.isValid() ? date : kNoDate);
    const std::pair<QLineEdit *, const char *> texts[] = {{E_Pks, "Pks"}, {E_Fak, "Fak"}, {E_Opis, "Opis"}};
    for (const auto &[edit, field] : texts) {
        const QString value = poz_.asString(QString::fromLatin1(field));
        if (edit->text() != value)
            edit->setText(value);
    }
    // An amount being typed keeps its text until it is left.
    for (const Amount &a : amounts_)
        if (!a.edit->isModified())
            a.edit->setText(poz_.editText(a.field));
    for (const Lookup &l : lookups_)
        l.combo->setCurrentId(poz_.value(l.field));
    CB_Wyd->setChecked(poz_.asBool(QStringLiteral("wyd")));
    CB_Kosz->setChecked(poz_.asBool(QStringLiteral("Kosz")));
    CB_Dot->setChecked(poz_.asBool(QStringLiteral("Dot")));
    loading_ = false;
}

bool TF_EdPoz::markedEmpty(const QWidget *control)
{
    return control->palette().color(QPalette::Base) == kEmptyColour;
}

void TF_EdPoz::checkComplete()
{
    if (!poz_.active())
        return;
    auto filled = [this](const QString &field) {
        for (const Amount &a : amounts_)
            if (a.field.compare(field, Qt::CaseInsensitive) == 0)
                return !a.edit->text().trimmed().isEmpty();
        return !data::isBlankField(poz_, field);
    };
    bool complete = true;
    for (const QString &f : kRequired)
        complete = filled(f) && complete;
    BitBtn1->setEnabled(complete);

    const std::pair<QWidget *, const char *> marked[] = {
        {C_Cz, "Cz"},     {C_Kontr, "Kontr"}, {C_Zf, "zf"},         {C_Jm, "jm"},  {E_Ilosc, "ilosc"},
        {E_Cena, "cena"}, {E_Brutto, "brutto"}, {E_Pks, "Pks"}, {E_Fak, "Fak"}};
    for (const auto &[control, field] : marked) {
        const bool empty = !filled(QString::fromLatin1(field));
        if (empty == markedEmpty(control))
            continue;
        QPalette p = palette();
        if (empty) {
            p.setColor(QPalette::Base, kEmptyColour);
            p.setColor(QPalette::Button, kEmptyColour);
        }
        control->setPalette(p);
    }
}

void TF_EdPoz::write(const QString &field, const QVariant &value)
{
    if (loading_ || !poz_.editing())
        return;
    data::guarded(dane_.messages(), [&] { poz_.setValue(field, value); });
}

bool TF_EdPoz::commitAmount(const Amount &a)
{
    const QString typed = a.edit->text().trimmed();
    double number = 0;
    if (!typed.isEmpty() && !parseNumber(typed, &number)) {
        dane_.messages().error(
            QStringLiteral("Wartość „%1” nie jest liczbą (pole „%2”). Pole zachowuje poprzednią wartość.")
                .arg(typed, a.label));
        a.edit->setModified(false);
        a.edit->setText(poz_.editText(a.field));
        return false;
    }
    if (a.edit->isModified()) {
        a.edit->setModified(false);
        write(a.field, typed.isEmpty() ? QVariant() : QVariant(number));
    }
    return true;
}

void TF_EdPoz::derive(void (PositionAmounts::*rule)())
{
    // A computation that fails leaves the fields as they are, without a message.
    data::quiet([&] {
        const QString names[] = {QStringLiteral("ilosc"), QStringLiteral("cena"), QStringLiteral("brutto"),
                                 QStringLiteral("netto"), QStringLiteral("podatki")};
        PositionAmounts v{amountValue(poz_, names[0]), amountValue(poz_, names[1]), amountValue(poz_, names[2]),
                          amountValue(poz_, names[3]), amountValue(poz_, names[4])};
        const PositionAmounts before = v;
        (v.*rule)();
        const std::optional<double> PositionAmounts::*members[] = {&PositionAmounts::ilosc, &PositionAmounts::cena,
                                                                   &PositionAmounts::brutto, &PositionAmounts::netto,
                                                                   &PositionAmounts::podatki};
        for (int i = 0; i < 5; ++i)
            if (v.*members[i] != before.*members[i])
                poz_.setValue(names[i], *(v.*members[i]));
    });
    checkComplete();
}

void TF_EdPoz::leaveAmount(const Amount &a)
{
    if (!commitAmount(a) || !poz_.editing())
        return;
    const QString f = a.field.toLower();
    if (f == QLatin1String("ilosc") || f == QLatin1String("cena"))
        derive(&PositionAmounts::leaveQuantityOrPrice);
    else if (f == QLatin1String("brutto"))
        derive(&PositionAmounts::leaveGross);
    else if (f == QLatin1String("netto"))
        derive(&PositionAmounts::leaveNet);
}

void TF_EdPoz::recomputePrice()
{
    if (!poz_.editing())
        return;
    for (const Amount &a : amounts_)
        if (!commitAmount(a))
            return;
    derive(&PositionAmounts::recomputePrice);
}

void TF_EdPoz::pick(const Lookup &l)
{
    if (!pickFromDictionary || !poz_.editing())
        return;
    const std::optional<qlonglong> id = pickFromDictionary(l.page);
    if (!id)
        return;   // closed without OK: the field stays
    write(l.field, *id);
    l.combo->setCurrentId(poz_.value(l.field));
    checkComplete();
}

void TF_EdPoz::showExtra(bool on)
{
    GB_Dodatkowe->setVisible(on);
    layout()->activate();
    resize(width(), minimumSizeHint().height());
}

bool TF_EdPoz::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the control, not the window (a message box, a list opened).
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        const Amount *a = amountOf(watched);
        if (a && why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
            leaveAmount(*a);
    } else if (watched == L_Cena && event->type() == QEvent::MouseButtonRelease) {
        recomputePrice();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_EdPoz::done(int result)
{
    if (result == QDialog::Accepted) {
        for (const Amount &a : amounts_)
            if (!commitAmount(a))
                return;   // the editor stays open on the refused amount
        checkComplete();
        if (!BitBtn1->isEnabled())
            return;   // a required field is empty
    }
    QDialog::done(result);
}

} // namespace fenwa::reg::ui
