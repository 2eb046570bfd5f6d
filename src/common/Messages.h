#pragma once
// The four kinds of message box the program shows, behind one interface:
// the windows implement it with message boxes, tests with a scripted fake.
#include <QString>
#include <QStringList>

namespace fenwa {

class Messages {
public:
    enum class Kind { Error, Warning, Information, Question, QuestionOk };

    virtual ~Messages() = default;
    virtual void error(const QString &text, const QString &title = QStringLiteral("Błąd")) = 0;
    virtual void warning(const QString &text, const QString &title = QStringLiteral("Ostrzeżenie")) = 0;
    virtual void information(const QString &text, const QString &title = QStringLiteral("Informacja")) = 0;
    // Yes / No; true for Yes.
    virtual bool question(const QString &text, const QString &title = QStringLiteral("Pytanie")) = 0;
    // A question icon with an OK button only (informs, asks nothing).
    virtual void questionOk(const QString &text, const QString &title = QStringLiteral("Pytanie")) = 0;
};

// Writes every message to the standard error stream and answers No: for
// tools and for the time before any window can show a message.
class StandardErrorMessages : public Messages {
public:
    void error(const QString &text, const QString &title = QStringLiteral("Błąd")) override;
    void warning(const QString &text, const QString &title = QStringLiteral("Ostrzeżenie")) override;
    void information(const QString &text, const QString &title = QStringLiteral("Informacja")) override;
    bool question(const QString &text, const QString &title = QStringLiteral("Pytanie")) override;
    void questionOk(const QString &text, const QString &title = QStringLiteral("Pytanie")) override;
};

} // namespace fenwa
