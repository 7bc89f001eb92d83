#include "pnghost/host/Operations.h"

#include <cstdio>
#include <cstring>

#include "pnghost/host/Desktop.h"
#include "pnghost/host/HostFileHandle.h"
#include "pnghost/host/ModuleMemory.h"
#include "resources/ResourceIds.h"

namespace {

void EndProgressLine(HostSession *session) {
    if (session->progressShown >= 0) std::fputc('\n', stderr);
    session->progressShown = -1;
}

// What read-start told the host about the image. False when the host cannot
// hold an image of that size.
bool TakeImageDescription(HostSession *session) {
    TakeDescriptionFromBlock(session->block, &session->image);
    return AllocateHostImage(&session->image);
}


void QueueChoices(const SaveChoices &choices) {
    if (choices.interlace) QueuePersonAction(PersonAction::Click, IDC_INTERLACE);
    if (choices.writeFileInfo) QueuePersonAction(PersonAction::Click, IDC_WRITE_FILE_INFO);
    if (choices.bestSpeed) QueuePersonAction(PersonAction::Click, IDC_BEST_SPEED);
    if (choices.filterEntry >= 0) QueuePersonAction(PersonAction::Select, IDC_FILTER_LIST, choices.filterEntry);
    QueuePersonAction(choices.cancel ? PersonAction::Escape : PersonAction::Enter);
}

// The read steps from read-prepare on; the probe has run.
int16_t ReadWithModule(HostSession *session) {
    int16_t result = RunSteps(session, {kSelectorReadPrepare, kSelectorReadStart});
    if (result != kResultNoError) return result;

    session->imageDescribed = true;
    // As the editor does when it has no room for a document: the module is
    // told to finish, and the open ends without reading a row.
    if (!TakeImageDescription(session)) {
        session->imageTooLarge = true;
        CallSelector(session, kSelectorReadFinish);
        return kResultOutOfMemory;
    }
    session->flow = PixelFlow::ToImage;
    result = CallSelector(session, kSelectorReadContinue);
    session->flow = PixelFlow::None;
    EndProgressLine(session);
    const int16_t finish = CallSelector(session, kSelectorReadFinish);
    return result != kResultNoError ? result : finish;
}

// The module's blocks alive now beyond a count taken earlier, or -1.
int64_t BlocksSince(bool counted, size_t before) {
    size_t now = 0;
    if (!counted || !CountGlobalBlocks(&now)) return -1;
    return static_cast<int64_t>(now) - static_cast<int64_t>(before);
}

}  // namespace

void TakeDescriptionFromBlock(const HostFormatBlock &block, HostImage *image) {
    image->mode = block.imageMode;
    image->depth = block.depth;
    image->planes = block.planes;
    image->rows = block.imageRows;
    image->columns = block.imageColumns;
    image->horizontalResolution = block.horizontalResolution;
    image->verticalResolution = block.verticalResolution;
    std::memcpy(image->red, block.redLookUpTable, 256);
    std::memcpy(image->green, block.greenLookUpTable, 256);
    std::memcpy(image->blue, block.blueLookUpTable, 256);
    image->resources.clear();
    if (block.imageResources != nullptr && block.imageResourcesSize > 0) {
        const auto *data = static_cast<const uint8_t *>(block.imageResources->data);
        image->resources.assign(data, data + block.imageResourcesSize);
    }
}

int16_t RunSteps(HostSession *session, std::initializer_list<int16_t> selectors) {
    for (int16_t selector : selectors) {
        const int16_t result = CallSelector(session, selector);
        if (result != kResultNoError) return result;
    }
    return kResultNoError;
}

void DescribeImageToModule(HostSession *session) {
    HostFormatBlock &block = session->block;
    const HostImage &image = session->image;
    block.imageMode = image.mode;
    block.depth = image.depth;
    block.planes = image.planes;
    block.imageRows = image.rows;
    block.imageColumns = image.columns;
    block.horizontalResolution = image.horizontalResolution;
    block.verticalResolution = image.verticalResolution;
    std::memcpy(block.redLookUpTable, image.red, 256);
    std::memcpy(block.greenLookUpTable, image.green, 256);
    std::memcpy(block.blueLookUpTable, image.blue, 256);
    if (!image.resources.empty())
        block.imageResources =
            NewHostHandle(session, image.resources.data(), static_cast<int32_t>(image.resources.size()));
    block.imageResourcesSize = static_cast<int32_t>(image.resources.size());
}



int16_t OpenWithModule(HostSession *session, int file) {
    ResetHostBlock(session);
    session->block.fileHandle = HostFileHandle(file);
    session->flow = PixelFlow::None;
    session->imageDescribed = false;
    session->imageTooLarge = false;
    session->advancedRects.clear();
    session->progress.clear();
    // The probe is the module's first step and makes its state block, which
    // it keeps between operations: whatever else is alive after read-finish
    // was left behind.
    int16_t result = CallSelector(session, kSelectorFilterFile);
    size_t blocksBefore = 0;
    const bool counted = CountGlobalBlocks(&blocksBefore);
    if (result == kResultNoError) result = ReadWithModule(session);
    session->moduleBlocksLeft = BlocksSince(counted, blocksBefore);
    return result;
}

int16_t SaveWithModule(HostSession *session, int file, const SaveChoices &choices) {
    ResetHostBlock(session);
    session->block.fileHandle = HostFileHandle(file);
    session->flow = PixelFlow::None;
    session->advancedRects.clear();
    session->progress.clear();
    DescribeImageToModule(session);
    HostHandle resources = session->block.imageResources;

    QueueChoices(choices);
    int16_t result = RunSteps(session, {kSelectorOptionsPrepare, kSelectorOptionsStart, kSelectorOptionsContinue,
                                        kSelectorOptionsFinish, kSelectorEstimatePrepare, kSelectorEstimateStart,
                                        kSelectorEstimateContinue, kSelectorEstimateFinish, kSelectorWritePrepare,
                                        kSelectorWriteStart});
    if (result == kResultNoError) {
        session->flow = PixelFlow::FromImage;
        result = CallSelector(session, kSelectorWriteContinue);
        session->flow = PixelFlow::None;
        EndProgressLine(session);
        const int16_t finish = CallSelector(session, kSelectorWriteFinish);
        if (result == kResultNoError) result = finish;
    }
    ForgetPersonActions();
    if (resources != nullptr) DisposeHostHandle(session, resources);
    session->block.imageResources = nullptr;
    session->block.imageResourcesSize = 0;
    return result;
}
