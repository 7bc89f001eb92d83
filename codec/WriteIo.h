// The file output of a save: libpng's write function over the host's file
// handle, and the small record in global memory it works from, which also
// keeps the row count and the row filter choice between host calls.
#ifndef KORVANE_WRITE_IO_H
#define KORVANE_WRITE_IO_H

#include <windows.h>

#include <cstdint>

#include <png.h>

#include "codec/RowFilterChoice.h"

// Points libpng's output at file. The record libpng keeps as its io pointer
// lives in global memory, never in the PluginState, which the host copies
// between calls. False when the record cannot be allocated.
bool AttachFileOutput(png_structp png, HFILE file);
// The rows the header promises (all passes' rows for an interlaced image)
// and those handed over so far, so that the end of a save that stopped
// part-way can be told from the end of a complete one.
void ExpectRows(png_structp png, uint32_t rows);
void CountRowWritten(png_structp png);
bool AllRowsWritten(png_structp png);
RowFilterChoice *RowFilterChoiceOf(png_structp png);
// Releases the record attached to png, if any, with the row filter
// choice's memory; png must not write again,
// so this comes just before png itself is destroyed.
void DetachFileOutput(png_structp png);

#endif
