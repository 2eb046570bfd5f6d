#include "app/ui/Application.h"

#include "data/Guard.h"

#include <QTextStream>

namespace fenwa::app {

namespace {

// Messages of the net while no window can show them.
class StandardErrorMessages : public Messages {
public:
    void error(const QString &text, const QString &) override { write(text); }
    void warning(const QString &text, const QString &) override { write(text); }
    void information(const QString &text, const QString &) override { write(text); }
    bool question(const QString &text, const QString &) override
    {
        write(text);
        return false;
    }
    void questionOk(const QString &text, const QString &) override { write(text); }

private:
    static void write(const QString &text) { QTextStream(stderr) << text << Qt::endl; }
};

} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    StandardErrorMessages fallback;
    data::safely(messages_ ? *messages_ : fallback, [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace fenwa::app
