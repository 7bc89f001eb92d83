// GlobalAlloc and friends. A fixed block's handle is its data pointer; a
// moveable block's handle is the address of its bookkeeping record (whose
// first field is the data pointer, as a Windows handle points at a handle
// table slot), so it is never equal to any live data pointer. Every handle is
// checked against the table of live blocks: a stale or foreign handle fails
// with a note on stderr, since in the module that is a real bug.
//
// A large zero-filled block is mapped straight from the system, whose fresh
// pages read as zero and cost nothing until they are touched, as Windows
// commits a large global block's pages: an interlaced image's store of half
// the rows costs only the rows the file really fills.
#include <win32_layer.h>

#include <malloc.h>
#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
    void *data = nullptr;  // null for a moveable block of zero bytes (discarded)
    SIZE_T size = 0;
    bool moveable = false;
    unsigned locks = 0;
    SIZE_T mapped = 0;  // the length of the data's own mapping; 0 when it is from malloc
};

// Zero-filled blocks from this size on get their own mapping.
const SIZE_T kMappedBlockBytes = SIZE_T{1} << 20;

// The commit limit: 2 GiB, or fewer MiB from the environment, so that tests
// can run out of memory with small images.
const char kLimitVariable[] = "KORVANE_GLOBAL_MEMORY_MIB";
const size_t kDefaultLimitBytes = size_t{2048} << 20;

size_t LimitFromEnvironment() {
    const char *text = std::getenv(kLimitVariable);
    if (text == nullptr || *text == '\0') return kDefaultLimitBytes;
    char *end = nullptr;
    const unsigned long long mebibytes = std::strtoull(text, &end, 10);
    if (*end != '\0' || mebibytes >= (kDefaultLimitBytes >> 20)) return kDefaultLimitBytes;
    return static_cast<size_t>(mebibytes) << 20;
}

struct GlobalHeap {
    std::mutex mutex;
    std::unordered_map<HGLOBAL, Block *> blocks;
    std::unordered_map<const void *, HGLOBAL> handleOfData;
    size_t liveBytes = 0;
    size_t peakBytes = 0;
    size_t limitBytes = LimitFromEnvironment();
    unsigned long attempts = 0;
    unsigned long failCountdown = 0;
};

// Never destroyed: modules free their memory while the process exits.
GlobalHeap &Heap() {
    static GlobalHeap *heap = new GlobalHeap;
    return *heap;
}

void Complain(const char *function, const void *what) {
    std::fprintf(stderr, "win32: %s: %p is not a live global memory block (freed twice, or never allocated)\n",
                 function, what);
}

// Counts an allocation attempt and says whether the fault knob lets it pass.
bool MayAllocate(GlobalHeap &heap) {
    ++heap.attempts;
    return heap.failCountdown == 0 || --heap.failCountdown != 0;
}

bool WithinLimit(const GlobalHeap &heap, SIZE_T added) { return added <= heap.limitBytes - heap.liveBytes; }

void AddLiveBytes(GlobalHeap &heap, SIZE_T added, SIZE_T removed) {
    heap.liveBytes = heap.liveBytes + added - removed;
    if (heap.liveBytes > heap.peakBytes) heap.peakBytes = heap.liveBytes;
}

Block *Find(GlobalHeap &heap, HGLOBAL handle, const char *function) {
    const auto found = heap.blocks.find(handle);
    if (found != heap.blocks.end()) return found->second;
    Complain(function, handle);
    return nullptr;
}

HGLOBAL HandleOf(Block *block) { return block->moveable ? static_cast<HGLOBAL>(block) : block->data; }

void Register(GlobalHeap &heap, Block *block) {
    heap.blocks[HandleOf(block)] = block;
    if (block->data) heap.handleOfData[block->data] = HandleOf(block);
}

void Unregister(GlobalHeap &heap, Block *block) {
    heap.blocks.erase(HandleOf(block));
    if (block->data) heap.handleOfData.erase(block->data);
}

void *MapZeroPages(SIZE_T bytes) {
    void *data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return data == MAP_FAILED ? nullptr : data;
}

void ReleaseData(const Block &block) {
    if (block.mapped != 0)
        munmap(block.data, block.mapped);
    else
        std::free(block.data);
}

SIZE_T Capacity(const Block &block) { return block.mapped != 0 ? block.mapped : malloc_usable_size(block.data); }

// A mapping that must grow past its pages moves to a fresh one: only the
// bytes in use are copied, and the new part is zero without being touched.
void *Remap(Block &block, SIZE_T bytes) {
    void *data = MapZeroPages(bytes);
    if (data == nullptr) return nullptr;
    std::memcpy(data, block.data, block.size);
    munmap(block.data, block.mapped);
    block.mapped = bytes;
    return data;
}

// Gives the block `bytes` of storage, moving it only when `mayMove`. Returns
// the new data pointer, or null (the block unchanged) when it cannot.
void *Resize(Block &block, SIZE_T bytes, bool mayMove) {
    if (block.data == nullptr) return std::malloc(bytes ? bytes : 1);
    if (bytes <= Capacity(block)) return block.data;
    if (!mayMove) return nullptr;
    return block.mapped == 0 ? std::realloc(block.data, bytes) : Remap(block, bytes);
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    GlobalHeap &heap = Heap();
    std::lock_guard<std::mutex> lock(heap.mutex);
    if (!MayAllocate(heap) || !WithinLimit(heap, bytes)) return nullptr;
    const bool moveable = (flags & GMEM_MOVEABLE) != 0;
    const bool mapped = (flags & GMEM_ZEROINIT) && bytes >= kMappedBlockBytes;
    void *data = nullptr;
    // A moveable block of zero bytes is created discarded, as on Windows.
    if (mapped)
        data = MapZeroPages(bytes);
    else if (!(moveable && bytes == 0))
        data = std::malloc(bytes ? bytes : 1);
    if (data == nullptr && !(moveable && bytes == 0)) return nullptr;
    if (data && !mapped && (flags & GMEM_ZEROINIT)) std::memset(data, 0, bytes);
    Block *block = new Block{data, bytes, moveable, 0, mapped ? bytes : 0};
    Register(heap, block);
    AddLiveBytes(heap, bytes, 0);
    return HandleOf(block);
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
    GlobalHeap &heap = Heap();
    std::lock_guard<std::mutex> lock(heap.mutex);
    Block *block = Find(heap, memory, "GlobalReAlloc");
    if (block == nullptr) return nullptr;
    if (bytes > block->size && (!MayAllocate(heap) || !WithinLimit(heap, bytes - block->size))) return nullptr;
    // An unlocked moveable block may always move; anything else only when
    // the caller allows it with GMEM_MOVEABLE.
    const bool mayMove = (flags & GMEM_MOVEABLE) || (block->moveable && block->locks == 0);
    const bool moved = block->mapped != 0 && bytes > block->mapped;
    void *data = Resize(*block, bytes, mayMove);
    if (data == nullptr) return nullptr;
    // A fresh mapping is zero past the bytes copied into it.
    if ((flags & GMEM_ZEROINIT) && bytes > block->size && !moved)
        std::memset(static_cast<char *>(data) + block->size, 0, bytes - block->size);
    Unregister(heap, block);
    AddLiveBytes(heap, bytes, block->size);
    block->data = data;
    block->size = bytes;
    Register(heap, block);
    return HandleOf(block);
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
    GlobalHeap &heap = Heap();
    std::lock_guard<std::mutex> lock(heap.mutex);
    Block *block = Find(heap, memory, "GlobalLock");
    if (block == nullptr || block->data == nullptr) return nullptr;
    if (block->moveable) ++block->locks;
    return block->data;
}

// Nonzero while the block stays locked. Fixed blocks count as always locked.
BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
    GlobalHeap &heap = Heap();
    std::lock_guard<std::mutex> lock(heap.mutex);
    Block *block = Find(heap, memory, "GlobalUnlock");
    if (block == nullptr) return FALSE;
    if (!block->moveable) return TRUE;
    if (block->locks == 0) return FALSE;
    return --block->locks != 0;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID pointer) {
    GlobalHeap &heap = Heap();
    std::lock_guard<std::mutex> lock(heap.mutex);
    const auto found = heap.handleOfData.find(pointer);
    if (found != heap.handleOfData.end()) return found->second;
    Complain("GlobalHandle", pointer);
    return nullptr;
}

// Null on success; the handle itself when it is not a live block. A locked
// block is freed too, as on Windows.
HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
    if (memory == nullptr) return nullptr;
    GlobalHeap &heap = Heap();
    std::lock_guard<std::mutex> lock(heap.mutex);
    Block *block = Find(heap, memory, "GlobalFree");
    if (block == nullptr) return memory;
    Unregister(heap, block);
    AddLiveBytes(heap, 0, block->size);
    ReleaseData(*block);
    delete block;
    return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL memory) {
    GlobalHeap &heap = Heap();
    std::lock_guard<std::mutex> lock(heap.mutex);
    Block *block = Find(heap, memory, "GlobalSize");
    return block ? block->size : 0;
}

size_t Win32LiveGlobalBlocks(void) {
    std::lock_guard<std::mutex> lock(Heap().mutex);
    return Heap().blocks.size();
}

size_t Win32LiveGlobalBytes(void) {
    std::lock_guard<std::mutex> lock(Heap().mutex);
    return Heap().liveBytes;
}

size_t Win32PeakGlobalBytes(void) {
    std::lock_guard<std::mutex> lock(Heap().mutex);
    return Heap().peakBytes;
}

void Win32ResetPeakGlobalBytes(void) {
    std::lock_guard<std::mutex> lock(Heap().mutex);
    Heap().peakBytes = Heap().liveBytes;
}

unsigned long Win32GlobalAllocationCount(void) {
    std::lock_guard<std::mutex> lock(Heap().mutex);
    return Heap().attempts;
}

void Win32FailGlobalAllocation(unsigned long n) {
    std::lock_guard<std::mutex> lock(Heap().mutex);
    Heap().failCountdown = n;
}
