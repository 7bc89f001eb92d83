// The samples, filters and compression the custom mutator picks for the image
// data it makes or recodes.
#ifndef KORVANE_FUZZ_IMAGE_DATA_CHOICES_H
#define KORVANE_FUZZ_IMAGE_DATA_CHOICES_H

#include "fuzz/ImageDataCoding.h"
#include "fuzz/MutationRandom.h"

// Samples of one of a few kinds: noise, ramps, one value, the extremes; for
// a large image only the kinds that compress to little.
void FillSamples(ImageRows &image, MutationRandom &random, bool large);
// A few samples or whole rows set to other values.
void ChangeSamples(ImageRows &image, MutationRandom &random);
// Indices past the palette made indices into it.
void KeepIndicesInPalette(ImageRows &image, const PngHeader &header, uint32_t entries);
// One filter for every row or one per row; now and then a filter byte no
// decoder takes.
void PickFilters(ImageRows &image, MutationRandom &random);
// zlib's defaults half the time, else any level, strategy, window and
// memory level, with a flush after every row now and then.
DeflateChoice PickDeflate(MutationRandom &random);

#endif
