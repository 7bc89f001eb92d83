#ifndef KORVANE_ABOUT_BOX_H
#define KORVANE_ABOUT_BOX_H

#include "FormatHost.h"

// Shows the about box over the host window named in the about record; it
// closes on a mouse click.
void ShowAboutBox(const HostAboutRecord *record);

#endif
