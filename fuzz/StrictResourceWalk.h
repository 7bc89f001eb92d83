// The host's image resources read strictly, to know what the File Info
// export must write: the File Info blocks' datasets, in order, when every
// block is laid out beyond doubt. A name field or data of odd length
// followed by more bytes could carry a host's pad byte, which the module
// weighs by what follows; such resources are not read here.
#ifndef KORVANE_FUZZ_STRICT_RESOURCE_WALK_H
#define KORVANE_FUZZ_STRICT_RESOURCE_WALK_H

#include <cstdint>
#include <vector>

#include "fuzz/SaveRoundTripCase.h"

// False when a pad byte may be in question. Otherwise the File Info blocks
// met before the walk ends, each with its datasets; a dataset that ends the
// whole walk (of another record, or running past its block) is the last,
// with record 0.
bool WalkResourcesStrictly(const std::vector<uint8_t> &resources, std::vector<std::vector<SaveDataset>> *blocks);

#endif
