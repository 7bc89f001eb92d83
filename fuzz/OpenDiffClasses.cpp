#include "fuzz/OpenDiffClasses.h"

#include <spng.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "FormatHost.h"
#include "fuzz/ModuleChunkRules.h"
#include "fuzz/OutcomeCounts.h"
#include "tests/reference/RowFilters.h"

namespace {

// libspng refuses, the module opens, before the image data: libspng checks
// the contents of ancillary chunks that the module stores without use or
// skips, and allows each of them once.
const int kAncillaryRefusals[] = {
    SPNG_EDUP_GAMA, SPNG_EDUP_CHRM, SPNG_EDUP_SBIT, SPNG_EDUP_BKGD, SPNG_EDUP_HIST, SPNG_EDUP_TRNS,
    SPNG_EDUP_PHYS, SPNG_EDUP_TIME, SPNG_EDUP_OFFS, SPNG_EDUP_ICCP, SPNG_EDUP_SRGB, SPNG_EDUP_EXIF,
    SPNG_ECHRM, SPNG_EGAMA, SPNG_ESBIT, SPNG_ETRNS_COLOR_TYPE, SPNG_ETRNS_NO_PLTE, SPNG_EBKGD_NO_PLTE,
    SPNG_EBKGD_PLTE_IDX, SPNG_EHIST_NO_PLTE, SPNG_EPHYS, SPNG_ETIME, SPNG_EOFFS, SPNG_ETEXT, SPNG_ETEXT_KEYWORD,
    SPNG_EZTXT, SPNG_EZTXT_COMPRESSION_METHOD, SPNG_EITXT, SPNG_EITXT_COMPRESSION_FLAG,
    SPNG_EITXT_COMPRESSION_METHOD, SPNG_EITXT_LANG_TAG, SPNG_EITXT_TRANSLATED_KEY, SPNG_ESPLT_NAME,
    SPNG_ESPLT_DUP_NAME, SPNG_ESPLT_DEPTH, SPNG_EEXIF, SPNG_EICCP_NAME, SPNG_EICCP_COMPRESSION_METHOD,
    SPNG_ESRGB, SPNG_ECHUNK_SIZE, SPNG_ECHUNK_STDLEN, SPNG_ECHUNK_POS,
};

// Damage to the compressed image data that lies past the last row.
const int kImageDataRefusals[] = {SPNG_EIDAT_STREAM, SPNG_EZLIB, SPNG_EIDAT_TOO_SHORT};

bool Listed(int error, const int *first, const int *last) {
    for (const int *known = first; known != last; ++known)
        if (*known == error) return true;
    return false;
}

// With KORVANE_OPEN_DIFF_EXAMPLES naming a folder, the first input of each
// class is kept there, named after the class.
void KeepExample(const std::string &name, const uint8_t *file, size_t size) {
    const char *folder = std::getenv("KORVANE_OPEN_DIFF_EXAMPLES");
    if (folder == nullptr) return;
    std::string fileName;
    for (char c : name) fileName += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
    if (FILE *out = std::fopen((std::string(folder) + "/" + fileName).c_str(), "wb")) {
        std::fwrite(file, 1, size, out);
        std::fclose(out);
    }
}

// Counts the input in its class; Compared for a class in which what the
// module delivered was held against libspng's decoding.
struct Counter {
    const uint8_t *file;
    size_t size;
    std::string operator()(const std::string &name, bool compared = false) const {
        if (CountOutcome(name, compared) == 1) KeepExample(name, file, size);
        return {};
    }
    std::string Compared(const std::string &name) const { return (*this)(name, true); }
};

// Where each chunk of a file starts and ends (a last chunk longer than the
// file ends with it).
struct ChunkSpan {
    size_t at, end;
};

std::vector<ChunkSpan> ChunkSpans(const std::vector<uint8_t> &part) {
    std::vector<ChunkSpan> spans;
    size_t at = 8;
    while (at + 12 <= part.size()) {
        const size_t length = static_cast<size_t>(part[at]) << 24 | part[at + 1] << 16 | part[at + 2] << 8 |
                              part[at + 3];
        const size_t end = length <= part.size() - at - 12 ? at + 12 + length : part.size();
        spans.push_back({at, end});
        at = end;
    }
    return spans;
}

bool SpanIs(const std::vector<uint8_t> &part, const ChunkSpan &span, const char *type) {
    return std::memcmp(&part[span.at + 4], type, 4) == 0;
}

// The signature and the chunks whose span `keep` accepts (given its index).
template <typename Keep>
std::vector<uint8_t> KeptChunks(const std::vector<uint8_t> &part, const std::vector<ChunkSpan> &spans, Keep keep) {
    std::vector<uint8_t> kept(part.begin(), part.begin() + static_cast<ptrdiff_t>(std::min<size_t>(8, part.size())));
    for (size_t i = 0; i < spans.size(); ++i)
        if (keep(i)) kept.insert(kept.end(), part.data() + spans[i].at, part.data() + spans[i].end);
    return kept;
}

// The file as libspng takes it once the part a class names is gone: the
// file with every ancillary chunk left out (none of them changes the stored
// samples or the palette; the host's texts, time and resolution are worked
// out from the chunks as the codec takes them), but for those between two
// image data chunks: there they end the image data for both decoders, and
// leaving them out would join the data again.
std::vector<uint8_t> WithoutAncillaryChunks(const std::vector<uint8_t> &part) {
    const std::vector<ChunkSpan> spans = ChunkSpans(part);
    size_t firstImageData = spans.size(), lastImageData = 0;
    for (size_t i = 0; i < spans.size(); ++i)
        if (SpanIs(part, spans[i], "IDAT")) {
            firstImageData = std::min(firstImageData, i);
            lastImageData = i;
        }
    // Critical chunks have an upper-case first letter.
    return KeptChunks(part, spans, [&](size_t i) {
        return (part[spans[i].at + 4] & 0x20) == 0 || (i > firstImageData && i < lastImageData);
    });
}

// The file without its PLTE chunks of no entries: one is valid by the
// module's table (its length a multiple of 3), and a grayscale file's reader
// passes over any PLTE; libspng refuses it.
std::vector<uint8_t> WithoutEmptyPalette(const std::vector<uint8_t> &part) {
    const std::vector<ChunkSpan> spans = ChunkSpans(part);
    return KeptChunks(part, spans,
                      [&](size_t i) { return !SpanIs(part, spans[i], "PLTE") || spans[i].end - spans[i].at != 12; });
}

// The file with an indexed image's palette cut to the entries its depth can
// index: libpng drops the others without a word, libspng refuses the chunk.
std::vector<uint8_t> WithPaletteCutToDepth(const std::vector<uint8_t> &part) {
    // IHDR's data starts at byte 16: the depth at 24, the colour type at 25.
    if (part.size() < 33 || part[25] != 3 || part[24] > 8) return part;
    const size_t room = size_t{3} << part[24];
    std::vector<uint8_t> cut(part.begin(), part.begin() + 8);
    for (const ChunkSpan &span : ChunkSpans(part)) {
        const size_t length = span.end - span.at - 12;
        const bool whole = length == (size_t{part[span.at]} << 24 | size_t{part[span.at + 1]} << 16 |
                                      size_t{part[span.at + 2]} << 8 | part[span.at + 3]);
        if (!SpanIs(part, span, "PLTE") || !whole || length <= room) {
            cut.insert(cut.end(), part.begin() + static_cast<ptrdiff_t>(span.at),
                       part.begin() + static_cast<ptrdiff_t>(span.end));
            continue;
        }
        const size_t at = cut.size();
        cut.insert(cut.end(), {0, 0, static_cast<uint8_t>(room >> 8), static_cast<uint8_t>(room)});
        cut.insert(cut.end(), part.begin() + static_cast<ptrdiff_t>(span.at + 4),
                   part.begin() + static_cast<ptrdiff_t>(span.at + 8 + room));
        const uLong crc = crc32(0, cut.data() + at + 4, static_cast<uInt>(room + 4));
        for (int shift = 24; shift >= 0; shift -= 8) cut.push_back(static_cast<uint8_t>(crc >> shift));
    }
    return cut;
}

// The module opened the file: the class holds only when libspng decodes the
// file without the named part to what the host received.
std::string OpenedWhatSpngRefuses(const uint8_t *file, size_t size, const ChunkRuling &ruling,
                                  const SpngFile &reference, const CompareWithDecode &compare) {
    const Counter count{file, size};
    // The module reads image data no further than its last row: of a last
    // chunk cut short, what the file holds.
    const std::vector<uint8_t> part = ruling.imageDataCutShort
                                          ? ImageDataPartMended(file, size, ruling.imageDataEnd)
                                          : ImageDataPart(file, size, ruling.imageDataEnd);
    SpngFile partDecoded;
    std::string problem = compare(part.data(), part.size(), &partDecoded);
    if (!problem.empty()) return "without what follows the image data: " + problem;
    if (partDecoded.error == 0 && ruling.imageDataCutShort)
        return count.Compared("libspng refuses, module opens: the last image data chunk cut short after the rows, " +
                              SpngErrorText(reference.error));
    if (partDecoded.error == 0)
        return count.Compared("libspng refuses, module opens: past the image data, " +
                              SpngErrorText(reference.error));
    const std::vector<uint8_t> withPalette = WithoutEmptyPalette(part);
    if (partDecoded.error == SPNG_ECHUNK_SIZE && withPalette.size() != part.size()) {
        SpngFile withPaletteDecoded;
        problem = compare(withPalette.data(), withPalette.size(), &withPaletteDecoded);
        if (!problem.empty()) return "without its empty PLTE: " + problem;
        if (withPaletteDecoded.error == 0)
            return count.Compared(
                "libspng refuses, module opens: an empty PLTE, which a grayscale file's reader passes over");
    }
    const std::vector<uint8_t> cutPalette = WithPaletteCutToDepth(part);
    if (partDecoded.error == SPNG_ECHUNK_SIZE && cutPalette != part) {
        // Ancillary chunks libspng refuses may stand beside the palette.
        SpngFile cutDecoded;
        problem = compare(cutPalette.data(), cutPalette.size(), &cutDecoded);
        if (problem.empty() && Listed(cutDecoded.error, std::begin(kAncillaryRefusals), std::end(kAncillaryRefusals))) {
            const std::vector<uint8_t> plain = WithoutAncillaryChunks(cutPalette);
            problem = compare(plain.data(), plain.size(), &cutDecoded);
        }
        if (!problem.empty()) return "with its palette cut to the depth: " + problem;
        if (cutDecoded.error == 0)
            return count.Compared(
                "libspng refuses, module opens: a palette longer than the depth indexes, which libpng cuts to it");
    }
    if (Listed(partDecoded.error, std::begin(kAncillaryRefusals), std::end(kAncillaryRefusals))) {
        const std::vector<uint8_t> plain = WithoutAncillaryChunks(part);
        SpngFile plainDecoded;
        problem = compare(plain.data(), plain.size(), &plainDecoded);
        if (!problem.empty()) return "without the ancillary chunks: " + problem;
        if (plainDecoded.error == 0)
            return count.Compared("libspng refuses, module opens: ancillary chunk before the image data, " +
                                  SpngErrorText(partDecoded.error));
        return "the module opened a file libspng refuses with " + SpngErrorText(partDecoded.error) +
               ", and without its ancillary chunks with " + SpngErrorText(plainDecoded.error);
    }
    // The rows libspng delivered before the damage were compared above.
    bool streamEnds = false;
    if (Listed(partDecoded.error, std::begin(kImageDataRefusals), std::end(kImageDataRefusals)) &&
        RowsArriveWhole(part.data(), part.size(), &streamEnds))
        return count.Compared("libspng refuses, module opens: image data damaged past the last row, " +
                              SpngErrorText(partDecoded.error));
    return "the module opened a file libspng refuses with " + SpngErrorText(partDecoded.error);
}

// libspng stops at 1000 chunks, and this version takes no higher count
// (it allows none above the chunks it has already met). The file's verdict
// and pixels are then libspng's decoding of it without its ancillary chunks;
// the texts, time and resolution the host is given come from the chunks as
// the codec takes them in any case.
std::string PastChunkCount(const uint8_t *file, size_t size, const OpenOutcome &outcome,
                           const CompareWithDecode &compare) {
    const Counter count{file, size};
    const std::vector<uint8_t> plain = WithoutAncillaryChunks(std::vector<uint8_t>(file, file + size));
    const bool moduleAccepts = outcome.result == kResultNoError;
    SpngFile plainDecoded;
    if (moduleAccepts) {
        const std::string problem = compare(plain.data(), plain.size(), &plainDecoded);
        if (!problem.empty()) return "without its ancillary chunks: " + problem;
    } else {
        plainDecoded = DecodeWithSpng(plain.data(), plain.size());
    }
    // Still past the limit without them: the limit is libspng's own, as any
    // other, and asking again would only come back here.
    if (plainDecoded.error == SPNG_ECHUNK_LIMITS)
        return count("libspng cannot decode the file: its own limit, " + SpngErrorText(plainDecoded.error));
    if (moduleAccepts != (plainDecoded.error == 0))
        return CheckAcceptance(file, size, outcome, plainDecoded, compare);
    const std::string name = "past libspng's 1000 chunks, decoded without the ancillary chunks: ";
    return moduleAccepts ? count.Compared(name + "both open alike") : count(name + "both refuse");
}

}  // namespace

std::string CheckAcceptance(const uint8_t *file, size_t size, const OpenOutcome &outcome, const SpngFile &reference,
                            const CompareWithDecode &compare) {
    const Counter count{file, size};
    const bool moduleAccepts = outcome.result == kResultNoError;
    if (!moduleAccepts && outcome.result != kResultCannotRead)
        return "open ended with " + std::to_string(outcome.result);
    if (reference.error == SPNG_ECHUNK_LIMITS) return PastChunkCount(file, size, outcome, compare);
    // A limit of libspng's own says nothing of the file; a refusal by the
    // module then needs a rule of its own.
    if (IsSpngLimit(reference.error)) {
        const std::string refusal = moduleAccepts ? "" : RuleOnChunks(file, size).refusal;
        return count("libspng cannot decode the file: its own limit, " + SpngErrorText(reference.error) +
                     (refusal.empty() ? "" : "; the module refuses: " + refusal));
    }
    if (!moduleAccepts && reference.error != 0) return count("both refuse");
    // Only the module's rule on the width can explain its refusal then.
    if (!moduleAccepts && reference.rowsNotDecoded) {
        const ChunkRuling ruling = RuleOnChunks(file, size);
        if (ruling.refusal == "width or height above 32767")
            return count("module refuses, libspng opens: " + ruling.refusal);
        return "the module refused a file libspng was not asked to decode, its rule: " + ruling.refusal;
    }
    const ChunkRuling ruling = RuleOnChunks(file, size);
    if (moduleAccepts) {
        if (!ruling.refusal.empty())
            return "the module opened a file its chunk rules refuse (" + ruling.refusal + "); libspng: " +
                   SpngErrorText(reference.error);
        return OpenedWhatSpngRefuses(file, size, ruling, reference, compare);
    }
    if (!ruling.refusal.empty()) return count("module refuses, libspng opens: " + ruling.refusal);
    // libspng stops reading image data once the rows are whole, and leaves
    // the CRC of the image data chunks after that unchecked.
    if (outcome.stage == OpenStage::ReadContinue && ruling.imageDataCrcMismatch)
        return count("module refuses, libspng opens: CRC mismatch in an image data chunk");
    // libpng reads the compressed stream to its end within the last row and
    // fails that row when the end is missing; libspng stops at the last row.
    bool streamEnds = true;
    const std::vector<uint8_t> part = ImageDataPart(file, size, ruling.imageDataEnd);
    if (outcome.stage == OpenStage::ReadContinue && RowsArriveWhole(part.data(), part.size(), &streamEnds) &&
        !streamEnds)
        return count("module refuses, libspng opens: the image data stream does not end after the last row");
    return "the module refused a file libspng opens, at " +
           std::string(outcome.stage == OpenStage::ReadStart ? "read-start" : "read-continue");
}

std::string CheckAgreement(const uint8_t *file, size_t size) {
    // libspng takes chunks in places the chunk table does not (a gAMA after
    // PLTE, say), so a file both open alike may still be one the module
    // should have refused.
    const std::string refusal = RuleOnChunks(file, size).refusal;
    if (!refusal.empty()) return "the module opened a file its chunk rules refuse (" + refusal + "), as libspng does";
    return Counter{file, size}.Compared("both accept and agree");
}
