#include "pnghost/formats/JsonReport.h"

#include "pnghost/formats/FileInfoResource.h"
#include "pnghost/host/Desktop.h"

namespace {

// A JSON string of the bytes, ASCII throughout: bytes from 0x80 up are the
// Latin-1 characters of the same number.
std::string Quoted(const std::string &bytes) {
    std::string text = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            text += escape;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text + "\"";
}

std::string Hex(const std::vector<uint8_t> &bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::string Table(const uint8_t (&entries)[256]) {
    std::string text = "[";
    for (int i = 0; i < 256; ++i) text += (i == 0 ? "" : ", ") + std::to_string(entries[i]);
    return text + "]";
}

void PrintImage(FILE *out, const HostImage &image) {
    std::fprintf(out,
                 "  \"mode\": %d,\n  \"modeName\": \"%s\",\n  \"rows\": %d,\n  \"columns\": %d,\n  \"depth\": %d,\n"
                 "  \"planes\": %d,\n  \"horizontalResolution\": %d,\n  \"verticalResolution\": %d,\n",
                 image.mode, ImageModeName(image.mode), image.rows, image.columns, image.depth, image.planes,
                 image.horizontalResolution, image.verticalResolution);
    if (image.mode == kModeIndexed)
        std::fprintf(out, "  \"lookUpTables\": {\n    \"red\": %s,\n    \"green\": %s,\n    \"blue\": %s\n  },\n",
                     Table(image.red).c_str(), Table(image.green).c_str(), Table(image.blue).c_str());
    else
        std::fprintf(out, "  \"lookUpTables\": null,\n");
}

void PrintNoImage(FILE *out) {
    for (const char *key : {"mode", "modeName", "rows", "columns", "depth", "planes", "horizontalResolution",
                            "verticalResolution", "lookUpTables"})
        std::fprintf(out, "  \"%s\": null,\n", key);
}

void PrintFileInfo(FILE *out, const HostImage &image) {
    const std::vector<IptcDataset> datasets = ListFileInfoDatasets(image.resources);
    std::fprintf(out, "  \"fileInfo\": [");
    const char *separator = "\n";
    for (const IptcDataset &dataset : datasets) {
        std::fprintf(out, "%s    {\"dataset\": %d, \"text\": %s}", separator, dataset.number,
                     Quoted(dataset.text).c_str());
        separator = ",\n";
    }
    std::fprintf(out, "%s],\n  \"imageResources\": \"%s\",\n", datasets.empty() ? "" : "\n  ",
                 Hex(image.resources).c_str());
}

void PrintCallbacks(FILE *out, const HostSession &session) {
    std::fprintf(out, "  \"advanceStateCalls\": %zu,\n", session.advancedRects.size());
    std::fprintf(out, "  \"abortTests\": %d,\n", session.abortTests);
    if (session.progress.empty())
        std::fprintf(out, "  \"progress\": {\"count\": 0, \"lastDone\": null, \"lastTotal\": null},\n");
    else
        std::fprintf(out, "  \"progress\": {\"count\": %zu, \"lastDone\": %d, \"lastTotal\": %d},\n",
                     session.progress.size(), session.progress.back().done, session.progress.back().total);
    std::fprintf(out, "  \"alerts\": [");
    const char *separator = "";
    for (const AlertView &alert : AlertsShown()) {
        std::fprintf(out, "%s{\"caption\": %s, \"text\": %s}", separator, Quoted(alert.caption).c_str(),
                     Quoted(alert.text).c_str());
        separator = ", ";
    }
    std::fprintf(out, "],\n");
}

void PrintLeftAlive(FILE *out, const HostSession &session) {
    const std::string blocks =
        session.moduleBlocksLeft < 0 ? "null" : std::to_string(session.moduleBlocksLeft);
    std::fprintf(out, "  \"leftAlive\": {\"moduleBlocks\": %s, \"hostBuffers\": %zu, \"hostHandles\": %zu}\n",
                 blocks.c_str(), session.buffers.size(), session.handles.size());
}

}  // namespace

void PrintOpenReport(FILE *out, const HostSession &session, const std::string &path, int16_t result) {
    std::fprintf(out, "{\n  \"file\": %s,\n  \"result\": %d,\n", Quoted(path).c_str(), result);
    if (session.imageDescribed) PrintImage(out, session.image);
    else PrintNoImage(out);
    PrintFileInfo(out, session.image);
    PrintCallbacks(out, session);
    PrintLeftAlive(out, session);
    std::fprintf(out, "}\n");
}
