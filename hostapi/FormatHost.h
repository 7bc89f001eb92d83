// The host editor's file-format plug-in interface, as this module and the
// test host use it: selectors, result codes, the parameter block, the buffer
// and handle suites, and the about record.
//
// Both the module and pnghost include this one header, so the two always
// agree on the layout. Fields are listed in the order the host lays them out.
#ifndef KORVANE_FORMAT_HOST_H
#define KORVANE_FORMAT_HOST_H

#include <stdint.h>

#if defined(_WIN32)
#define HOSTAPI __cdecl
#else
#define HOSTAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Selectors: the step the host asks ENTRYPOINT to run.
enum {
    kSelectorAbout = 0,
    kSelectorReadPrepare = 1,
    kSelectorReadStart = 2,
    kSelectorReadContinue = 3,
    kSelectorReadFinish = 4,
    kSelectorOptionsPrepare = 5,
    kSelectorOptionsStart = 6,
    kSelectorOptionsContinue = 7,
    kSelectorOptionsFinish = 8,
    kSelectorEstimatePrepare = 9,
    kSelectorEstimateStart = 10,
    kSelectorEstimateContinue = 11,
    kSelectorEstimateFinish = 12,
    kSelectorWritePrepare = 13,
    kSelectorWriteStart = 14,
    kSelectorWriteContinue = 15,
    kSelectorWriteFinish = 16,
    kSelectorFilterFile = 17,
    kSelectorCount = 18
};

// Result codes, signed 16-bit.
enum {
    kResultNoError = 0,
    kResultUserCancelled = 1,
    kResultProbeReadError = -19,
    kResultWriteError = -20,
    kResultOutOfMemory = -108,
    kResultBadSelector = -30500,
    kResultCannotRead = -30501
};

// Image modes of the host's image model.
enum {
    kModeBitmap = 0,
    kModeGrayscale = 1,
    kModeIndexed = 2,
    kModeRGB = 3,
    kModeCMYK = 4,
    kModeHSL = 5,
    kModeHSB = 6,
    kModeMultichannel = 7,
    kModeDuotone = 8,
    kModeLab = 9,
    kModeGray16 = 10,
    kModeRGB48 = 11
};

typedef int16_t HostResult;
typedef int32_t HostFixed;  // 16.16 fixed point
typedef uint32_t HostBufferId;

// A host handle: the address of a master record whose first field is the
// address of the data. The module's own handles have the same shape.
typedef struct HostHandleRecord {
    void *data;
} HostHandleRecord;
typedef HostHandleRecord *HostHandle;

typedef HostResult(HOSTAPI *HostAllocateBufferProc)(int32_t size, HostBufferId *bufferId);
typedef void *(HOSTAPI *HostLockBufferProc)(HostBufferId bufferId, uint8_t moveHigh);
typedef void(HOSTAPI *HostUnlockBufferProc)(HostBufferId bufferId);
typedef void(HOSTAPI *HostFreeBufferProc)(HostBufferId bufferId);
typedef int32_t(HOSTAPI *HostBufferSpaceProc)(void);

// Buffer suite, version 2: five routines, of which the module calls
// allocate, lock and free.
typedef struct HostBufferSuite {
    int16_t version;
    int16_t routineCount;
    HostAllocateBufferProc allocate;
    HostLockBufferProc lock;
    HostUnlockBufferProc unlock;
    HostFreeBufferProc free;
    HostBufferSpaceProc space;
} HostBufferSuite;

enum { kBufferSuiteVersion = 2, kBufferSuiteRoutines = 5 };

typedef HostHandle(HOSTAPI *HostNewHandleProc)(int32_t size);
typedef void(HOSTAPI *HostDisposeHandleProc)(HostHandle handle);
typedef int32_t(HOSTAPI *HostGetHandleSizeProc)(HostHandle handle);
typedef HostResult(HOSTAPI *HostSetHandleSizeProc)(HostHandle handle, int32_t size);

// Handle suite, version 1: four routines, of which the module calls new and
// dispose.
typedef struct HostHandleSuite {
    int16_t version;
    int16_t routineCount;
    HostNewHandleProc newHandle;
    HostDisposeHandleProc dispose;
    HostGetHandleSizeProc getSize;
    HostSetHandleSizeProc setSize;
} HostHandleSuite;

enum { kHandleSuiteVersion = 1, kHandleSuiteRoutines = 4 };

typedef uint8_t(HOSTAPI *HostAbortTestProc)(void);
typedef void(HOSTAPI *HostProgressProc)(int32_t done, int32_t total);
typedef HostResult(HOSTAPI *HostAdvanceStateProc)(void);

typedef struct HostRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
} HostRect;

// The host's monitor description, 16.16 fixed point throughout.
typedef struct HostMonitor {
    HostFixed gamma;
    HostFixed redX, redY;
    HostFixed greenX, greenY;
    HostFixed blueX, blueY;
    HostFixed whiteX, whiteY;
} HostMonitor;

// The parameter block passed on every call but the about call.
typedef struct HostFormatBlock {
    HostAbortTestProc abortTest;
    HostProgressProc progress;
    int32_t maxDataSize;
    int32_t minDataBytes;
    int32_t maxDataBytes;
    int32_t fileHandle;
    int16_t imageMode;
    int16_t imageRows;
    int16_t imageColumns;
    int16_t depth;
    int16_t planes;
    HostFixed horizontalResolution;
    HostFixed verticalResolution;
    uint8_t redLookUpTable[256];
    uint8_t greenLookUpTable[256];
    uint8_t blueLookUpTable[256];
    void *pixelData;
    HostRect transferRect;
    int16_t firstPlane;
    int16_t lastPlane;
    int16_t columnStep;
    int32_t rowStep;
    int32_t planeStep;
    uint32_t hostSignature;
    HostHandle imageResources;
    int32_t imageResourcesSize;
    HostMonitor monitor;
    HostBufferSuite *bufferServices;
    HostHandleSuite *handleServices;
    HostAdvanceStateProc advanceState;
} HostFormatBlock;

// The about call passes this record instead of the parameter block.
typedef struct HostPlatformData {
    void *parentWindow;  // HWND of the host's main window
} HostPlatformData;

typedef struct HostAboutRecord {
    HostPlatformData *platformData;
} HostAboutRecord;

// Four-character codes as the host stores them: first letter in the high byte.
#define HOST_FOURCC(a, b, c, d) \
    (((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) | ((uint32_t)(uint8_t)(c) << 8) | (uint32_t)(uint8_t)(d))

// The exported entry point. The low 16 bits of selector, taken as a signed
// number, name the step; hostData is the address of the word the host keeps
// for the module between calls.
typedef void(HOSTAPI *FormatEntryProc)(int32_t selector, void *parameters, intptr_t *hostData, int16_t *result);

#ifdef __cplusplus
}
#endif

#endif
