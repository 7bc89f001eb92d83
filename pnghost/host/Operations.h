// Opening and saving a file through the module, step by step, as the editor
// runs its open and save commands.
#ifndef PNGHOST_OPERATIONS_H
#define PNGHOST_OPERATIONS_H

#include <initializer_list>

#include "pnghost/host/PluginHost.h"

// Runs the steps in order, stopping at the first non-zero result, which it
// returns (0 when every step succeeded).
int16_t RunSteps(HostSession *session, std::initializer_list<int16_t> selectors);

// Puts session->image's description in the parameter block, as the editor
// does before a save: mode, size, planes, depth, resolution, colour tables,
// and its image resources in a new host handle.
void DescribeImageToModule(HostSession *session);

// Takes what read-start told the host about the image into *image: mode,
// size, depth, planes, resolution, colour tables and image resources; the
// pixels are left alone.
void TakeDescriptionFromBlock(const HostFormatBlock &block, HostImage *image);

// Probes, then reads the file on the open descriptor into session->image.
// Returns the first non-zero result of the module's steps, or 0; -108 (out
// of memory) with session->imageTooLarge set when the host cannot hold the
// image read-start described. The session's advance-state and progress
// records start afresh, and it notes whether the image was described and
// what the module left alive.
int16_t OpenWithModule(HostSession *session, int file);

// What the person chooses in the module's options dialog.
struct SaveChoices {
    bool interlace = false;
    bool writeFileInfo = false;
    bool bestSpeed = false;
    int filterEntry = -1;  // entry of the Filtering list, -1 leaves the default
    bool cancel = false;
};

// Saves session->image to the open descriptor, answering the options dialog
// with the choices. Returns the first non-zero result, or 0. The session's
// advance-state and progress records start afresh.
int16_t SaveWithModule(HostSession *session, int file, const SaveChoices &choices);

#endif
