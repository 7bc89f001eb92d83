// Memory for the pixels of a host image. It comes zero-filled, a large block
// as fresh pages straight from the system, and the vector leaves elements
// made without a value as they are: so, as in an editor
// whose image memory is committed page by page, an image costs only the
// rows that are really written, and a file that declares a huge image but
// holds no data costs next to nothing.
#ifndef PNGHOST_PIXEL_MEMORY_H
#define PNGHOST_PIXEL_MEMORY_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

// Null when the memory cannot be had. Release takes the size allocated.
void *AllocateZeroedBytes(std::size_t bytes);
void ReleaseZeroedBytes(void *memory, std::size_t bytes);

template <typename T>
struct ZeroPageAllocator {
    using value_type = T;

    ZeroPageAllocator() = default;
    template <typename U>
    ZeroPageAllocator(const ZeroPageAllocator<U> &) {}

    T *allocate(std::size_t count) {
        if (count > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        void *memory = AllocateZeroedBytes(count * sizeof(T));
        if (memory == nullptr) throw std::bad_alloc();
        return static_cast<T *>(memory);
    }
    void deallocate(T *memory, std::size_t count) { ReleaseZeroedBytes(memory, count * sizeof(T)); }

    // Default-initialised, so nothing is written: the memory's zero stays.
    template <typename U>
    void construct(U *at) noexcept {
        ::new (static_cast<void *>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U *at, Args &&...args) {
        ::new (static_cast<void *>(at)) U(std::forward<Args>(args)...);
    }
};

template <typename T, typename U>
bool operator==(const ZeroPageAllocator<T> &, const ZeroPageAllocator<U> &) {
    return true;
}
template <typename T, typename U>
bool operator!=(const ZeroPageAllocator<T> &, const ZeroPageAllocator<U> &) {
    return false;
}

// A byte vector in that memory. It takes and gives plain byte vectors, and
// compares with them, so that code written for those keeps working.
class ImagePixels : public std::vector<uint8_t, ZeroPageAllocator<uint8_t>> {
public:
    using Base = std::vector<uint8_t, ZeroPageAllocator<uint8_t>>;
    using Base::Base;
    ImagePixels() = default;
    ImagePixels(const std::vector<uint8_t> &bytes) : Base(bytes.begin(), bytes.end()) {}
    ImagePixels &operator=(const std::vector<uint8_t> &bytes) {
        assign(bytes.begin(), bytes.end());
        return *this;
    }
    operator std::vector<uint8_t>() const { return std::vector<uint8_t>(begin(), end()); }

    friend bool operator==(const ImagePixels &one, const ImagePixels &other) {
        return static_cast<const Base &>(one) == static_cast<const Base &>(other);
    }
    friend bool operator!=(const ImagePixels &one, const ImagePixels &other) { return !(one == other); }
    friend bool operator==(const ImagePixels &pixels, const std::vector<uint8_t> &bytes) {
        return std::equal(pixels.begin(), pixels.end(), bytes.begin(), bytes.end());
    }
    friend bool operator==(const std::vector<uint8_t> &bytes, const ImagePixels &pixels) { return pixels == bytes; }
    friend bool operator!=(const ImagePixels &pixels, const std::vector<uint8_t> &bytes) { return !(pixels == bytes); }
    friend bool operator!=(const std::vector<uint8_t> &bytes, const ImagePixels &pixels) { return !(pixels == bytes); }
};

#endif
