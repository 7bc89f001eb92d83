// The host's images as netpbm files, so that a person or a script can hand
// the host an image made elsewhere and see exactly what the module delivered.
// The host's layout is netpbm's: rows top to bottom, the planes of a pixel
// side by side, 1-bit rows packed eight pixels to the byte with 1 black.
#ifndef PNGHOST_NETPBM_FILE_H
#define PNGHOST_NETPBM_FILE_H

#include <string>

#include "pnghost/host/HostImage.h"

// True when the file starts with a netpbm signature this host reads (P4, P5,
// P6 or P7).
bool LooksLikeNetpbm(const std::string &path);

// Reads P4 as a bitmap, P5 as grayscale, P6 as RGB and P7 (GRAYSCALE, RGB,
// GRAYSCALE_ALPHA, RGB_ALPHA) as grayscale or RGB with the alpha as the last
// plane. Samples must be 8 bits (MAXVAL 255). Leaves the image's resolution,
// look-up tables and resources as they were.
bool ReadNetpbmImage(const std::string &path, HostImage *image, std::string *error);
// Reads a colour map, a P6 of at most 256 pixels: pixel i becomes entry i of
// the look-up tables, and the entries past the last pixel are 0.
bool ReadNetpbmPalette(const std::string &path, HostImage *image, std::string *error);

// Writes the planes as the host holds them: P4 for a bitmap, P5 for
// grayscale and for indexed (the indices), P6 for RGB, P7 GRAYSCALE_ALPHA or
// RGB_ALPHA with alpha. A bitmap's bits past its last column are written 0.
bool WriteNetpbmImage(const HostImage &image, const std::string &path, std::string *error);
// Writes the 256 look-up table entries as a 256 x 1 P6.
bool WriteNetpbmPalette(const HostImage &image, const std::string &path, std::string *error);

#endif
