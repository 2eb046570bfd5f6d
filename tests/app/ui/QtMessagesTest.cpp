// The program's message boxes as the user meets them.
#include "WaitUntil.h"
#include "app/ui/QtMessages.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using fenwa::app::QtMessages;
using fenwa::testing::waitUntil;

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
