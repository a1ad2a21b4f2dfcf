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
            // A zero-time timer fires once the events queued so far are handled:
            // from then on a key press or click is served at once.
            QTimer::singleShot(0, this, [] {
                const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                    std::chrono::system_clock::now().time_since_epoch());
                std::printf("ready %lld\n", static_cast<long long>(now.count()));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

void WatchStartup(QWidget* window)
{
    if (qEnvironmentVariableIsEmpty("ZEPHYRA_STARTUP_PROBE")) return;
    window->installEventFilter(new FirstPaint(window));
}
