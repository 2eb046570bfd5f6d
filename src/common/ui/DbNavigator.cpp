#include "common/ui/DbNavigator.h"

#include "data/Guard.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace fenwa::ui {

namespace {

enum class Glyph { Plus, Minus, Up, Check, Cross };

QIcon drawIcon(Glyph g)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(g == Glyph::Cross ? QColor(180, 30, 30) : g == Glyph::Check ? QColor(20, 130, 40) : QColor(30, 60, 140), 3);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    switch (g) {
    case Glyph::Plus:
        p.drawLine(10, 4, 10, 16);
        p.drawLine(4, 10, 16, 10);
        break;
    case Glyph::Minus:
        p.drawLine(4, 10, 16, 10);
        break;
    case Glyph::Up: {
        QPainterPath path;
        path.moveTo(4, 14);
        path.lineTo(10, 6);
        path.lineTo(16, 14);
        p.drawPath(path);
        break;
    }
    case Glyph::Check: {
        QPainterPath path;
        path.moveTo(4, 10);
        path.lineTo(8, 15);
        path.lineTo(16, 5);
        p.drawPath(path);
        break;
    }
    case Glyph::Cross:
        p.drawLine(5, 5, 15, 15);
        p.drawLine(15, 5, 5, 15);
        break;
    }
    return QIcon(pm);
}

QToolButton *makeButton(QWidget *parent, Glyph g, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setIcon(drawIcon(g));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setAutoRaise(false);
    b->setFixedSize(28, 26);
    return b;
}

} // namespace

DbNavigator::DbNavigator(QWidget *parent) : QWidget(parent)
{
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    insert_ = makeButton(this, Glyph::Plus, QStringLiteral("Dodaj"));
    delete_ = makeButton(this, Glyph::Minus, QStringLiteral("Usuń"));
    edit_ = makeButton(this, Glyph::Up, QStringLiteral("Popraw"));
    post_ = makeButton(this, Glyph::Check, QStringLiteral("Zapisz"));
    cancel_ = makeButton(this, Glyph::Cross, QStringLiteral("Anuluj"));
    for (QToolButton *b : {insert_, delete_, edit_, post_, cancel_})
        lay->addWidget(b);
    connect(insert_, &QToolButton::clicked, this, [this] { run(onInsert, [](data::Table &t) { t.append(); }, false); });
    connect(delete_, &QToolButton::clicked, this, [this] { run(onDelete, [](data::Table &t) { t.remove(); }, false); });
    connect(edit_, &QToolButton::clicked, this, [this] { run(onEdit, [](data::Table &t) { t.edit(); }, false); });
    connect(post_, &QToolButton::clicked, this, [this] { run(onPost, [](data::Table &t) { t.post(); }, true); });
    connect(cancel_, &QToolButton::clicked, this, [this] { run(onCancel, [](data::Table &t) { t.cancel(); }, false); });
    updateButtons();
}

void DbNavigator::bind(data::Table *table, Messages *messages)
{
    disconnect(stateConn_);
    disconnect(rowsConn_);
    table_ = table;
    messages_ = messages;
    if (table_) {
        stateConn_ = connect(table_, &data::Dataset::stateChanged, this, &DbNavigator::updateButtons);
        rowsConn_ = connect(table_, &data::Dataset::rowsChanged, this, &DbNavigator::updateButtons);
    }
    updateButtons();
}

void DbNavigator::run(const std::function<void()> &custom, const std::function<void(data::Table &)> &standard,
                      bool isPost)
{
    if (!table_)
        return;
    bool ok = false;
    auto command = [&] {
        if (custom)
            custom();
        else
            standard(*table_);
    };
    ok = messages_ ? data::guarded(*messages_, command) : data::quiet(command);
    updateButtons();
    if (ok && isPost)
        emit posted();
    emit acted();
}

void DbNavigator::updateButtons()
{
    const bool active = table_ && table_->active();
    const bool canModify = active && !table_->readOnly();
    const bool browsing = active && table_->state() == data::Dataset::State::Browse;
    const bool editing = active && table_->editing();
    const bool hasRecord = active && !table_->isEmpty();
    insert_->setEnabled(canModify && browsing);
    delete_->setEnabled(canModify && browsing && hasRecord);
    edit_->setEnabled(canModify && browsing && hasRecord);
    post_->setEnabled(canModify && editing);
    cancel_->setEnabled(canModify && editing);
}

} // namespace fenwa::ui
