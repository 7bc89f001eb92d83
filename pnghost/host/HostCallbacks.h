// The host's callbacks: advance-state, progress and the abort test.
#ifndef PNGHOST_HOST_CALLBACKS_H
#define PNGHOST_HOST_CALLBACKS_H

#include "pnghost/host/HostSession.h"

// Puts the callbacks into the session's parameter block.
void InstallHostCallbacks(HostSession *session);

#endif
