#pragma once
// A picture's pixels as the filters see them: 32 bits a pixel, top row first,
// bytes blue, green, red and one unused byte, rows packed (stride 4 x width).
// A QImage of Format_RGB32 hands its bits straight in.

#include <cstddef>
#include <cstdint>

namespace fotello {

inline constexpr int kBlue = 0;
inline constexpr int kGreen = 1;
inline constexpr int kRed = 2;
inline constexpr int kUnused = 3;

// Does not own the bytes.
struct PixelView {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;

    std::size_t stride() const { return std::size_t(width) * 4; }
    std::size_t byteCount() const { return stride() * std::size_t(height > 0 ? height : 0); }
    bool empty() const { return width <= 0 || height <= 0 || bits == nullptr; }
    bool contains(long long x, long long y) const {
        return x >= 0 && y >= 0 && x < width && y < height;
    }
    std::uint8_t* pixel(int x, int y) const { return bits + std::size_t(y) * stride() + x * 4; }
};

// Owns a picture's bytes; empty when the allocation failed.
class PixelBuffer {
public:
    PixelBuffer() = default;
    // Every pixel blue, green, red from colour 0x00BBGGRR, the unused byte 0xFF
    // (what an opaque RGB32 picture holds there).
    PixelBuffer(int width, int height, std::uint32_t colour = 0);
    ~PixelBuffer();
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    bool ok() const { return !failed_; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint8_t* bits() { return bits_; }
    const std::uint8_t* bits() const { return bits_; }
    PixelView view() { return PixelView{bits_, width_, height_}; }

private:
    std::uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool failed_ = false;
};

// Large blocks for picture copies: huge pages where the system allows them,
// since a fresh 100 MB block otherwise costs hundreds of milliseconds of page
// faults. Returns nullptr when the memory is not there.
std::uint8_t* AllocatePictureBytes(std::size_t bytes);
void FreePictureBytes(std::uint8_t* bits, std::size_t bytes);

} // namespace fotello
