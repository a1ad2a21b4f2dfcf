#include "StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            Print("painted");
            // A zero-time timer fires once the events queued so far are handled:
            // from then on a key press or click is served at once.
            QTimer::singleShot(0, this, [] {
                Print("ready");
                QCoreApplication::exit(0);  // quit() would ask the window to close
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void Print(const char* what)
    {
        const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::system_clock::now().time_since_epoch());
        std::printf("%s %lld\n", what, static_cast<long long>(now.count()));
        std::fflush(stdout);
    }

    bool seen_ = false;
};

}  // namespace

void WatchStartup(QWidget* window)
{
    if (qEnvironmentVariableIsEmpty("ZEPHYRA_STARTUP_PROBE")) return;
    window->installEventFilter(new FirstPaint(window));
}
