// What the viewer shows of the host's image at a zoom: any rectangle of the
// zoomed picture as 24-bit colour rows in the layout of a bottom-up
// device-independent bitmap, made when it is painted, so that no more than
// the part on the screen is ever held beside the host's image. Bitmap images
// show black on white, indexed ones through the look-up tables, and an alpha
// plane blends the picture over a light checkerboard, as image editors show
// transparency. Zooming in repeats pixels as crisp squares; zooming out
// averages each square of pixels into one.
#ifndef PNGHOST_SHOWN_IMAGE_H
#define PNGHOST_SHOWN_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "pnghost/host/HostImage.h"

// A zoom of times/into, one of the two being 1: 3/1 shows each pixel as a
// 3x3 square, 1/4 each 4x4 square of pixels as one.
struct Zoom {
    int32_t times = 1;
    int32_t into = 1;
};

const Zoom kActualSize{1, 1};

// The steps Zoom In and Zoom Out go through, smallest first.
// Down to 1/64, so that Fit to Window shows the largest images whole.
const Zoom kZoomSteps[] = {{1, 64}, {1, 48}, {1, 32}, {1, 24}, {1, 16}, {1, 12}, {1, 8},  {1, 6},
                           {1, 4},  {1, 3},  {1, 2},  {1, 1},  {2, 1},  {3, 1},  {4, 1},  {6, 1},
                           {8, 1},  {12, 1}, {16, 1}, {24, 1}, {32, 1}};

bool SameZoom(Zoom a, Zoom b);
// The length of a side of `pixels` image pixels at the zoom (a part pixel
// counts whole).
int64_t ZoomedLength(int32_t pixels, Zoom zoom);
// The zoom as a person reads it, with at most two decimals: "100%",
// "1600%", "6.25%", "1.56%".
std::string ZoomPercent(Zoom zoom);
// The step after (direction 1) or before (-1) the zoom; the same zoom at either end.
Zoom NextZoomStep(Zoom zoom, int direction);
// The largest step at which the image fits in width x height; the smallest step when none does.
Zoom FittingZoom(int32_t columns, int32_t rows, int32_t width, int32_t height);

struct ShownImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0;      // three bytes a pixel, each row padded to four bytes
    std::vector<uint8_t> bgr;  // the bottom row first; blue, green, red
};

// A rectangle of the zoomed picture, in its pixels from its top-left corner.
struct ShownPart {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The side of a checkerboard square, in image pixels, and its two shades.
const int32_t kCheckerSquare = 8;
const uint8_t kCheckerLight = 255;
const uint8_t kCheckerDark = 204;

// The checkerboard's shade behind pixel (x, y) of the image.
uint8_t CheckerShade(int32_t x, int32_t y);

// False with a reason when the image's mode or depth is one the host cannot show.
bool CanShowImage(const HostImage &image, std::string *error);

// Makes the part of the picture of the image at the zoom; the part must lie
// within the zoomed picture. False with a reason when the image cannot be
// shown, or there is no memory for the part.
bool MakeShownPart(const HostImage &image, Zoom zoom, const ShownPart &part, ShownImage *shown, std::string *error);

#endif
