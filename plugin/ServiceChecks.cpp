#include "plugin/ServiceChecks.h"

#include "plugin/Alert.h"
#include "resources/ResourceIds.h"

namespace {

bool ReportProblem(int16_t alertId) {
    if (alertId == 0) return true;
    ShowAlertString(alertId);
    return false;
}

}  // namespace

// The routine count is read unsigned here but signed for the handle suite,
// as the host's two suite records have always been read.
int16_t BufferSuiteProblem(const HostBufferSuite *suite) {
    if (suite == nullptr) return IDS_NEEDS_BUFFER_SUITE;
    if (suite->version < kBufferSuiteVersion) return IDS_NEEDS_BUFFER_SUITE;
    if (suite->version > kBufferSuiteVersion) return IDS_INCOMPATIBLE_HOST;
    if (static_cast<uint16_t>(suite->routineCount) < kBufferSuiteRoutines) return IDS_NEEDS_BUFFER_SUITE;
    if (suite->allocate == nullptr || suite->lock == nullptr || suite->unlock == nullptr || suite->free == nullptr ||
        suite->space == nullptr)
        return IDS_NEEDS_BUFFER_SUITE;
    return 0;
}

int16_t HandleSuiteProblem(const HostHandleSuite *suite) {
    if (suite == nullptr) return IDS_NEEDS_HANDLE_SUITE;
    if (suite->version < kHandleSuiteVersion) return IDS_NEEDS_HANDLE_SUITE;
    if (suite->version > kHandleSuiteVersion) return IDS_INCOMPATIBLE_HOST;
    if (suite->routineCount < kHandleSuiteRoutines) return IDS_NEEDS_HANDLE_SUITE;
    if (suite->newHandle == nullptr || suite->dispose == nullptr || suite->getSize == nullptr ||
        suite->setSize == nullptr)
        return IDS_NEEDS_HANDLE_SUITE;
    return 0;
}

bool VerifyBufferSuite(const HostBufferSuite *suite) { return ReportProblem(BufferSuiteProblem(suite)); }

bool VerifyAdvanceState(HostAdvanceStateProc callback) {
    return ReportProblem(callback == nullptr ? IDS_NEEDS_ADVANCE_STATE : 0);
}

bool VerifyHandleSuite(const HostHandleSuite *suite) { return ReportProblem(HandleSuiteProblem(suite)); }

bool VerifyHostServices(const HostFormatBlock *block) {
    return VerifyBufferSuite(block->bufferServices) && VerifyAdvanceState(block->advanceState) &&
           VerifyHandleSuite(block->handleServices);
}
