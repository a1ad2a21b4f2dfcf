#pragma once

#include <signal.h>

#include <QByteArray>

// Temporary files that a catchable fatal signal must not leave behind. An
// owner remembers its file's name while the file exists under it and forgets
// it once the file is renamed or removed. Remember and Forget may be called
// from any thread; RemoveAll is async-signal-safe.
namespace TempFiles {

// Keeps a copy of `name` (as the file system spells it); returns a ticket for
// Forget, or -1 when every slot is taken (the file is then not looked after).
int Remember(const QByteArray& name);
void Forget(int ticket);

// While one lives, SIGINT, SIGTERM and SIGHUP wait (in this thread): create a
// file and remember it under one, so no signal can come in between.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t saved_;
};

// Removes every remembered file. Safe inside a signal handler.
void RemoveAll() noexcept;

// For a program without an event loop: on SIGINT, SIGTERM and SIGHUP every
// remembered file is removed and the process ends by that same signal (the
// shell shows status 128 + signal). A signal ignored when this is called
// (SIGHUP under nohup) stays ignored.
void RemoveOnFatalSignals();

// The process's file-creation mask, read once before main() runs; the mask is
// never changed afterwards, so no other thread can create a file while it is 0.
unsigned ProcessUmask();

}  // namespace TempFiles
