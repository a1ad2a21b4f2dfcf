#pragma once

#include <signal.h>

#include <QByteArray>
#include <vector>

// Temporary files that a catchable fatal signal must not leave behind. An
// owner remembers its file's name while the file exists under it and forgets
// it once the file is renamed or removed. Remember and Forget may be called
// from any thread; RemoveAll is async-signal-safe.
namespace TempFiles {

// Keeps a copy of `name` (as the file system spells it); returns a ticket for
// Forget, or -1 when every slot is taken (the file is then not looked after).
int Remember(const QByteArray& name);
void Forget(int ticket);

// Every signal that ends a process by default and that a process can catch,
// but for those a fault of its own raises: SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXFSZ, SIGXCPU, the real-time ones, ...
// Both programs end on each of them as on SIGINT.
const std::vector<int>& TerminatingSignals();

// While one lives, the terminating signals wait (in this thread): create a
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

// True when a terminating signal waits (under SignalsHeld) to be delivered.
bool TerminatingSignalPending();

// Removes every remembered file. Safe inside a signal handler.
void RemoveAll() noexcept;

// For a program without an event loop: on a terminating signal every
// remembered file is removed and the process ends by that same signal (the
// shell shows status 128 + signal). A signal ignored when this is called
// (SIGHUP under nohup) stays ignored.
void RemoveOnFatalSignals();

// The process's file-creation mask, read once before main() runs; the mask is
// never changed afterwards, so no other thread can create a file while it is 0.
unsigned ProcessUmask();

}  // namespace TempFiles
