// The host's temporary files do not outlive it when a signal ends it (Ctrl-C,
// Ctrl-\, kill, a closed terminal, an alarm; every signal whose default
// action ends a process): the handler removes them and the process then
// ends by the signal as it would have, so that a shell sees the usual
// status. Only SIGKILL, which nothing can catch, leaves one.
// A save holds the signals while it puts its file in place, and on Linux
// keeps them held once the new image is there: a signal that comes then is
// too late to stop the save, and must not end pnghost as though it had not
// saved; it is dropped when pnghost exits.
#ifndef PNGHOST_SAVE_SIGNALS_H
#define PNGHOST_SAVE_SIGNALS_H

#include <string>

// The file is removed if one of the signals ends the process.
void RemoveOnSignal(const std::string &path);
// The file is no longer the signals' to remove (kept, renamed or removed).
void ForgetOnSignal(const std::string &path);

// Holds the signals back while a step that must not be cut short runs: one
// that comes meanwhile takes effect when they are let through again.
void HoldSignals();
void LetSignalsThrough();
// Whether one of the signals (on Windows, a control event: Ctrl-C,
// Ctrl-Break, a closed console) came while they were held, and will end the
// process when they are let through.
bool SignalWaiting();
// Ends the hold under which a save put its new image in place: when it did
// not, a signal that came meanwhile now ends the process; when it did, one
// is too late to stop the save: on Linux they stay held, on Windows the
// control events that came are dropped.
void LetThroughUnlessSaved(bool saved);

#endif
