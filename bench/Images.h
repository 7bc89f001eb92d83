// The benchmark's images, in the host's layout: photographs stand-ins
// (smooth gradients with noise, which compress about as photographs do) and
// flat graphics (indexed and 1-bit).
#ifndef KORVANE_BENCH_IMAGES_H
#define KORVANE_BENCH_IMAGES_H

#include <string>

#include "pnghost/host/HostImage.h"

enum class ImageKind { RGB, RGBA, Gray, Indexed, Bitmap };

const char *KindName(ImageKind kind);
HostImage MakeImage(ImageKind kind, int16_t side);

#endif
