#pragma once
// The program's application object: every event and every slot it delivers
// runs inside the program's last net, so that no engine error, refusal or
// other exception ends the program; an unexpected one is shown in an error
// box in its own words and the window that raised it stays usable.
#include "common/Messages.h"

#include <QApplication>

namespace fenwa::app {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);

    // Where the net shows what it caught (the program's message boxes).
    // Without one, a caught error is written to the standard error stream.
    void setMessages(Messages *messages) { messages_ = messages; }

    bool notify(QObject *receiver, QEvent *event) override;

private:
    Messages *messages_ = nullptr;
};

} // namespace fenwa::app
