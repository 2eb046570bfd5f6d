#pragma once
// The record navigator: insert, delete, edit, save and cancel buttons on a
// table, enabled by the table's state. A rule's refusal is swallowed, an
// engine error shown in the engine's words.
#include "common/Messages.h"
#include "data/Table.h"

#include <QToolButton>
#include <QWidget>
#include <functional>

namespace fenwa::ui {

class DbNavigator : public QWidget {
    Q_OBJECT
public:
    explicit DbNavigator(QWidget *parent = nullptr);

    void bind(data::Table *table, Messages *messages);
    data::Table *table() const { return table_; }

    QToolButton *insertButton() const { return insert_; }
    QToolButton *deleteButton() const { return delete_; }
    QToolButton *editButton() const { return edit_; }
    QToolButton *postButton() const { return post_; }
    QToolButton *cancelButton() const { return cancel_; }

    // What a button does may be replaced by the window (e.g. the positions
    // list appends through its own command); the default acts on the table.
    std::function<void()> onInsert, onDelete, onEdit, onPost, onCancel;

    void updateButtons();

signals:
    void posted();     // the save button saved the record
    void acted();      // any button finished its command

private:
    void run(const std::function<void()> &custom, const std::function<void(data::Table &)> &standard,
             bool isPost);

    data::Table *table_ = nullptr;
    Messages *messages_ = nullptr;
    QToolButton *insert_, *delete_, *edit_, *post_, *cancel_;
    QMetaObject::Connection stateConn_, rowsConn_;
};

} // namespace fenwa::ui
