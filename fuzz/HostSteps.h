// The host's own steps around an open or a save, as an editor takes them:
// its main window somewhere on the screen (the parent of the module's
// dialogs), the about box shown and clicked away, a selector the module
// does not know, and in a save a click on the options dialog away from its
// controls before the person's choices. None of them may change what the
// operation does; each has its own rule besides.
#ifndef KORVANE_FUZZ_HOST_STEPS_H
#define KORVANE_FUZZ_HOST_STEPS_H

#include <cstdint>

#include "fuzz/FuzzHost.h"

// The steps an answer's place picks (bits 1-2 the window: none, small at
// the screen's top left, across the screen, half off it to the top left;
// bit 3 the about box; bit 4 an unknown selector, one of four by bits 1-2).
struct HostSteps {
    int window = 0;
    bool about = false;
    bool unknownSelector = false;
    int16_t selector = 0;
};

HostSteps ReadHostSteps(int32_t place);

// Opens the window and takes the steps before the operation; what the
// module did wrong in them.
FuzzProblem TakeHostStepsBefore(HostSession *session, const HostSteps &steps);

// The module's last dialog stands centred on its parent (the host's window,
// or the screen), moved right and down as far as it takes to keep its top
// left corner on the screen.
FuzzProblem CheckDialogPlacement(const HostSteps &steps);

void EndHostSteps(HostSession *session);

#endif
