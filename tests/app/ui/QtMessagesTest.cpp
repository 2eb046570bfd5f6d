// The program's message boxes as the user meets them.
#include "app/ui/QtMessages.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using fenwa::app::QtMessages;

namespace {
bool waitUntil(const std::function<bool()> &done, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}
} // namespace

TEST(QtMessages, ABoxBelongsToTheWindowTheUserWorksIn)
{
    QWidget main;
    main.show();
    QDialog search(&main);
    search.show();
    search.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &search; }));

    QtMessages messages(&main);
    QWidget *owner = nullptr;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                owner = box->parentWidget();
                box->accept();
            }
    });
    closer.start(20);
    messages.information(QStringLiteral("Nie znaleziono"));
    EXPECT_EQ(owner, &search) << "so closing it gives the keys back to the search";
}
