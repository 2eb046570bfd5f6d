#pragma once
// A choice list over a dictionary: a drop-down of the dictionary's rows in
// several columns (each as wide as its texts and heading, a given width at
// least), one line a row, about fifteen rows shown with a scroll bar. The box
// shows one column's text (a row whose text there is blank shows its first
// other text: a contractor known only by a person's name); the chosen row's
// Id is the value. Typing looks a
// row up by that column (with completion when asked for), the arrow keys move
// through the rows and Backspace empties the choice. The rows follow the
// dictionary: rows read again, added or filtered away are seen at the next
// look at the list.
#include "data/Dataset.h"

#include <QComboBox>
#include <functional>
#include <optional>

class QStandardItemModel;

namespace fenwa::ui {

struct LookupColumn {
    QString field;
    QString title;
    int width = 100;   // pixels at least; wider when the texts or the heading need it
};

class LookupCombo : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kVisibleRows = 15;   // rows the open list shows at once

    // textColumn: the column whose text the box shows (and typing looks up);
    // completion: the box takes typed text and completes it from that column.
    LookupCombo(data::Dataset *dictionary, QVector<LookupColumn> columns, int textColumn, bool completion,
                QWidget *parent = nullptr);

    // The chosen row's Id; null when nothing is chosen.
    QVariant currentId() const;
    // Chooses the row with this Id; a null Id or one not in the list empties the box.
    void setCurrentId(const QVariant &id);
    // What the user chose, read from an editable box: the chosen row's Id, a
    // null Id for an empty box, or nothing when the typed text names no row.
    std::optional<QVariant> typedChoice() const;
    // Reads the dictionary's rows again if they changed since the list was made.
    void sync();
    // The name of an Id the list does not hold (an entry hidden from
    // choosing): a box given such an Id shows this name instead of looking
    // empty, until the user chooses another row or empties it.
    void setUnlistedName(std::function<QString(const QVariant &id)> name) { unlistedName_ = std::move(name); }
    // The text the closed box shows.
    QString shownText() const;

    void showPopup() override;

signals:
    // The user chose a row (null: emptied the box with Backspace).
    void chosen(const QVariant &id);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void rebuild();
    int rowOfId(const QVariant &id) const;

    data::Dataset *dictionary_;
    QVector<LookupColumn> columns_;
    int textColumn_;
    QStandardItemModel *items_;
    bool stale_ = true;
    std::function<QString(const QVariant &)> unlistedName_;
    QVariant unlisted_;   // the Id shown through unlistedName_, null for none
};

} // namespace fenwa::ui
