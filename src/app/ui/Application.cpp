#include "app/ui/Application.h"

#include "data/Guard.h"

namespace fenwa::app {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    StandardErrorMessages fallback;
    data::safely(messages_ ? *messages_ : fallback, [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace fenwa::app
