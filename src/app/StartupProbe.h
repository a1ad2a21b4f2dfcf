#pragma once

class QWidget;

// Start-up measurement for bench/startup.sh. With ZEPHYRA_STARTUP_PROBE set,
// the program prints "painted <microseconds since the epoch>" when `window` is
// painted for the first time, then "ready <microseconds>" once the event loop
// has nothing left to do before taking input, and quits. Without the variable
// it does nothing.
void WatchStartup(QWidget* window);
