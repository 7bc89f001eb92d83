// Steps through the host's image resource data block by block and hands the
// datasets of every File Info block to a visitor. The data is the host's and
// untrusted: every field is checked against the bytes left before it is
// read, and a field that runs past them ends the walk.
#ifndef KORVANE_RESOURCE_WALK_H
#define KORVANE_RESOURCE_WALK_H

#include <stdint.h>

struct FileInfoVisitor {
    void *context;
    // A File Info block begins: called before its first dataset, and also
    // for a block that holds none.
    void (*enterBlock)(void *context);
    // One dataset of the application record, with its full 16-bit length;
    // false ends the whole walk.
    bool (*takeDataset)(void *context, uint8_t dataset, const uint8_t *data, uint32_t length);
};

// Walks size bytes at data; nothing happens when data is null or size <= 0.
// The walk ends at the end of the data, at the first block that does not
// start with "8BIM" or does not fit, and at the first dataset that is not of
// the application record or does not fit in its block.
void WalkImageResources(const uint8_t *data, int32_t size, const FileInfoVisitor &visitor);

#endif
