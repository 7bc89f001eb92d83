// What the viewer shows of the host's image: the picture as 24-bit colour
// rows in the layout of a bottom-up device-independent bitmap, made once per
// open so that painting only copies. Bitmap images show black on white,
// indexed ones through the look-up tables, and an alpha plane blends the
// picture over a light checkerboard, as image editors show transparency.
#ifndef PNGHOST_SHOWN_IMAGE_H
#define PNGHOST_SHOWN_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "pnghost/HostImage.h"

struct ShownImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0;      // three bytes a pixel, each row padded to four bytes
    std::vector<uint8_t> bgr;  // the bottom row first; blue, green, red
};

// The side of a checkerboard square, in pixels, and its two shades.
const int32_t kCheckerSquare = 8;
const uint8_t kCheckerLight = 255;
const uint8_t kCheckerDark = 204;

// The checkerboard's shade behind pixel (x, y) of the image.
uint8_t CheckerShade(int32_t x, int32_t y);

// Makes the shown picture of the image. False with a reason when its mode or
// depth is one the host cannot show, or there is no memory for it.
bool MakeShownImage(const HostImage &image, ShownImage *shown, std::string *error);

#endif
