// The host's callbacks take no context argument, so they find the session
// that is calling the module here, as the editor finds its current document.
#ifndef PNGHOST_ACTIVE_SESSION_H
#define PNGHOST_ACTIVE_SESSION_H

#include <string>

#include "pnghost/host/HostSession.h"

HostSession *ActiveSession();
void SetActiveSession(HostSession *session);

// Notes a misuse of the host's services by the module, for the person and
// for tests.
void ReportProtocolError(HostSession *session, const std::string &what);

#endif
