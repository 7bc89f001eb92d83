// The session calling the module now, which the host's suites and callbacks
// find here, and the record of the module's misuse of them.
#include "pnghost/host/ActiveSession.h"

#include <cstdio>

namespace {

HostSession *gActiveSession = nullptr;

}  // namespace

HostSession *ActiveSession() { return gActiveSession; }

void SetActiveSession(HostSession *session) { gActiveSession = session; }

void ReportProtocolError(HostSession *session, const std::string &what) {
    std::fprintf(stderr, "pnghost: module misused the host: %s\n", what.c_str());
    session->protocolErrors.push_back(what);
}
