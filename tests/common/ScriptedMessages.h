#pragma once
// The message interface as tests use it.
#include "common/Messages.h"

#include <deque>
#include <functional>

namespace fenwa {

// Records every message and answers questions from a script (default: Yes).
class ScriptedMessages : public Messages {
public:
    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };

    void error(const QString &text, const QString &title = QStringLiteral("Błąd")) override
    {
        record({Kind::Error, title, text});
    }
    void warning(const QString &text, const QString &title = QStringLiteral("Ostrzeżenie")) override
    {
        record({Kind::Warning, title, text});
    }
    void information(const QString &text, const QString &title = QStringLiteral("Informacja")) override
    {
        record({Kind::Information, title, text});
    }
    bool question(const QString &text, const QString &title = QStringLiteral("Pytanie")) override
    {
        record({Kind::Question, title, text});
        if (answers_.empty())
            return defaultAnswer_;
        bool yes = answers_.front();
        answers_.pop_front();
        return yes;
    }
    void questionOk(const QString &text, const QString &title = QStringLiteral("Pytanie")) override
    {
        record({Kind::QuestionOk, title, text});
    }

    // Runs while a message is shown, as if the box were open (a test looks at
    // the windows behind it).
    std::function<void(const Shown &)> onShown;

    void answer(bool yes) { answers_.push_back(yes); }
    void setDefaultAnswer(bool yes) { defaultAnswer_ = yes; }
    const QVector<Shown> &shown() const { return shown_; }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &s : shown_)
            out << s.text;
        return out;
    }
    QString last() const { return shown_.isEmpty() ? QString() : shown_.last().text; }
    void clear() { shown_.clear(); answers_.clear(); }

private:
    void record(const Shown &s)
    {
        shown_.push_back(s);
        if (onShown)
            onShown(s);
    }

    QVector<Shown> shown_;
    std::deque<bool> answers_;
    bool defaultAnswer_ = true;
};

} // namespace fenwa
