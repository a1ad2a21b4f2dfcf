#pragma once

class QWidget;

// Start-up measurement for bench/startup.sh. With ZEPHYRA_STARTUP_PROBE set,
// the program prints one line, "ready <microseconds since the epoch>", when
// `window` has been painted for the first time and the event loop has nothing
// left to do before taking input, and then quits. Without the variable it does
// nothing.
void WatchStartup(QWidget* window);
