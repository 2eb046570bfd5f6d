// The program's last net: whatever a window's command throws is caught; a
// refusal silently, anything else in an error box.
#include "common/ScriptedMessages.h"
#include "data/Guard.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;

TEST(SafetyNet, CatchesEveryExceptionAndShowsAllButARefusal)
{
    struct Row {
        const char *name;
        std::function<void()> command;
        QString shown;   // empty: nothing shown
    };
    const QVector<Row> rows{
        {"refusal", [] { throw Abort{}; }, QString()},
        {"engine error", [] { throw EngineError(QStringLiteral("Baza jest zajęta.")); },
         QStringLiteral("Baza jest zajęta.")},
        {"lack of memory", [] { throw std::bad_alloc(); },
         QStringLiteral("Za mało pamięci, aby wykonać to polecenie.")},
        {"other exception", [] { throw std::runtime_error("Unable to write to /x.ini"); },
         QStringLiteral("Unable to write to /x.ini")},
        {"unknown", [] { throw 42; },
         QStringLiteral("Nieoczekiwany błąd programu; polecenie nie zostało wykonane.")},
    };
    for (const Row &row : rows) {
        ScriptedMessages messages;
        bool result = true;
        EXPECT_NO_THROW(result = safely(messages, row.command)) << row.name;
        EXPECT_FALSE(result) << row.name;
        EXPECT_EQ(messages.last(), row.shown) << row.name;
        EXPECT_EQ(messages.shown().size(), row.shown.isEmpty() ? 0 : 1) << row.name;
    }
    ScriptedMessages messages;
    EXPECT_TRUE(safely(messages, [] {}));
}
