// Windows ends a console program on Ctrl-C without signals a program could
// hold back; the temporary file beside the destination is left as SIGKILL
// leaves one on Linux.
#include "pnghost/SaveSignals.h"

void RemoveOnSignal(const std::string &) {}
void ForgetOnSignal(const std::string &) {}
void HoldSignals() {}
void LetSignalsThrough() {}
