// Hostile PNG files, made on the spot rather than stored: each is small on
// disk but asks a careless reader for gigabytes or minutes.
#ifndef KORVANE_TESTS_HOSTILE_FILES_H
#define KORVANE_TESTS_HOSTILE_FILES_H

#include <cstdint>
#include <string>
#include <vector>

// Counts the files are made with.
const int kCompressedTextChunks = 1000;
const uint32_t kInflatedTextBytes = 1u << 20;
const int kPlainTextChunks = 65600;  // past Wine's 65,536 handles
const uint32_t kLargestSide = 32767;
const uint64_t kInflatedImageDataBytes = uint64_t{1} << 30;

// A 1 by 1 gray image whose only other chunks are kCompressedTextChunks zTXt
// chunks with the keyword, each inflating to kInflatedTextBytes (about 1 MB
// of file).
std::vector<uint8_t> ManyCompressedTexts(const std::string &keyword);
// A 1 by 1 gray image with kPlainTextChunks tEXt chunks with the keyword and
// short texts ("text 0", "text 1", ...).
std::vector<uint8_t> ManyPlainTexts(const std::string &keyword);
// 57 bytes: a 32767 by 32767 header of colour type 2 or 6, image data that
// holds nothing, and the end.
std::vector<uint8_t> HugeDeclaredImage(int colorType, bool interlaced);
// A 1 by 1 RGB image whose image data is one zlib stream of
// kInflatedImageDataBytes zero bytes (about 1 MB of file): the first four
// are its row, the rest lies past it.
std::vector<uint8_t> EndlessImageData();

struct HostileFile {
    std::string name;  // a file name, ending in .png
    std::vector<uint8_t> bytes;
};

// Every hostile file above: compressed texts with a keyword of the File Info
// table and with another, plain texts the same, the four huge images, and
// the endless image data.
std::vector<HostileFile> AllHostileFiles();

#endif
