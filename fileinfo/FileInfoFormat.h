// The byte layout shared by both directions of the File Info exchange: the
// host's image resource blocks and the IPTC-NAA datasets inside the File Info
// block. All integers in it are big-endian.
#ifndef KORVANE_FILE_INFO_FORMAT_H
#define KORVANE_FILE_INFO_FORMAT_H

#include <stdint.h>

// Every image resource block starts with these four bytes.
constexpr uint8_t kResourceSignature[4] = {'8', 'B', 'I', 'M'};
constexpr uint16_t kFileInfoResourceId = 0x0404;
// Signature, id, the empty name (length byte and pad byte), data size.
constexpr uint32_t kFileInfoHeaderLength = 12;

// A dataset: marker, record number, dataset number, 2-byte data length.
constexpr uint8_t kDatasetMarker = 0x1C;
constexpr uint8_t kApplicationRecord = 2;
constexpr uint32_t kDatasetHeaderLength = 5;
// The module writes data lengths of one byte only.
constexpr uint32_t kLongestWrittenText = 255;

// Dataset numbers of the application record that the exchange knows.
enum : uint8_t {
    kDatasetRecordVersion = 0,
    kDatasetObjectName = 5,
    kDatasetInstructions = 40,
    kDatasetDateCreated = 55,
    kDatasetByLine = 80,
    kDatasetByLineTitle = 85,
    kDatasetCity = 90,
    kDatasetProvince = 95,
    kDatasetCountry = 101,
    kDatasetHeadline = 105,
    kDatasetCredit = 110,
    kDatasetSource = 115,
    kDatasetCaption = 120,
    kDatasetWriter = 122
};

// The Record Version dataset that opens every block the module builds.
constexpr uint8_t kRecordVersionDataset[7] = {kDatasetMarker, kApplicationRecord, kDatasetRecordVersion, 0, 2, 0, 2};

#endif
