// Reading and writing PNG data is not built yet. Until it is, the start steps
// check the host's services as they will then, and the steps fail with the
// code the host expects for an unreadable or unwritable file, so that no host
// ever takes a half-built step for a finished one.
#include "plugin/ServiceChecks.h"
#include "read/ReadHandlers.h"
#include "write/WriteHandlers.h"

namespace {

void StartWithoutCodec(PluginState &state, int16_t failure) {
    if (state.result != kResultNoError) return;
    if (!VerifyHostServices(state.hostBlock)) {
        RecordResult(state, kResultServicesMissing);
        return;
    }
    RecordResult(state, failure);
}

}  // namespace

void ReadStart(PluginState &state) { StartWithoutCodec(state, kResultCannotRead); }

void ReadContinue(PluginState &state) { RecordResult(state, kResultCannotRead); }

void WriteStart(PluginState &state) { StartWithoutCodec(state, kResultWriteError); }

void WriteContinue(PluginState &state) { RecordResult(state, kResultWriteError); }
