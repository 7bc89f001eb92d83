#include "fuzz/PngMutations.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz/ChunkContents.h"
#include "fuzz/ChunkOrder.h"
#include "fuzz/ImageDataChoices.h"
#include "fuzz/ImageDataCoding.h"
#include "fuzz/MutationRandom.h"
#include "fuzz/PngChunkList.h"

namespace {

// Images are decoded or made afresh only up to this many stored bytes, so
// that a mutation costs little next to an open.
const uint64_t kLargestRecodedImage = 4u << 20;
// libpng writes image data in chunks of this many bytes.
const size_t kLibpngImageDataChunk = 8192;
// Files grow by mutation to 64 KiB at most; one larger already (a large
// seed) keeps its size, so that it reaches the targets whole while the
// rest stay small and quick.
const size_t kLargestGrownFile = 65536;

struct Mutation {
    ChunkList &chunks;
    MutationRandom &random;
    size_t largestFile;  // bytes the written file may take
};

ChunkContext ContextOf(const ChunkList &chunks) {
    ChunkContext context;
    ReadHeader(chunks, &context.header);
    context.paletteEntries = PaletteEntries(chunks);
    return context;
}

// A chunk other than image data and the end, IHDR now and then; kNoChunk
// when there is none.
size_t PickEditableChunk(const ChunkList &chunks, MutationRandom &random) {
    std::vector<size_t> editable;
    for (size_t i = 0; i < chunks.size(); ++i)
        if (!IsType(chunks[i], "IDAT") && !IsType(chunks[i], "IEND") && (!IsType(chunks[i], "IHDR") || random.OneIn(6)))
            editable.push_back(i);
    return editable.empty() ? kNoChunk : editable[random.Index(editable.size())];
}

// How many image data chunks: one, a few, libpng's 8 KiB each, or as many
// as the room left allows, thousands in a small file.
size_t PickPieceCount(const Mutation &m, size_t dataBytes, size_t room) {
    const size_t most = std::max<size_t>(1, std::min(room / kChunkFrame, dataBytes + 8));
    switch (m.random.Below(5)) {
        case 0: return 1;
        case 1: return std::min(most, 2 + m.random.Index(8));
        case 2: return std::min(most, dataBytes / kLibpngImageDataChunk + 1);
        case 3: return std::min(most, 100 + m.random.Index(1000));
        default: return most;
    }
}

size_t RoomLeft(const Mutation &m) {
    const size_t written = WrittenSize(m.chunks);
    return written < m.largestFile ? m.largestFile - written : 0;
}

// Puts new image data in place of the old, in as many chunks as the room
// allows.
bool PutNewImageData(Mutation &m, const std::vector<uint8_t> &data) {
    if (data.empty()) return false;
    PutImageData(&m.chunks, data, 1);
    if (WrittenSize(m.chunks) > m.largestFile) return false;
    PutImageData(&m.chunks, data, PickPieceCount(m, data.size(), RoomLeft(m)));
    return true;
}

// Image data that fits the header: new samples, filters and compression.
bool MakeImageData(Mutation &m) {
    const ChunkContext context = ContextOf(m.chunks);
    if (!IsValidHeader(context.header) || StoredImageBytes(context.header) > kLargestRecodedImage) return false;
    ImageRows image = BlankImageRows(context.header);
    FillSamples(image, m.random, StoredImageBytes(context.header) > m.largestFile / 4);
    KeepIndicesInPalette(image, context.header, context.paletteEntries);
    PickFilters(image, m.random);
    return PutNewImageData(m, EncodeImageRows(image, PickDeflate(m.random)));
}

// Inflated, given other filters or samples, deflated again.
bool RecodeImageData(Mutation &m) {
    ImageRows image;
    if (!DecodeImageRows(m.chunks, kLargestRecodedImage, &image)) return MakeImageData(m);
    const ChunkContext context = ContextOf(m.chunks);
    const uint32_t what = m.random.Below(3);
    if (what != 1) PickFilters(image, m.random);
    if (what != 0) ChangeSamples(image, m.random);
    KeepIndicesInPalette(image, context.header, context.paletteEntries);
    return PutNewImageData(m, EncodeImageRows(image, PickDeflate(m.random)));
}

// A chunk of the type made for the file as it stands, put at `at`.
void InsertNewChunk(Mutation &m, const std::string &type, size_t at) {
    InsertAt(m.chunks, at, {type, MakeChunkData(type, ContextOf(m.chunks), &m.random)});
}

void ReplaceOrDrop(ChunkList &chunks, const char *type, bool keep, const ChunkContext &context,
                   MutationRandom &random) {
    const size_t at = FindChunk(chunks, type);
    if (at == kNoChunk) return;
    if (keep)
        chunks[at].data = MakeChunkData(type, context, &random);
    else
        chunks.erase(chunks.begin() + static_cast<ptrdiff_t>(at));
}

// The chunks that depend on the colour type and depth made to fit them: a
// palette for an indexed image and none for gray ones (most of the time),
// transparency, background, significant bits and histogram made anew.
void FitChunksToHeader(Mutation &m) {
    ChunkContext context = ContextOf(m.chunks);
    if (!IsValidHeader(context.header)) return;
    const PngHeader &header = context.header;
    const bool indexed = header.colorType == 3;
    const bool gray = header.colorType == 0 || header.colorType == 4;
    if (indexed && (context.paletteEntries == 0 || context.paletteEntries > (1u << header.depth))) {
        ReplaceOrDrop(m.chunks, "PLTE", false, context, m.random);
        InsertNewChunk(m, "PLTE", ValidPosition(m.chunks, "PLTE", m.random));
    } else if (gray) {
        ReplaceOrDrop(m.chunks, "PLTE", m.random.OneIn(8), context, m.random);
    }
    context = ContextOf(m.chunks);
    ReplaceOrDrop(m.chunks, "tRNS", header.colorType < 4 || m.random.OneIn(8), context, m.random);
    ReplaceOrDrop(m.chunks, "bKGD", true, context, m.random);
    ReplaceOrDrop(m.chunks, "sBIT", true, context, m.random);
    ReplaceOrDrop(m.chunks, "hIST", context.paletteEntries > 0, context, m.random);
    if (header.colorType < 4 && FindChunk(m.chunks, "tRNS") == kNoChunk && m.random.OneIn(4))
        InsertNewChunk(m, "tRNS", ValidPosition(m.chunks, "tRNS", m.random));
}

void WriteHeader(ChunkList &chunks, const PngHeader &header) {
    const size_t at = FindChunk(chunks, "IHDR");
    if (at != kNoChunk) chunks[at].data = HeaderData(header);
}

// Colour type and depth, size or interlace changed within the valid sets,
// the chunks that depend on them fitted, and image data made to match.
bool ReshapeImage(Mutation &m) {
    PngHeader header;
    if (!ReadHeader(m.chunks, &header)) return false;
    for (uint32_t changes = 1 + m.random.Below(2); changes > 0; --changes) EditHeader(&header, false, &m.random);
    if (!IsValidHeader(header)) header = PickValidHeader(&m.random);
    WriteHeader(m.chunks, header);
    FitChunksToHeader(m);
    return MakeImageData(m);
}

// A header whose image the host holds in 16 to 40 MiB: 8-bit samples (the
// host's own), or 16-bit ones stored twice as large.
PngHeader PickLargeHeader(MutationRandom &random) {
    static const PngHeader kShapes[] = {
        {4100, 4100, 8, 0}, {2400, 2400, 8, 2}, {4100, 4096, 8, 3}, {2900, 2900, 8, 4},
        {2048, 2048, 8, 6}, {2100, 2100, 16, 6}, {3000, 3000, 16, 0}, {8200, 2050, 1, 0},
    };
    PngHeader header = random.Pick(kShapes);
    header.width += random.Below(600);
    header.height += random.Below(600);
    header.interlace = static_cast<uint8_t>(random.Below(2));
    return header;
}

// An image of tens of megabytes whose data deflates to kilobytes: long runs
// of one value, changing from row to row or not, under one filter. Palette
// images keep to index 0.
bool MakeLargeImage(Mutation &m) {
    const PngHeader header = PickLargeHeader(m.random);
    WriteHeader(m.chunks, header);
    FitChunksToHeader(m);
    const bool indexed = header.colorType == 3;
    const uint8_t value = indexed ? 0 : m.random.Byte();
    const uint8_t step = indexed || m.random.OneIn(2) ? 0 : static_cast<uint8_t>(1 + m.random.Below(7));
    return PutNewImageData(m, EncodeRunRows(header, value, step, static_cast<uint8_t>(m.random.Below(5))));
}

// Data after the image's stream: junk, zeros or a second stream, in the
// last image data chunk or chunks of its own, now and then more than any
// encoder could need for the image, which a reader must refuse to inflate.
bool TrailImageData(Mutation &m) {
    std::vector<uint8_t> data = JoinedImageData(m.chunks);
    if (data.empty()) return false;
    const size_t room = RoomLeft(m);
    const size_t most = std::min<size_t>(room > 64 ? room - 64 : 0, m.random.OneIn(2) ? 16 : 60000);
    if (most == 0) return false;
    std::vector<uint8_t> trail(1 + m.random.Index(most), 0);
    switch (m.random.Below(3)) {
        case 0:
            for (uint8_t &byte : trail) byte = m.random.Byte();
            break;
        case 1: trail = Deflated(trail, Z_BEST_COMPRESSION); break;
        default: break;
    }
    data.insert(data.end(), trail.begin(), trail.end());
    return PutNewImageData(m, data);
}

// A header field outside the valid sets, the image data left as it was.
bool BreakHeader(Mutation &m) {
    PngHeader header;
    if (!ReadHeader(m.chunks, &header)) return false;
    EditHeader(&header, true, &m.random);
    WriteHeader(m.chunks, header);
    return true;
}

bool EditField(Mutation &m) {
    const size_t at = PickEditableChunk(m.chunks, m.random);
    if (at == kNoChunk) return false;
    if (IsType(m.chunks[at], "IHDR")) return m.random.OneIn(4) ? BreakHeader(m) : ReshapeImage(m);
    EditChunkData(&m.chunks[at], ContextOf(m.chunks), &m.random);
    return true;
}

bool InsertChunk(Mutation &m) {
    std::string type = PickChunkType(&m.random);
    // A second palette, or a histogram without one, only now and then.
    const bool palette = FindChunk(m.chunks, "PLTE") != kNoChunk;
    if (((type == "PLTE" && palette) || (type == "hIST" && !palette)) && !m.random.OneIn(8)) type = "tEXt";
    InsertNewChunk(m, type, InsertPosition(m.chunks, type, m.random));
    return true;
}

bool RepeatChunk(Mutation &m) {
    const size_t at = PickEditableChunk(m.chunks, m.random);
    // A second palette only now and then.
    if (at == kNoChunk || (IsType(m.chunks[at], "PLTE") && !m.random.OneIn(8))) return false;
    PngChunk copy = m.chunks[at];
    if (m.random.OneIn(2)) EditChunkData(&copy, ContextOf(m.chunks), &m.random);
    const size_t to = m.random.OneIn(2) ? at + 1 : InsertPosition(m.chunks, copy.type, m.random);
    InsertAt(m.chunks, to, std::move(copy));
    return true;
}

bool DropChunk(Mutation &m) {
    const size_t at = m.random.OneIn(8) ? m.random.Index(m.chunks.size()) : PickEditableChunk(m.chunks, m.random);
    if (at >= m.chunks.size()) return false;
    m.chunks.erase(m.chunks.begin() + static_cast<ptrdiff_t>(at));
    return true;
}

bool MoveChunk(Mutation &m) {
    const size_t at = PickEditableChunk(m.chunks, m.random);
    if (at == kNoChunk || IsType(m.chunks[at], "IHDR")) return false;
    PngChunk chunk = std::move(m.chunks[at]);
    m.chunks.erase(m.chunks.begin() + static_cast<ptrdiff_t>(at));
    InsertAt(m.chunks, InsertPosition(m.chunks, chunk.type, m.random), std::move(chunk));
    return true;
}

bool SplitImageData(Mutation &m) {
    const std::vector<uint8_t> data = JoinedImageData(m.chunks);
    if (data.empty()) return false;
    PutImageData(&m.chunks, data, 1);
    PutImageData(&m.chunks, data, PickPieceCount(m, data.size(), RoomLeft(m)));
    return true;
}

bool JoinImageData(Mutation &m) {
    const std::vector<uint8_t> data = JoinedImageData(m.chunks);
    if (data.empty()) return false;
    PutImageData(&m.chunks, data, 1);
    return true;
}

// A file from nothing, for inputs that hold no header to work from.
bool MakeFile(Mutation &m) {
    m.chunks = {{"IHDR", HeaderData(PickValidHeader(&m.random))}, {"IEND", {}}};
    FitChunksToHeader(m);
    return MakeImageData(m);
}

// A damaged file put right again, as far as the chunks go: one valid header
// first, the chunks before the image data in an order the table allows,
// none twice that may stand once, one end chunk last, and image data made
// anew where it does not decode. Inputs that earlier mutations broke come
// back to where the pixels are compared.
bool MendFile(Mutation &m) {
    PngHeader header;
    const bool hadHeader = ReadHeader(m.chunks, &header) && IsValidHeader(header);
    if (!hadHeader) header = PickValidHeader(&m.random);
    m.chunks = InTableOrder(m.chunks, {"IHDR", HeaderData(header)});
    ImageRows image;
    if (hadHeader && (header.colorType != 3 || PaletteEntries(m.chunks) > 0) &&
        DecodeImageRows(m.chunks, kLargestRecodedImage, &image))
        return true;
    FitChunksToHeader(m);
    return MakeImageData(m);
}

using MutationStep = bool (*)(Mutation &);
struct WeightedStep {
    MutationStep step;
    uint32_t weight;
};
const WeightedStep kSteps[] = {
    {EditField, 26}, {InsertChunk, 14}, {RepeatChunk, 6}, {DropChunk, 5},      {MoveChunk, 5},
    {SplitImageData, 8}, {JoinImageData, 3}, {RecodeImageData, 15}, {ReshapeImage, 15}, {BreakHeader, 3},
    {MakeLargeImage, 2}, {TrailImageData, 3},
};

MutationStep PickStep(MutationRandom &random) {
    uint32_t total = 0;
    for (const WeightedStep &step : kSteps) total += step.weight;
    uint32_t roll = random.Below(total);
    for (const WeightedStep &step : kSteps) {
        if (roll < step.weight) return step.step;
        roll -= step.weight;
    }
    return EditField;
}

// A step that fails leaves the chunks as they were.
bool TryStep(Mutation &m, MutationStep step) {
    const ChunkList before = m.chunks;
    if (step(m)) return true;
    m.chunks = before;
    return false;
}

// One to three steps on the chunks; false when none applied or the file
// grew past the room.
bool MutateChunks(ChunkList &chunks, size_t largestFile, MutationRandom &random) {
    Mutation m{chunks, random, largestFile};
    PngHeader header;
    if (!ReadHeader(chunks, &header)) return MakeFile(m) && WrittenSize(chunks) <= largestFile;
    bool applied = false;
    // Large images cost many times a small one to open: most of their
    // mutations make them small, the seeds keep the large ones.
    if (StoredImageBytes(header) > (1u << 20) && !random.OneIn(4))
        applied = TryStep(m, ReshapeImage);
    else if (random.OneIn(3))
        applied = TryStep(m, MendFile);
    for (uint32_t steps = 1 + random.Below(3); steps > 0; --steps) applied |= TryStep(m, PickStep(random));
    return applied && WrittenSize(chunks) <= largestFile;
}

// The bytes the file may take in a mutation of an input of `size` bytes.
size_t LargestFile(size_t size, size_t maxSize) {
    const size_t file = size > kControlBytes ? size - kControlBytes : 0;
    return std::min(maxSize - kControlBytes, std::max(kLargestGrownFile - kControlBytes, file));
}

struct Controls {
    uint8_t bytes[kControlBytes];
};

size_t PutInput(const Controls &controls, const ChunkList &chunks, uint8_t *out) {
    const std::vector<uint8_t> file = WriteChunkList(chunks);
    std::memcpy(out, controls.bytes, kControlBytes);
    std::memcpy(out + kControlBytes, file.data(), file.size());
    return file.size() + kControlBytes;
}

// One of the control bytes changed: a bit of it, or the whole byte.
void MutateControls(Controls *controls, MutationRandom &random) {
    uint8_t &control = controls->bytes[random.Below(kControlBytes)];
    control = random.OneIn(2) ? random.Byte() : static_cast<uint8_t>(control ^ (1u << random.Below(8)));
}

Controls ControlsOf(const uint8_t *data, size_t size, MutationRandom &random) {
    Controls controls{};
    for (size_t i = 0; i < kControlBytes; ++i) controls.bytes[i] = i < size ? data[i] : random.Byte();
    return controls;
}

// One to four of the other file's ancillary chunks, each where its type may
// stand.
ChunkList WithChunksOf(ChunkList chunks, const ChunkList &other, MutationRandom &random) {
    std::vector<size_t> ancillary;
    for (size_t i = 0; i < other.size(); ++i)
        if (IsAncillary(other[i])) ancillary.push_back(i);
    if (ancillary.empty()) return {};
    for (uint32_t count = 1 + random.Below(4); count > 0; --count) {
        const PngChunk &chunk = other[ancillary[random.Index(ancillary.size())]];
        InsertAt(chunks, ValidPosition(chunks, chunk.type, random), chunk);
    }
    return chunks;
}

// The image's critical chunks with the other file's ancillary chunks, those
// before its image data put in an order the chunk table allows.
ChunkList ImageWithChunksOf(const ChunkList &image, const ChunkList &other) {
    ChunkList before, after;
    bool sawImageData = false;
    for (const PngChunk &chunk : other) {
        sawImageData |= IsType(chunk, "IDAT");
        if (IsAncillary(chunk)) (sawImageData ? after : before).push_back(chunk);
    }
    ChunkList chunks;
    for (const PngChunk &chunk : image)
        if (!IsAncillary(chunk) && !IsType(chunk, "IEND")) chunks.push_back(chunk);
    if (chunks.empty() || !IsType(chunks[0], "IHDR")) return {};
    size_t imageData = FindChunk(chunks, "IDAT");
    if (imageData == kNoChunk) imageData = chunks.size();
    chunks.insert(chunks.begin() + static_cast<ptrdiff_t>(imageData), before.begin(), before.end());
    SortIntoTableOrder(&chunks);
    chunks.insert(chunks.end(), after.begin(), after.end());
    chunks.push_back({"IEND", {}});
    return chunks;
}

}  // namespace

size_t MutatePngInput(uint8_t *data, size_t size, size_t maxSize, unsigned seed, ByteMutator mutateBytes) {
    if (maxSize <= kControlBytes) return mutateBytes(data, size, maxSize);
    MutationRandom random(seed);
    Controls controls = ControlsOf(data, size, random);
    const uint32_t roll = random.Below(100);
    if (roll < 8 && size > kControlBytes)
        return kControlBytes + mutateBytes(data + kControlBytes, size - kControlBytes, LargestFile(size, maxSize));
    if (roll < 12 && size >= kControlBytes) {
        MutateControls(&controls, random);
        std::memcpy(data, controls.bytes, kControlBytes);
        return size;
    }
    if (random.OneIn(8)) MutateControls(&controls, random);
    const ChunkList original =
        size > kControlBytes ? ReadChunkList(data + kControlBytes, size - kControlBytes) : ChunkList{};
    for (int attempt = 0; attempt < 4; ++attempt) {
        ChunkList chunks = original;
        if (MutateChunks(chunks, LargestFile(size, maxSize), random)) return PutInput(controls, chunks, data);
    }
    if (size > kControlBytes)
        return kControlBytes + mutateBytes(data + kControlBytes, size - kControlBytes, LargestFile(size, maxSize));
    return mutateBytes(data, size, std::min(maxSize, kLargestGrownFile));
}

size_t CrossOverPngInputs(const uint8_t *first, size_t firstSize, const uint8_t *second, size_t secondSize,
                          uint8_t *out, size_t maxSize, unsigned seed) {
    if (firstSize <= kControlBytes || secondSize <= kControlBytes || maxSize <= kControlBytes) return 0;
    MutationRandom random(seed);
    const ChunkList one = ReadChunkList(first + kControlBytes, firstSize - kControlBytes);
    const ChunkList other = ReadChunkList(second + kControlBytes, secondSize - kControlBytes);
    const ChunkList chunks = random.OneIn(3) ? ImageWithChunksOf(other, one) : WithChunksOf(one, other, random);
    if (chunks.empty() || WrittenSize(chunks) > LargestFile(std::max(firstSize, secondSize), maxSize)) return 0;
    return PutInput(ControlsOf(random.OneIn(2) ? first : second, kControlBytes, random), chunks, out);
}
