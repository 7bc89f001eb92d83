// The viewer's canvas: a child window that shows a ShownImage at its actual
// size from its top-left corner, with scroll bars when the image is larger
// than the window. Painting copies only the exposed part of the picture, and
// scrolling moves what is on the screen and paints just the strip uncovered.
#ifndef PNGHOST_IMAGE_CANVAS_WIN32_H
#define PNGHOST_IMAGE_CANVAS_WIN32_H

#include <windows.h>

#include "pnghost/ShownImage.h"

// A canvas inside parent, showing nothing yet; null when it cannot be made.
HWND CreateImageCanvas(HWND parent);
// Shows the picture from its top-left corner in place of the one before.
void ShowOnCanvas(HWND canvas, ShownImage *picture);

#endif
