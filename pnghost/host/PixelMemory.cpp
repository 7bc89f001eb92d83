#include "pnghost/host/PixelMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace {

#ifndef _WIN32
// From this size on a block gets pages of its own, which read as zero and
// cost nothing until written. Smaller ones come from calloc.
const std::size_t kMappedBytes = std::size_t{1} << 20;
#endif

// On Linux the host holds what a 32-bit host has room for, 2 GiB. On Windows
// the process's own address space is the limit (LargestImageBytes), so that a
// large-address-aware host on 64-bit Windows holds more.
#ifdef _WIN32
const std::size_t kDefaultLimitBytes = SIZE_MAX;
#else
const std::size_t kDefaultLimitBytes = std::size_t{2048} << 20;
#endif

std::size_t LimitFromEnvironment() {
    const char *text = std::getenv("PNGHOST_IMAGE_MEMORY_MIB");
    if (text == nullptr || *text == '\0') return kDefaultLimitBytes;
    char *end = nullptr;
    const unsigned long long mebibytes = std::strtoull(text, &end, 10);
    if (*end != '\0' || mebibytes >= (kDefaultLimitBytes >> 20)) return kDefaultLimitBytes;
    return static_cast<std::size_t>(mebibytes) << 20;
}

std::atomic<std::size_t> liveBytes{0};

// Takes room for the bytes under the limit; false when there is none.
bool TakeRoom(std::size_t bytes) {
    static const std::size_t limit = LimitFromEnvironment();
    std::size_t live = liveBytes.load();
    do {
        if (bytes > limit - live) return false;
    } while (!liveBytes.compare_exchange_weak(live, live + bytes));
    return true;
}

// On Windows calloc takes large blocks from the system's zeroed pages
// already.
void *AllocateWithinRoom(std::size_t bytes) {
#ifndef _WIN32
    if (bytes >= kMappedBytes) {
        void *memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        return memory == MAP_FAILED ? nullptr : memory;
    }
#endif
    return std::calloc(bytes, 1);
}

uint8_t *ZeroedOrThrow(std::size_t bytes) {
    if (bytes == 0) return nullptr;
    void *memory = AllocateZeroedBytes(bytes);
    if (memory == nullptr) throw std::bad_alloc();
    return static_cast<uint8_t *>(memory);
}

}  // namespace

void *AllocateZeroedBytes(std::size_t bytes) {
    if (!TakeRoom(bytes)) return nullptr;
    void *memory = AllocateWithinRoom(bytes);
    if (memory == nullptr) liveBytes -= bytes;
    return memory;
}

void ReleaseZeroedBytes(void *memory, std::size_t bytes) {
    if (memory == nullptr) return;
    liveBytes -= bytes;
#ifndef _WIN32
    if (bytes >= kMappedBytes) {
        munmap(memory, bytes);
        return;
    }
#else
    (void)bytes;
#endif
    std::free(memory);
}

ImagePixels::ImagePixels(std::size_t size) : bytes_(ZeroedOrThrow(size)), size_(size) {}

ImagePixels::ImagePixels(const std::vector<uint8_t> &bytes) : ImagePixels(bytes.size()) {
    if (size_ != 0) std::memcpy(bytes_, bytes.data(), size_);
}

ImagePixels::ImagePixels(const ImagePixels &other) : ImagePixels(other.size_) {
    if (size_ != 0) std::memcpy(bytes_, other.bytes_, size_);
}

ImagePixels::ImagePixels(ImagePixels &&other) noexcept { swap(other); }

ImagePixels &ImagePixels::operator=(ImagePixels other) noexcept {
    swap(other);
    return *this;
}

ImagePixels &ImagePixels::operator=(const std::vector<uint8_t> &bytes) { return *this = ImagePixels(bytes); }

ImagePixels::~ImagePixels() { ReleaseZeroedBytes(bytes_, size_); }

void ImagePixels::resize(std::size_t size) {
    if (size == size_) return;
    ImagePixels resized(size);
    if (size != 0 && size_ != 0) std::memcpy(resized.bytes_, bytes_, std::min(size, size_));
    swap(resized);
}

void ImagePixels::assign(std::size_t size, uint8_t value) {
    ImagePixels filled(size);
    if (value != 0 && size != 0) std::memset(filled.bytes_, value, size);
    swap(filled);
}

void ImagePixels::assign(const uint8_t *first, const uint8_t *last) {
    ImagePixels copied(static_cast<std::size_t>(last - first));
    if (copied.size_ != 0) std::memcpy(copied.bytes_, first, copied.size_);
    swap(copied);
}

void ImagePixels::clear() { ImagePixels().swap(*this); }

void ImagePixels::swap(ImagePixels &other) noexcept {
    std::swap(bytes_, other.bytes_);
    std::swap(size_, other.size_);
}

bool operator==(const ImagePixels &one, const ImagePixels &other) {
    return std::equal(one.begin(), one.end(), other.begin(), other.end());
}

bool operator==(const ImagePixels &pixels, const std::vector<uint8_t> &bytes) {
    return std::equal(pixels.begin(), pixels.end(), bytes.begin(), bytes.end());
}

bool operator==(const std::vector<uint8_t> &bytes, const ImagePixels &pixels) { return pixels == bytes; }
