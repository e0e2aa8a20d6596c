#include "effects/pixel_buffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace fotello {

namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
}

std::uint8_t* AllocatePictureBytes(std::size_t bytes) {
    if (bytes == 0) {
        return nullptr;
    }
    if (bytes >= kHugePage) {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* p = std::aligned_alloc(kHugePage, rounded);
#ifdef __linux__
        if (p != nullptr) {
            madvise(p, rounded, MADV_HUGEPAGE);
        }
#endif
        return static_cast<std::uint8_t*>(p);
    }
    return static_cast<std::uint8_t*>(std::malloc(bytes));
}

void FreePictureBytes(std::uint8_t* bits, std::size_t) {
    std::free(bits);
}

PixelBuffer::PixelBuffer(int width, int height, std::uint32_t colour) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const std::size_t count = std::size_t(width) * std::size_t(height);
    if (count > std::numeric_limits<std::size_t>::max() / 4) {
        failed_ = true;
        return;
    }
    bits_ = AllocatePictureBytes(count * 4);
    if (bits_ == nullptr) {
        failed_ = true;
        return;
    }
    width_ = width;
    height_ = height;
    // colour is 0x00BBGGRR; memory order is blue, green, red, unused.
    const std::uint32_t word =
        0xFF000000u | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    const std::uint8_t px[4] = {std::uint8_t(word), std::uint8_t(word >> 8),
                                std::uint8_t(word >> 16), std::uint8_t(word >> 24)};
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(bits_ + i * 4, px, 4);
    }
}

PixelBuffer::~PixelBuffer() {
    FreePictureBytes(bits_, std::size_t(width_) * std::size_t(height_) * 4);
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : bits_(std::exchange(other.bits_, nullptr)), width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)), failed_(std::exchange(other.failed_, false)) {}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    if (this != &other) {
        FreePictureBytes(bits_, std::size_t(width_) * std::size_t(height_) * 4);
        bits_ = std::exchange(other.bits_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        failed_ = std::exchange(other.failed_, false);
    }
    return *this;
}

} // namespace fotello
