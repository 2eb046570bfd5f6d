#include "common/Messages.h"

#include <QTextStream>

namespace fenwa {

namespace {
void writeError(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
}
} // namespace

void StandardErrorMessages::error(const QString &text, const QString &) { writeError(text); }
void StandardErrorMessages::warning(const QString &text, const QString &) { writeError(text); }
void StandardErrorMessages::information(const QString &text, const QString &) { writeError(text); }
void StandardErrorMessages::questionOk(const QString &text, const QString &) { writeError(text); }

bool StandardErrorMessages::question(const QString &text, const QString &)
{
    writeError(text);
    return false;
}

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
