#pragma once

// SIGINT, SIGTERM, SIGHUP and every other terminating signal a process can
// catch (TempFiles::TerminatingSignals) end the desktop program as its Exit does, not in
// the middle of whatever it was doing. The handler only writes the signal's
// number into a pipe; the event loop reads it, closes the open dialogs and
// leaves every running event loop with status 128 + signal, so each window's
// closing code (and the preview's removal of its temporary file) still runs.
// The caller then closes the main window without asking.
namespace SignalQuit {

// Call once the application object exists. A signal ignored when the program
// started (SIGHUP under nohup) stays ignored.
void Install();

// The signal that ended the event loops, or 0.
int Received();

}  // namespace SignalQuit
