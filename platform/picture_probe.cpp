#include "platform/picture_probe.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace fotello {
namespace {

using Bytes = std::span<const std::uint8_t>;

bool Has(Bytes d, std::size_t pos, std::size_t n) {
    return pos <= d.size() && n <= d.size() - pos;
}

std::uint32_t Le16(Bytes d, std::size_t p) {
    return d[p] | (d[p + 1] << 8);
}
std::uint32_t Le32(Bytes d, std::size_t p) {
    return d[p] | (d[p + 1] << 8) | (d[p + 2] << 16) | (std::uint32_t(d[p + 3]) << 24);
}
std::uint32_t Be16(Bytes d, std::size_t p) {
    return (d[p] << 8) | d[p + 1];
}
std::uint32_t Be32(Bytes d, std::size_t p) {
    return (std::uint32_t(d[p]) << 24) | (d[p + 1] << 16) | (d[p + 2] << 8) | d[p + 3];
}

bool StartsWith(Bytes d, const char* magic, std::size_t n) {
    return d.size() >= n && std::memcmp(d.data(), magic, n) == 0;
}

constexpr std::uint8_t kPngMagic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool IsWmfHeader(Bytes d, std::size_t p) {
    if (!Has(d, p, 6))
        return false;
    const auto type = Le16(d, p), headerWords = Le16(d, p + 2), version = Le16(d, p + 4);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x100 || version == 0x300);
}

// Walks run-length coded rows to the end-of-bitmap escape, or to the end of
// the last row for writers that leave that escape out; false when the data
// ends first.
bool WalkRle(Bytes d, bool fourBits, std::int64_t rows) {
    std::size_t pos = 0;
    std::int64_t row = 0;
    while (row < rows) {
        if (!Has(d, pos, 2))
            return false;
        const std::size_t count = d[pos], code = d[pos + 1];
        pos += 2;
        if (count > 0)
            continue; // a run of `count` pixels
        if (code == 0) {
            ++row;
        } else if (code == 1) {
            return true;
        } else if (code == 2) {
            if (!Has(d, pos, 2))
                return false;
            row += d[pos + 1];
            pos += 2;
        } else {
            // `code` pixels stored as they are, padded to a 16-bit boundary.
            const std::size_t bytes = fourBits ? (code + 1) / 2 : code;
            pos += (bytes + 1) / 2 * 2;
        }
    }
    return true;
}

void ProbeBmp(Bytes d, PictureProbe& p) {
    if (!Has(d, 14, 4)) {
        p.truncated = true;
        return;
    }
    const std::uint32_t headerSize = Le32(d, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0, imageBytes = 0;
    if (headerSize == 12) {
        if (!Has(d, 14, 12)) {
            p.truncated = true;
            return;
        }
        width = Le16(d, 18);
        height = Le16(d, 20);
        bits = Le16(d, 24);
    } else if (headerSize >= 40 && headerSize <= 124) {
        if (!Has(d, 14, 40)) {
            p.truncated = true;
            return;
        }
        width = std::int32_t(Le32(d, 18));
        height = std::int32_t(Le32(d, 22));
        bits = Le16(d, 28);
        compression = Le32(d, 30);
        imageBytes = Le32(d, 34);
    } else {
        p.invalid = true;
        return;
    }
    height = height < 0 ? -height : height; // negative: rows stored top-down
    p.width = width;
    p.height = height;
    if (width <= 0 || height == 0) {
        p.invalid = true;
        return;
    }
    const std::int64_t start = std::max<std::int64_t>(Le32(d, 10), 14 + std::int64_t(headerSize));
    if (start > std::int64_t(d.size())) {
        p.truncated = true;
        return;
    }
    const std::int64_t available = std::int64_t(d.size()) - start;
    if (compression == 0 || compression == 3 || compression == 6) {
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
            p.invalid = true;
            return;
        }
        // Up to 2^33 bytes a row times 2^31 rows: compare by division, never multiply.
        const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
        p.truncated = height > available / rowBytes;
    } else if ((compression == 1 && bits == 8) || (compression == 2 && bits == 4)) {
        // The size field is often 0: the stream itself says where it ends.
        p.truncated = std::int64_t(imageBytes) > available ||
                      !WalkRle(d.subspan(std::size_t(start)), compression == 2, height);
    } else {
        p.invalid = true;
    }
}

bool IsStartOfFrame(std::uint8_t m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

struct JpegComponent {
    int id;
    std::int64_t blocks; // of 8 x 8 coefficients
};

// The frame header's components with the blocks libjpeg keeps for each: rows
// rounded up to the component's vertical sampling factor.
std::vector<JpegComponent> FrameComponents(Bytes frame, std::int64_t width, std::int64_t height) {
    const std::size_t count = frame.size() > 7 ? frame[7] : 0;
    if (!Has(frame, 8, 3 * count))
        return {};
    int hMax = 1, vMax = 1;
    for (std::size_t i = 0; i < count; ++i) {
        hMax = std::max(hMax, frame[9 + 3 * i] >> 4);
        vMax = std::max(vMax, frame[9 + 3 * i] & 15);
    }
    std::vector<JpegComponent> out;
    for (std::size_t i = 0; i < count; ++i) {
        const int h = std::max(1, frame[9 + 3 * i] >> 4), v = std::max(1, frame[9 + 3 * i] & 15);
        const std::int64_t across = (width * h + 8 * hMax - 1) / (8 * hMax);
        const std::int64_t down = ((height * v + 8 * vMax - 1) / (8 * vMax) + v - 1) / v * v;
        out.push_back({frame[8 + 3 * i], across * down});
    }
    return out;
}

// Coefficients a scan header makes the decoder go over: every block of each
// component it names.
std::int64_t ScanCoefficients(Bytes scan, const std::vector<JpegComponent>& components) {
    const std::size_t count = scan.size() > 2 ? scan[2] : 0;
    std::int64_t total = 0;
    for (std::size_t j = 0; j < count && Has(scan, 3 + 2 * j, 1); ++j)
        for (const JpegComponent& c : components)
            if (c.id == scan[3 + 2 * j])
                total += c.blocks * 64;
    return total;
}

void ProbeJpeg(Bytes d, PictureProbe& p) {
    std::size_t pos = 2;
    bool sawScan = false, progressive = false;
    std::vector<JpegComponent> components;
    for (;;) {
        // Skip to the next marker; libjpeg also steps over stray bytes and fill 0xFFs.
        while (pos < d.size() && d[pos] != 0xFF)
            ++pos;
        while (pos < d.size() && d[pos] == 0xFF)
            ++pos;
        if (pos >= d.size()) {
            p.truncated = true;
            return;
        }
        const std::uint8_t marker = d[pos++];
        if (marker == 0xD9) {
            p.invalid = p.invalid || !sawScan || p.width == 0;
            return;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (!Has(d, pos, 2)) {
            p.truncated = true;
            return;
        }
        const std::size_t length = Be16(d, pos);
        if (length < 2) {
            p.invalid = true;
            return;
        }
        if (IsStartOfFrame(marker) && p.width == 0 && Has(d, pos, 7)) {
            p.height = Be16(d, pos + 3);
            p.width = Be16(d, pos + 5);
            if (p.width == 0 || p.height == 0)
                p.invalid = true; // a height given later by DNL: libjpeg refuses it too
            progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            if (Has(d, pos, length))
                components = FrameComponents(d.subspan(pos, length), p.width, p.height);
        }
        if (!Has(d, pos, length)) {
            p.truncated = true;
            return;
        }
        const Bytes segment = d.subspan(pos, length);
        pos += length;
        if (marker != 0xDA)
            continue;
        if (p.width == 0) {
            p.invalid = true;
            return;
        }
        sawScan = true;
        p.scanCoefficients += ScanCoefficients(segment, components);
        if (++p.scans > kMaxJpegScans || p.scanCoefficients > kMaxJpegScanCoefficients) {
            p.invalid = true;
            return;
        }
        // A progressive or multi-scan file is decoded into coefficient buffers for
        // the whole picture first.
        if (progressive || p.scans > 1) {
            p.coefficientBytes = 0;
            for (const JpegComponent& c : components)
                p.coefficientBytes += c.blocks * 128;
        }
        // Entropy-coded data runs to the next marker other than a stuffed 0xFF00 or a restart.
        for (;;) {
            const void* ff = std::memchr(d.data() + pos, 0xFF, d.size() - pos);
            if (ff == nullptr) {
                p.truncated = true;
                return;
            }
            pos = static_cast<const std::uint8_t*>(ff) - d.data();
            if (pos + 1 >= d.size()) {
                p.truncated = true;
                return;
            }
            const std::uint8_t next = d[pos + 1];
            if (next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
                pos += next == 0xFF ? 1 : 2;
                continue;
            }
            break;
        }
    }
}

// Skips GIF data sub-blocks; false when the data ends first.
bool SkipSubBlocks(Bytes d, std::size_t& pos) {
    for (;;) {
        if (!Has(d, pos, 1))
            return false;
        const std::size_t n = d[pos++];
        if (n == 0)
            return true;
        if (!Has(d, pos, n))
            return false;
        pos += n;
    }
}

void ProbeGif(Bytes d, PictureProbe& p) {
    p.decodedPixelBytes = 8; // the canvas and the copy that disposal restores from
    if (!Has(d, 0, 13)) {
        p.truncated = true;
        return;
    }
    p.width = Le16(d, 6);
    p.height = Le16(d, 8);
    std::size_t pos = 13;
    if (d[10] & 0x80)
        pos += 3u << ((d[10] & 7) + 1);
    int frames = 0;
    for (;;) {
        if (!Has(d, pos, 1)) {
            p.truncated = true;
            return;
        }
        const std::uint8_t block = d[pos++];
        if (block == 0x3B)
            break;
        if (block == 0x21) {
            if (!Has(d, pos, 1) || !SkipSubBlocks(d, ++pos)) {
                p.truncated = true;
                return;
            }
        } else if (block == 0x2C) {
            if (!Has(d, pos, 9)) {
                p.truncated = true;
                return;
            }
            const std::int64_t right = std::int64_t(Le16(d, pos)) + Le16(d, pos + 4);
            const std::int64_t bottom = std::int64_t(Le16(d, pos + 2)) + Le16(d, pos + 6);
            p.width = std::max(p.width, right); // the decoder's canvas grows to fit every frame
            p.height = std::max(p.height, bottom);
            const std::uint8_t flags = d[pos + 8];
            pos += 9;
            if (flags & 0x80)
                pos += 3u << ((flags & 7) + 1);
            if (!Has(d, pos, 1) || !SkipSubBlocks(d, ++pos)) {
                p.truncated = true;
                return;
            }
            ++frames;
        } else {
            // Junk after complete frames is common and harmless; junk before any is not a GIF.
            p.invalid = frames == 0;
            return;
        }
    }
    p.invalid = frames == 0 || p.width == 0 || p.height == 0;
}

void ProbeIcon(Bytes d, PictureProbe& p) {
    if (!Has(d, 0, 6)) {
        p.truncated = true;
        return;
    }
    const std::size_t count = Le16(d, 4);
    if (count == 0) {
        p.invalid = true;
        return;
    }
    const std::size_t directoryEnd = 6 + 16 * count;
    if (!Has(d, 0, directoryEnd)) {
        p.truncated = true;
        return;
    }
    std::int64_t bestPixels = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::size_t bytes = Le32(d, entry + 8), offset = Le32(d, entry + 12);
        if (bytes < 24 || offset < directoryEnd) {
            p.invalid = true;
            return;
        }
        if (!Has(d, offset, bytes)) {
            p.truncated = true;
            // The header of the cut entry may still declare a bomb: read it if present.
            if (!Has(d, offset, 24))
                return;
        }
        std::int64_t w = 0, h = 0;
        const Bytes image = d.subspan(offset);
        if (StartsWith(image, reinterpret_cast<const char*>(kPngMagic), 8)) {
            w = Be32(image, 16);
            h = Be32(image, 20);
        } else if (Le32(image, 0) >= 40) {
            w = std::int32_t(Le32(image, 4));
            h = std::int32_t(Le32(image, 8)) / 2; // colour rows then the transparency mask
            h = h < 0 ? -h : h;
        } else {
            p.invalid = true;
            return;
        }
        if (w <= 0 || h <= 0) {
            p.invalid = true;
            return;
        }
        p.width = std::max(p.width, w);
        p.height = std::max(p.height, h);
        const std::int64_t pixels = PictureProbe{.width = w, .height = h}.pixels();
        if (pixels > bestPixels) {
            bestPixels = pixels;
            p.bestIcon = int(i);
        }
        if (p.truncated)
            return;
    }
}

void ProbePng(Bytes d, PictureProbe& p) {
    std::size_t pos = 8;
    bool first = true;
    for (;;) {
        if (!Has(d, pos, 8)) {
            p.truncated = true;
            return;
        }
        const std::size_t length = Be32(d, pos);
        const bool header = std::memcmp(d.data() + pos + 4, "IHDR", 4) == 0;
        if (length > 0x7FFFFFFF || first != header || (header && length != 13)) {
            p.invalid = true;
            return;
        }
        if (header && Has(d, pos + 8, 9)) {
            p.width = Be32(d, pos + 8);
            p.height = Be32(d, pos + 12);
            p.decodedPixelBytes = d[pos + 16] == 16 ? 8 : 4;
            // Sides are 1 to 2^31 - 1; libpng refuses anything else.
            if (p.width == 0 || p.height == 0 || p.width > 0x7FFFFFFF || p.height > 0x7FFFFFFF)
                p.invalid = true;
        }
        if (!Has(d, pos + 8, length + 4)) {
            p.truncated = true;
            return;
        }
        if (std::memcmp(d.data() + pos + 4, "IEND", 4) == 0)
            return;
        pos += 12 + length;
        first = false;
    }
}

void ProbeWmf(Bytes d, PictureProbe& p) {
    std::size_t pos = 0;
    if (Le32(d, 0) == 0x9AC6CDD7u) {
        if (!Has(d, 0, 22)) {
            p.truncated = true;
            return;
        }
        pos = 22; // the placeable header: the helper takes the size from libwmf
        if (Has(d, pos, 6) && !IsWmfHeader(d, pos)) {
            p.invalid = true;
            return;
        }
    }
    if (!Has(d, pos, 18)) {
        p.truncated = true;
        return;
    }
    // Records follow the header up to the end-of-file record; the header's own
    // size field is often wrong, so walk the records instead.
    pos += 18;
    for (;;) {
        if (!Has(d, pos, 6)) {
            p.truncated = true;
            return;
        }
        const std::uint64_t words = Le32(d, pos);
        const std::uint32_t function = Le16(d, pos + 4);
        if (function == 0)
            return;
        if (words < 3) {
            p.invalid = true;
            return;
        }
        if (!Has(d, pos, words * 2)) {
            p.truncated = true;
            return;
        }
        pos += words * 2;
    }
}

} // namespace

PictureKind SniffPictureKind(Bytes d) {
    if (StartsWith(d, "BM", 2))
        return PictureKind::Bmp;
    if (d.size() >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
        return PictureKind::Jpeg;
    if (StartsWith(d, "GIF87a", 6) || StartsWith(d, "GIF89a", 6))
        return PictureKind::Gif;
    if (StartsWith(d, reinterpret_cast<const char*>(kPngMagic), 8))
        return PictureKind::Png;
    if (d.size() >= 6 && Le16(d, 0) == 0 && Le16(d, 4) != 0) {
        if (Le16(d, 2) == 1)
            return PictureKind::Ico;
        if (Le16(d, 2) == 2)
            return PictureKind::Cur;
    }
    if ((d.size() >= 4 && Le32(d, 0) == 0x9AC6CDD7u) || IsWmfHeader(d, 0))
        return PictureKind::Wmf;
    return PictureKind::Unknown;
}

PictureProbe ProbePicture(Bytes d) {
    PictureProbe p;
    p.kind = SniffPictureKind(d);
    switch (p.kind) {
    case PictureKind::Bmp:
        ProbeBmp(d, p);
        break;
    case PictureKind::Jpeg:
        ProbeJpeg(d, p);
        break;
    case PictureKind::Gif:
        ProbeGif(d, p);
        break;
    case PictureKind::Ico:
    case PictureKind::Cur:
        ProbeIcon(d, p);
        break;
    case PictureKind::Png:
        ProbePng(d, p);
        break;
    case PictureKind::Wmf:
        ProbeWmf(d, p);
        break;
    case PictureKind::Unknown:
        p.invalid = true;
        break;
    }
    return p;
}

} // namespace fotello
