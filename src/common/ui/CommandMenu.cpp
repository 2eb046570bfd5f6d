#include "common/ui/CommandMenu.h"

#include <QCursor>
#include <QKeyEvent>

namespace fenwa::ui {

CommandMenu::CommandMenu(QWidget *window) : QMenu(window), window_(window)
{
    connect(this, &QMenu::aboutToShow, this, &CommandMenu::refresh);
    openFor(window);
}

QAction *CommandMenu::addCommand(const QString &text, std::function<void()> run, const QKeySequence &key,
                                 std::function<bool()> enabled)
{
    QAction *a = addAction(text);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        window_->addAction(a);
    }
    connect(a, &QAction::triggered, this, std::move(run));
    rules_.append({a, std::move(enabled)});
    return a;
}

void CommandMenu::openFor(QWidget *widget)
{
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this, [this] { exec(QCursor::pos()); });
}

void CommandMenu::refresh()
{
    for (const auto &[action, enabled] : std::as_const(rules_))
        action->setEnabled(!enabled || enabled());
}

bool CommandMenu::escapeTo(QAction *cancel, QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return false;
    refresh();
    if (cancel->isEnabled())
        cancel->trigger();
    event->accept();
    return true;
}

} // namespace fenwa::ui
