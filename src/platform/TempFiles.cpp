#include "TempFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace TempFiles {

namespace {

// Slots hold names from malloc: a handler only reads them, an owner swaps its
// slot empty before freeing the name.
std::array<std::atomic<char*>, 64> remembered{};

void OnFatalSignal(int sig) {
    const int saved = errno;
    RemoveAll();
    // SA_RESETHAND restored the default action: ending by the signal itself
    // tells the parent what happened.
    ::raise(sig);
    errno = saved;
}

// The kernel reports the mask in /proc without changing it; the swap is the
// fallback and happens before any thread exists.
unsigned ReadUmask() {
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return mask;
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

const unsigned processUmask = ReadUmask();

}  // namespace

const std::vector<int>& TerminatingSignals() {
    // Those whose default action ends the process, less the ones a fault of
    // the program itself raises (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT,
    // SIGTRAP, SIGSYS): after those, nothing of the process is to be trusted.
    static const std::vector<int> list = [] {
        std::vector<int> all{SIGHUP,    SIGINT,  SIGQUIT, SIGPIPE, SIGALRM,
                             SIGTERM,   SIGUSR1, SIGUSR2, SIGPOLL, SIGPROF,
                             SIGVTALRM, SIGXCPU, SIGXFSZ, SIGPWR,  SIGSTKFLT};
        for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) all.push_back(sig);
        return all;
    }();
    return list;
}

int Remember(const QByteArray& name) {
    char* copy = ::strdup(name.constData());
    if (copy == nullptr) return -1;
    for (std::size_t i = 0; i < remembered.size(); ++i) {
        char* expected = nullptr;
        if (remembered[i].compare_exchange_strong(expected, copy)) return static_cast<int>(i);
    }
    std::free(copy);
    return -1;
}

void Forget(int ticket) {
    if (ticket < 0 || ticket >= static_cast<int>(remembered.size())) return;
    std::free(remembered[static_cast<std::size_t>(ticket)].exchange(nullptr));
}

SignalsHeld::SignalsHeld() {
    sigset_t fatal;
    ::sigemptyset(&fatal);
    for (const int sig : TerminatingSignals()) ::sigaddset(&fatal, sig);
    ::pthread_sigmask(SIG_BLOCK, &fatal, &saved_);
}

SignalsHeld::~SignalsHeld() {
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

bool TerminatingSignalPending() {
    sigset_t pending;
    if (::sigpending(&pending) != 0) return false;
    for (const int sig : TerminatingSignals())
        if (::sigismember(&pending, sig) == 1) return true;
    return false;
}

void RemoveAll() noexcept {
    for (auto& slot : remembered) {
        if (const char* name = slot.load()) ::unlink(name);
    }
}

void RemoveOnFatalSignals() {
    const std::vector<int>& terminating = TerminatingSignals();
    for (const int sig : terminating) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = OnFatalSignal;
        ::sigemptyset(&action.sa_mask);
        for (const int other : terminating) ::sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(sig, &action, nullptr);
    }
}

unsigned ProcessUmask() {
    return processUmask;
}

}  // namespace TempFiles
