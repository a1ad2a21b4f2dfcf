#include "SignalQuit.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "TempFiles.h"

namespace SignalQuit {

namespace {

int pipeEnds[2] = {-1, -1};
int received = 0;

void OnSignal(int sig) {
    const int saved = errno;
    const char byte = static_cast<char>(sig);
    (void)!::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

void Quit() {
    char byte = 0;
    if (::read(pipeEnds[0], &byte, 1) != 1) return;
    received = static_cast<unsigned char>(byte);
    // Every running loop (a dialog's exec() included) returns; the dialogs
    // are told to close first so none is left on screen while that happens.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
    }
    QCoreApplication::exit(128 + received);
}

}  // namespace

void Install() {
    if (pipeEnds[0] >= 0) return;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] { Quit(); });
    for (const int sig : TempFiles::TerminatingSignals()) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        ::sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(sig, &action, nullptr);
    }
}

int Received() {
    return received;
}

}  // namespace SignalQuit
