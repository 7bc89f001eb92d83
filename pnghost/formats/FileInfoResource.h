// The host's side of File Info: the image resource (id 0x0404) in which the
// editor keeps its captions as IPTC-NAA datasets of record 2, built from what
// a person typed and read back from what a module handed over.
#ifndef PNGHOST_FILE_INFO_RESOURCE_H
#define PNGHOST_FILE_INFO_RESOURCE_H

#include <cstdint>
#include <string>
#include <vector>

struct IptcDataset {
    int number = 0;    // dataset number within record 2, 0 to 255
    std::string text;  // the data bytes, at most 32767
};

// One resource block "8BIM" 0x0404 holding the Record Version dataset, then
// the datasets in order, padded to an even length as the editor writes it.
std::vector<uint8_t> BuildFileInfoResource(const std::vector<IptcDataset> &datasets);

// The record 2 datasets of every File Info block among the image resources,
// in order. The walk stops at the first byte that is not where a block or a
// dataset should begin.
std::vector<IptcDataset> ListFileInfoDatasets(const std::vector<uint8_t> &resources);

// The image resources after a person edited File Info: in the first File
// Info block, each dataset numbered as one of the edits is replaced by the
// edit's text where it first stands (further ones of that number dropped,
// an empty text drops it too), and edits of numbers not there yet follow the
// block's datasets. Every other dataset and block keeps its bytes. With no
// File Info block, one with the texts given follows the other blocks.
std::vector<uint8_t> EditFileInfo(const std::vector<uint8_t> &resources, const std::vector<IptcDataset> &edits);

#endif
