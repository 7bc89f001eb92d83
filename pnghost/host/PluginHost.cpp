#include "pnghost/host/PluginHost.h"

#include <cmath>
#include <cstdlib>

#include "pnghost/host/ActiveSession.h"
#include "pnghost/host/HostCallbacks.h"

namespace {

const int kPiplResourceId = 16000;

// A monitor as the editor's colour settings describe one: the sRGB primaries
// and D65 white, and no gamma, so that an open delivers the file's samples as
// they are and a save writes no gAMA or cHRM unless a gamma is set.
HostMonitor DefaultMonitor() {
    HostMonitor monitor{};
    monitor.gamma = 0;
    monitor.redX = ToFixed(0.64);
    monitor.redY = ToFixed(0.33);
    monitor.greenX = ToFixed(0.30);
    monitor.greenY = ToFixed(0.60);
    monitor.blueX = ToFixed(0.15);
    monitor.blueY = ToFixed(0.06);
    monitor.whiteX = ToFixed(0.3127);
    monitor.whiteY = ToFixed(0.3290);
    return monitor;
}

bool Fail(std::string *error, const std::string &why) {
    *error = why;
    return false;
}

// The host trusts nothing of a module before its property list says what it
// is: a format module named "PNG" with an entry point for 32-bit Windows.
bool ReadPropertyList(HostSession *session, std::string *error) {
    const uint8_t *bytes = nullptr;
    size_t size = 0;
    if (!FindModuleResource(session->module, "PIPL", kPiplResourceId, &bytes, &size))
        return Fail(error, "the module has no property list (resource PIPL 16000)");
    std::string why;
    if (!ParsePipl(bytes, size, &session->pipl, &why)) return Fail(error, "bad property list: " + why);
    const PiplProperty *kind = FindPiplProperty(session->pipl, "kind");
    if (kind == nullptr || DescribePiplValue(*kind) != "8BIF") return Fail(error, "the module is not a format module");
    const PiplProperty *name = FindPiplProperty(session->pipl, "name");
    if (name == nullptr || DescribePiplValue(*name) != "PNG")
        return Fail(error, "the module is not named \"PNG\" in its property list");
    return true;
}

bool FindEntryPoint(HostSession *session, std::string *error) {
    const PiplProperty *entry = FindPiplProperty(session->pipl, "wx86");
    if (entry == nullptr) return Fail(error, "the property list names no entry point for x86 Windows");
    const std::string name = DescribePiplValue(*entry);
    session->entry = reinterpret_cast<FormatEntryProc>(FindModuleExport(session->module, name.c_str()));
    if (session->entry == nullptr) return Fail(error, "the module does not export its entry point \"" + name + "\"");
    return true;
}

}  // namespace

HostFixed ToFixed(double value) { return static_cast<HostFixed>(std::lround(value * 65536.0)); }

bool OpenHostSession(HostSession *session, const std::string &modulePath, std::string *error) {
    session->modulePath = modulePath;
    std::string why;
    if (!OpenModuleLibrary(modulePath, &session->module, &why)) return Fail(error, "cannot load the module: " + why);
    if (!ReadPropertyList(session, error) || !FindEntryPoint(session, error)) {
        CloseModuleLibrary(&session->module);
        return false;
    }
    session->monitor = DefaultMonitor();
    ResetHostBlock(session);
    return true;
}

void CloseHostSession(HostSession *session) {
    for (auto &handle : session->handles) {
        std::free(handle.first->data);
        std::free(handle.first);
    }
    session->handles.clear();
    session->buffers.clear();
    CloseModuleLibrary(&session->module);
    session->entry = nullptr;
    if (ActiveSession() == session) SetActiveSession(nullptr);
}

void ResetHostBlock(HostSession *session) {
    HostFormatBlock &block = session->block;
    block = HostFormatBlock{};
    block.fileHandle = -1;
    block.horizontalResolution = ToFixed(72.0);
    block.verticalResolution = ToFixed(72.0);
    block.hostSignature = session->hostSignature;
    block.monitor = session->monitor;
    InstallHostCallbacks(session);
    if (session->faults.withoutAdvanceState) block.advanceState = nullptr;
    if (session->faults.withoutProgress) block.progress = nullptr;
    if (session->faults.withoutAbortTest) block.abortTest = nullptr;
    OfferBufferSuite(session, session->faults.bufferOffer);
    OfferHandleSuite(session, session->faults.handleOffer);
}

void OfferBufferSuite(HostSession *session, SuiteOffer offer) {
    HostBufferSuite &suite = session->bufferSuite;
    suite = ValidBufferSuite();
    session->block.bufferServices = &suite;
    switch (offer) {
        case SuiteOffer::Valid: break;
        case SuiteOffer::Missing: session->block.bufferServices = nullptr; break;
        case SuiteOffer::TooOld: suite.version = kBufferSuiteVersion - 1; break;
        case SuiteOffer::TooNew: suite.version = kBufferSuiteVersion + 1; break;
        case SuiteOffer::TooFewRoutines: suite.routineCount = kBufferSuiteRoutines - 1; break;
        case SuiteOffer::NullRoutine: suite.space = nullptr; break;
    }
}

void OfferHandleSuite(HostSession *session, SuiteOffer offer) {
    HostHandleSuite &suite = session->handleSuite;
    suite = ValidHandleSuite();
    session->block.handleServices = &suite;
    switch (offer) {
        case SuiteOffer::Valid: break;
        case SuiteOffer::Missing: session->block.handleServices = nullptr; break;
        case SuiteOffer::TooOld: suite.version = kHandleSuiteVersion - 1; break;
        case SuiteOffer::TooNew: suite.version = kHandleSuiteVersion + 1; break;
        case SuiteOffer::TooFewRoutines: suite.routineCount = kHandleSuiteRoutines - 1; break;
        case SuiteOffer::NullRoutine: suite.setSize = nullptr; break;
    }
}

int16_t CallSelector(HostSession *session, int16_t selector) {
    HostSession *previous = ActiveSession();
    SetActiveSession(session);
    int16_t result = 0;
    session->entry(selector, &session->block, &session->moduleData, &result);
    SetActiveSession(previous);
    return result;
}

int16_t CallAbout(HostSession *session) {
    HostPlatformData platform{session->hostWindow};
    HostAboutRecord about{&platform};
    HostSession *previous = ActiveSession();
    SetActiveSession(session);
    int16_t result = 0;
    session->entry(kSelectorAbout, &about, &session->moduleData, &result);
    SetActiveSession(previous);
    return result;
}
