#pragma once
// A window's context menu of commands, each enabled by its own rule. The
// rules are asked whenever the menu opens and on refresh() (a window calls it
// after its dataset's state changes); a command with a shortcut works in the
// whole window, and only while its rule allows it.
#include <QMenu>
#include <functional>

class QKeyEvent;

namespace fenwa::ui {

class CommandMenu : public QMenu {
    Q_OBJECT
public:
    // The menu belongs to the window and opens on its context-menu requests.
    explicit CommandMenu(QWidget *window);

    // enabled: empty = always on.
    QAction *addCommand(const QString &text, std::function<void()> run, const QKeySequence &key = {},
                        std::function<bool()> enabled = {});
    // The menu also opens on the widget's context-menu requests (a grid).
    void openFor(QWidget *widget);
    void refresh();
    // Esc without modifiers runs `cancel` when its rule allows it, and never
    // reaches the window (a dialog would close). Returns whether it was Esc.
    bool escapeTo(QAction *cancel, QKeyEvent *event);

private:
    QWidget *window_;
    QVector<QPair<QAction *, std::function<bool()>>> rules_;
};

} // namespace fenwa::ui
