#include "common/Messages.h"

namespace fenwa {

void ScriptedMessages::error(const QString &text, const QString &title)
{
    shown_.push_back({Kind::Error, title, text});
}

void ScriptedMessages::warning(const QString &text, const QString &title)
{
    shown_.push_back({Kind::Warning, title, text});
}

void ScriptedMessages::information(const QString &text, const QString &title)
{
    shown_.push_back({Kind::Information, title, text});
}

bool ScriptedMessages::question(const QString &text, const QString &title)
{
    shown_.push_back({Kind::Question, title, text});
    if (answers_.empty())
        return defaultAnswer_;
    bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void ScriptedMessages::questionOk(const QString &text, const QString &title)
{
    shown_.push_back({Kind::QuestionOk, title, text});
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const auto &s : shown_)
        out << s.text;
    return out;
}

} // namespace fenwa
