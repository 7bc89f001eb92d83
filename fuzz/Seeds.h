// Starting inputs for the fuzz targets, made rather than stored: the
// PngSuite files and pictures like those the module tests write for the open
// target, File Info resource data for the export target, text lists for the
// import target.
#ifndef KORVANE_FUZZ_SEEDS_H
#define KORVANE_FUZZ_SEEDS_H

#include <string>
#include <vector>

#include "fuzz/Seed.h"

std::vector<Seed> OpenSeeds(const std::string &pngsuiteDir);
std::vector<Seed> FileInfoExportSeeds();
std::vector<Seed> FileInfoImportSeeds();
// Files as they stand (no control byte): the PngSuite and the test pictures.
std::vector<Seed> OpenDiffSeeds(const std::string &pngsuiteDir);
// Saves of every mode, interlaced and not, under every Filtering entry.
std::vector<Seed> SaveRoundTripSeeds();

#endif
