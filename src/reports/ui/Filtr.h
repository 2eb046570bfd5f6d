#pragma once
// The browser's four filter dialogs, each captioned "Filtr", modal, with OK
// and "Anuluj"; each is prefilled with the column's title and the current
// row's value.
#include <QDate>
#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QVBoxLayout;

namespace fenwa::reports::ui {

// The frame they share: the caption and the OK and "Anuluj" buttons under
// the controls a dialog adds to `body`.
class FilterDialog : public QDialog {
    Q_OBJECT
public:
    explicit FilterDialog(QWidget *parent);

protected:
    QVBoxLayout *body;
};

class TF_FiltrTekstowy : public FilterDialog {
    Q_OBJECT
public:
    explicit TF_FiltrTekstowy(QWidget *parent = nullptr);
    void prefill(const QString &title, const QString &value);
    QLabel *Label1;
    QLineEdit *Edit1;
};

class TF_FiltrReal : public FilterDialog {
    Q_OBJECT
public:
    explicit TF_FiltrReal(QWidget *parent = nullptr);
    void prefill(const QString &title, const QString &value);
    QLabel *Label1;
    QLineEdit *Od, *Do;
};

class TF_FiltrBool : public FilterDialog {
    Q_OBJECT
public:
    explicit TF_FiltrBool(QWidget *parent = nullptr);
    void prefill(const QString &title, bool value);
    QCheckBox *CheckBox1;
};

class TF_FiltrDat : public FilterDialog {
    Q_OBJECT
public:
    explicit TF_FiltrDat(QWidget *parent = nullptr);
    void prefill(const QString &title, const QDate &value);
    QLabel *Label1;
    QDateEdit *Od, *Do;
};

} // namespace fenwa::reports::ui
