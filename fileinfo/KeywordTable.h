// Which PNG text keyword goes with which File Info dataset, each way.
#ifndef KORVANE_KEYWORD_TABLE_H
#define KORVANE_KEYWORD_TABLE_H

#include <stdint.h>

constexpr int kNoDataset = -1;

// The dataset a text read from a PNG file goes to, or kNoDataset. keyword
// must be zero-terminated; it is never read past its terminator.
int DatasetForKeyword(const char *keyword);

// The keyword a dataset is saved under, or null when it is not saved as text.
const char *KeywordForDataset(uint8_t dataset);

#endif
