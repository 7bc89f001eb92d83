// "-" as a file name: IN read from standard input, OUT written to standard
// output, so that pnghost fits in a pipe. The module reads and writes real
// file handles, so the host stages the bytes in a temporary file of its own.
#ifndef PNGHOST_STANDARD_STREAMS_H
#define PNGHOST_STANDARD_STREAMS_H

#include <cstdint>
#include <string>

// Copies standard input into a temporary file, to be read in its place:
// *path names it. False with a reason, also when standard input holds more
// than `largest` bytes (it is not read further).
bool StageStandardInput(std::string *path, uint64_t largest, std::string *error);
// Removes the staged file, if any.
void RemoveStagedInput();
// The name to show a person for a path: "standard input" for the staged
// file, the path itself otherwise.
std::string ShownName(const std::string &path);

// Standard input, output or error closed when pnghost starts is opened on
// the null device, so that no file pnghost opens takes its number and
// receives what is meant for the stream. Called first thing.
void HoldClosedStandardStreamsOpen();
// Whether standard output was closed at the start: then "-" as OUT has
// nowhere to go.
bool StandardOutputClosed();

// Copies the file, from its start, to standard output; true only when every
// byte was written (a closed pipe or a full disk is a failure).
bool CopyToStandardOutput(int descriptor, std::string *error);

#endif
