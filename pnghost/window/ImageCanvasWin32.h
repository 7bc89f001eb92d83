// The viewer's canvas: a child window that shows the host's image at a zoom,
// centred when it is smaller than the window, with scroll bars when it is
// larger. Painting makes the picture of only the exposed part (ShownImage),
// and scrolling moves what is on the screen and paints just the strip
// uncovered.
#ifndef PNGHOST_IMAGE_CANVAS_WIN32_H
#define PNGHOST_IMAGE_CANVAS_WIN32_H

#include <windows.h>

#include <string>

#include "pnghost/host/HostImage.h"
#include "pnghost/window/ShownImage.h"

// What the canvas tells its owner: the zoom changed, or a paint failed
// (the area is filled with the background instead), and why.
struct CanvasWatch {
    void (*zoomChanged)(Zoom zoom);
    void (*paintFailed)(const std::string &problem);
};

enum class ZoomCommand { Fit, ActualSize, In, Out };

// A canvas inside parent, showing nothing yet; null when it cannot be made.
HWND CreateImageCanvas(HWND parent, CanvasWatch watch);
// Shows the image, which must stay in place and unchanged until the next
// ShowOnCanvas: at actual size when it fits in the window, else fitted.
// Null shows nothing, as before releasing the image shown.
void ShowOnCanvas(HWND canvas, const HostImage *image);
// Once the zoom changes, the canvas hands the system pictures in a form it
// refuses, so that every paint fails as a real one can (the host's fault
// knob; the picture painted before stays on the screen unless the canvas
// covers it).
void RefuseCanvasPaints(HWND canvas);
// Zooms as the View menu says, around the window's centre.
void ZoomCanvas(HWND canvas, ZoomCommand command);
Zoom CanvasZoom(HWND canvas);

#endif
