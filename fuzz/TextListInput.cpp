#include "fuzz/TextListInput.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "codec/ReadText.h"
#include "fuzz/PngChunkList.h"

namespace {

const size_t kMostEntries = 40;
const int kRepeats = 17;
const size_t kLongestKeywordInFile = 79;

struct Reader {
    const uint8_t *data;
    size_t size;
    size_t at = 0;

    size_t Left() const { return size - at; }
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    // Up to count bytes, fewer where the input ends.
    std::vector<uint8_t> Bytes(size_t count) {
        if (count > Left()) count = Left();
        std::vector<uint8_t> bytes(data + at, data + at + count);
        at += count;
        return bytes;
    }
};

std::vector<uint8_t> TextChunkData(const TextInput &entry) {
    std::vector<uint8_t> data(entry.keyword.begin(), entry.keyword.end());
    data.push_back(0);
    if (!entry.compressed) {
        data.insert(data.end(), entry.text.begin(), entry.text.end());
        return data;
    }
    data.push_back(0);  // deflate, the only method
    const std::vector<uint8_t> packed = Deflated(entry.text, Z_BEST_SPEED);
    data.insert(data.end(), packed.begin(), packed.end());
    return data;
}

std::vector<uint8_t> TimeChunkData(const png_time &time) {
    return {static_cast<uint8_t>(time.year >> 8), static_cast<uint8_t>(time.year), time.month, time.day,
            time.hour, time.minute, time.second};
}

// libpng drops a tIME whose fields are out of range.
bool LibpngTakesTime(const png_time &time) {
    return time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31 && time.hour <= 23 &&
           time.minute <= 59 && time.second <= 60;
}

// Inflates a whole zlib stream of at most kLongestKeptText bytes; false when the
// stream is damaged, ends early or is longer.
bool InflateWhole(const uint8_t *in, size_t inLength, std::vector<uint8_t> *out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = const_cast<Bytef *>(in);
    stream.avail_in = static_cast<uInt>(inLength);
    uint8_t piece[4096];
    int status = Z_OK;
    while (status == Z_OK && out->size() <= kLongestKeptText) {
        stream.next_out = piece;
        stream.avail_out = sizeof piece;
        status = inflate(&stream, Z_NO_FLUSH);
        out->insert(out->end(), piece, piece + (sizeof piece - stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END && out->size() <= kLongestKeptText;
}

// What a PNG reader makes of the entry's chunk: the keyword runs to the
// first zero byte among the first 80, the text is the rest, inflated for a
// zTXt. False when the chunk holds no text a reader keeps.
bool ReadBack(const TextInput &entry, TextInput *carried) {
    const std::vector<uint8_t> data = TextChunkData(entry);
    if (data.size() > kLongestTextChunk) return false;
    const size_t searched = std::min(data.size(), kLongestKeywordInFile + 1);
    const auto *zero = static_cast<const uint8_t *>(std::memchr(data.data(), 0, searched));
    if (zero == nullptr || zero == data.data()) return false;
    const size_t keywordLength = static_cast<size_t>(zero - data.data());
    carried->compressed = entry.compressed;
    carried->keyword.assign(data.begin(), data.begin() + static_cast<long>(keywordLength));
    carried->text.clear();
    if (!entry.compressed) {
        carried->text.assign(data.begin() + static_cast<long>(keywordLength + 1), data.end());
        return carried->text.size() <= kLongestKeptText;
    }
    if (data.size() < keywordLength + 2 || data[keywordLength + 1] != 0) return false;
    return InflateWhole(data.data() + keywordLength + 2, data.size() - keywordLength - 2, &carried->text);
}

}  // namespace

TextListInput DecodeTextListInput(const uint8_t *data, size_t size) {
    Reader in{data, size};
    TextListInput list;
    list.hasTime = (in.Byte() & 1) != 0;
    if (list.hasTime) {
        const uint8_t high = in.Byte();
        list.time.year = static_cast<png_uint_16>(high << 8 | in.Byte());
        list.time.month = in.Byte();
        list.time.day = in.Byte();
        list.time.hour = in.Byte();
        list.time.minute = in.Byte();
        list.time.second = in.Byte();
    }
    while (in.Left() > 0 && list.entries.size() < kMostEntries) {
        TextInput entry;
        const uint8_t kind = in.Byte();
        entry.compressed = (kind & 1) != 0;
        const size_t keywordLength = in.Byte();
        const uint8_t high = in.Byte();
        const size_t textLength = static_cast<size_t>(high << 8 | in.Byte());
        const std::vector<uint8_t> keyword = in.Bytes(keywordLength);
        entry.keyword.assign(keyword.begin(), keyword.end());
        const std::vector<uint8_t> text = in.Bytes(textLength);
        for (int i = 0; i < ((kind & 2) != 0 ? kRepeats : 1); ++i)
            entry.text.insert(entry.text.end(), text.begin(), text.end());
        list.entries.push_back(std::move(entry));
    }
    return list;
}

std::vector<uint8_t> EncodeTextListInput(const TextListInput &list) {
    std::vector<uint8_t> out{static_cast<uint8_t>(list.hasTime ? 1 : 0)};
    if (list.hasTime) {
        const std::vector<uint8_t> time = TimeChunkData(list.time);
        out.insert(out.end(), time.begin(), time.end());
    }
    for (const TextInput &entry : list.entries) {
        out.push_back(entry.compressed ? 1 : 0);
        out.push_back(static_cast<uint8_t>(entry.keyword.size()));
        out.push_back(static_cast<uint8_t>(entry.text.size() >> 8));
        out.push_back(static_cast<uint8_t>(entry.text.size()));
        out.insert(out.end(), entry.keyword.begin(), entry.keyword.end());
        out.insert(out.end(), entry.text.begin(), entry.text.end());
    }
    return out;
}

TextListInput FileCarriedPart(const TextListInput &list) {
    TextListInput carried;
    carried.hasTime = list.hasTime && LibpngTakesTime(list.time);
    carried.time = list.time;
    for (const TextInput &entry : list.entries) {
        TextInput read;
        if (ReadBack(entry, &read)) carried.entries.push_back(read);
    }
    return carried;
}

std::vector<uint8_t> PngWithTexts(const TextListInput &list) {
    ChunkList chunks = {{"IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 0, 0, 0}}};
    if (list.hasTime) chunks.push_back({"tIME", TimeChunkData(list.time)});
    for (const TextInput &entry : list.entries)
        chunks.push_back({entry.compressed ? "zTXt" : "tEXt", TextChunkData(entry)});
    chunks.push_back({"IDAT", Deflated({0, 0x80}, Z_BEST_SPEED)});
    chunks.push_back({"IEND", {}});
    return WriteChunkList(chunks);
}

std::vector<PngTextEntry> ModuleEntries(const TextListInput &list) {
    std::vector<PngTextEntry> entries;
    for (const TextInput &entry : list.entries)
        entries.push_back(PngTextEntry{entry.compressed ? 0 : -1, entry.keyword.c_str(), entry.text.data(),
                                       static_cast<uint32_t>(entry.text.size())});
    return entries;
}
