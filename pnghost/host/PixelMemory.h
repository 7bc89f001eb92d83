// Memory for the pixels of a host image. It comes zero-filled, a large block
// as fresh pages straight from the system, and making it writes nothing: so,
// as in an editor whose image memory is committed page by page, an image
// costs only the rows that are really written, and a file that declares a
// huge image but holds no data costs next to nothing. (A std::vector would
// write or at least visit every byte as it sizes itself.)
#ifndef PNGHOST_PIXEL_MEMORY_H
#define PNGHOST_PIXEL_MEMORY_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Null when the memory cannot be had: also past the host's own limit on the
// bytes of its live images (on Linux 2 GiB, as a 32-bit host has room for),
// or fewer MiB from PNGHOST_IMAGE_MEMORY_MIB. Release takes the size
// allocated.
void *AllocateZeroedBytes(std::size_t bytes);
void ReleaseZeroedBytes(void *memory, std::size_t bytes);

// The bytes of an image, used as a byte vector is: data(), size(),
// operator[], iteration, resize, assign; it takes and gives plain byte
// vectors and compares with them. Growing throws std::bad_alloc when the
// memory cannot be had.
class ImagePixels {
public:
    ImagePixels() = default;
    explicit ImagePixels(std::size_t size);
    ImagePixels(const std::vector<uint8_t> &bytes);
    ImagePixels(const ImagePixels &other);
    ImagePixels(ImagePixels &&other) noexcept;
    ImagePixels &operator=(ImagePixels other) noexcept;
    ImagePixels &operator=(const std::vector<uint8_t> &bytes);
    ~ImagePixels();
    operator std::vector<uint8_t>() const { return std::vector<uint8_t>(begin(), end()); }

    uint8_t *data() { return bytes_; }
    const uint8_t *data() const { return bytes_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t max_size() const { return PTRDIFF_MAX; }
    uint8_t &operator[](std::size_t at) { return bytes_[at]; }
    const uint8_t &operator[](std::size_t at) const { return bytes_[at]; }
    uint8_t *begin() { return bytes_; }
    uint8_t *end() { return bytes_ + size_; }
    const uint8_t *begin() const { return bytes_; }
    const uint8_t *end() const { return bytes_ + size_; }

    // Keeps the first bytes; bytes added are zero.
    void resize(std::size_t size);
    void assign(std::size_t size, uint8_t value);
    void assign(const uint8_t *first, const uint8_t *last);
    template <typename Iterator>
    void assign(Iterator first, Iterator last) {
        const std::vector<uint8_t> bytes(first, last);
        assign(bytes.data(), bytes.data() + bytes.size());
    }
    void clear();
    void swap(ImagePixels &other) noexcept;

private:
    uint8_t *bytes_ = nullptr;
    std::size_t size_ = 0;
};

bool operator==(const ImagePixels &one, const ImagePixels &other);
bool operator==(const ImagePixels &pixels, const std::vector<uint8_t> &bytes);
bool operator==(const std::vector<uint8_t> &bytes, const ImagePixels &pixels);
inline bool operator!=(const ImagePixels &one, const ImagePixels &other) { return !(one == other); }
inline bool operator!=(const ImagePixels &pixels, const std::vector<uint8_t> &bytes) { return !(pixels == bytes); }
inline bool operator!=(const std::vector<uint8_t> &bytes, const ImagePixels &pixels) { return !(pixels == bytes); }

#endif
