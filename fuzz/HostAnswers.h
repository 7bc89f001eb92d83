// The host's answers as fuzz input: a control byte chooses one way the host
// answers the module part way through an open or a save (the person asks to
// stop, advance-state fails, the buffer or handle suite or the system's
// memory refuses a request, the host's file cannot be read or stops
// growing, the host takes steps of its own around the operation), and where. The target runs the operation
// plainly first, then again with the answer, whose place is taken as a share
// of the calls the plain run made, so that every call can be hit in a small
// image and a spread of them in a large one.
#ifndef KORVANE_FUZZ_HOST_ANSWERS_H
#define KORVANE_FUZZ_HOST_ANSWERS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pnghost/host/HostSession.h"

enum class HostAnswerKind {
    None, Stop, AdvanceFails, BufferRefused, LockFails, HandleRefused, MemoryRefused, SuiteBroken, FileFails,
    HostSteps, CallbackLeftOut
};

// Bits 0-2 the kind (0 none; 1 stop; 2 advance-state fails, with one of
// the codes a host gives; 3 a buffer refused; 4 a lock without address; 5 a
// handle refused; 6 the system's memory refused; 7 a suite or callback
// offered as an older, newer or broken host offers it), bits 3-7 the place,
// 0 to 31; for kind 7 the place modulo 3 picks the buffer suite, the
// advance-state callback (left out) or the handle suite, and the place / 3
// modulo 5 how the suite is offered (missing, too old, too new, too few
// routines, a routine missing), up to place 14; from place 15 on, an odd
// place leaves the progress callback out, an even one the abort test, which
// the module can do without. Kind 0 with a place other than 0 is one of
// two more: an odd place, the host's file fails (an open's file refuses to
// be read; a save's file cannot grow past place / 2 sixteenths of the plain
// save's length, or at place 31 past all of it but its last byte); an even
// place, the host's own steps around the operation
// (fuzz/HostSteps.h), place / 2 choosing them.
struct HostAnswer {
    HostAnswerKind kind = HostAnswerKind::None;
    int32_t place = 0;
    int16_t code = 0;  // the host's code for a failed advance-state or buffer
};

const int32_t kFileShares = 16;  // a full save's length in sixteenths

HostAnswer ReadHostAnswer(uint8_t byte);
// Which callback an answer of kind CallbackLeftOut leaves out: the progress
// callback, or else the abort test.
bool LeavesOutProgress(const HostAnswer &answer);
std::string HostAnswerName(const HostAnswer &answer);

// The calls one run made of what an answer can fall on.
struct HostCalls {
    int32_t abortTests = 0, advances = 0, bufferAllocations = 0, bufferLocks = 0, moduleHandles = 0;
    int32_t globalAllocations = 0;
};

// Clears the session's counts before a run; CountedCalls reads them after.
void StartCounting(HostSession *session);
HostCalls CountedCalls(const HostSession &session);

// What one open or save did through the host since StartCounting.
struct HostRun {
    int16_t result = 0;
    std::vector<HostRect> rows;  // the rectangles advance-state was asked to move
    std::vector<ProgressReport> progress;
    HostCalls calls;
};

HostRun TakeHostRun(const HostSession &session, int16_t result);
// Whether run and plain both have `count` rows (progress reports) and the
// first `count` of them are the same.
bool SameRows(const HostRun &run, const HostRun &plain, size_t count);
bool SameReports(const HostRun &run, const HostRun &plain, size_t count);

// Sets the session's faults for the answer, placed among the calls a plain
// run made; the number of the call it falls on (from 0), or -1 when it
// falls past them, and the run must then go as the plain one went.
int32_t ArmHostAnswer(HostSession *session, const HostAnswer &answer, const HostCalls &plain);
void DisarmHostAnswer(HostSession *session);

// The descriptor the host hands the module for the file it opens: the one
// given, or, while the host's file is armed to fail, the same file opened
// for writing only, which the system refuses to read. Either way the caller
// closes what this returns, and only that.
int FileAsHostOpensIt(int descriptor);

#endif
