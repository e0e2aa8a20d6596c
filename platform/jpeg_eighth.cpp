#include "platform/jpeg_eighth.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>

namespace fotello {

namespace {

// Bits looked up at once: 12 was the fastest on photos (9 to 13 tried).
constexpr int kLook = 12;
// Past the scan's data the reader finds zeros; one MCU can read at most
// 10 blocks x 64 symbols x 31 bits beyond its end before the check catches it.
constexpr std::size_t kPadding = 4096;

int Big16(const unsigned char* p) {
    return p[0] << 8 | p[1];
}

// Zigzag position -> place in the 8x8 block.
constexpr std::uint8_t kNatural[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

std::uint64_t Big64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

// The value of `bits` (its `size` low bits) as JPEG codes magnitudes.
int Extend(int bits, int size) {
    return size == 0 ? 0 : bits < (1 << (size - 1)) ? bits - (1 << size) + 1 : bits;
}

// Canonical Huffman decoding, for codes longer than the look-up.
struct Canonical {
    int maxCode[18];   // largest code of each length, -1 when none
    int valOffset[18]; // code -> index into symbols
    const std::uint8_t* symbols;
    // A symbol from the top of `window` (at least 16 valid bits).
    bool decode(std::uint64_t window, int& length, int& symbol) const {
        for (int l = 1; l <= 16; ++l) {
            const int code = int(window >> (64 - l));
            if (code <= maxCode[l]) {
                length = l;
                symbol = symbols[code + valOffset[l]];
                return true;
            }
        }
        return false;
    }
};

// False for a table whose codes overflow their lengths or use an all-ones
// code, or that holds a symbol past `largest` (libjpeg refuses them all).
bool BuildCanonical(const JpegEighthDecoder::HuffCodes& codes, int largest, Canonical& c) {
    int code = 0, index = 0;
    c.symbols = codes.symbols;
    for (int l = 1; l <= 16; ++l) {
        const int n = codes.counts[l];
        if (std::any_of(codes.symbols + index, codes.symbols + index + n,
                        [largest](int symbol) { return symbol > largest; }))
            return false;
        if (n == 0) {
            c.maxCode[l] = -1;
        } else {
            c.valOffset[l] = index - code;
            code += n;
            index += n;
            if (code >= (1 << l)) // no code may be all ones
                return false;
            c.maxCode[l] = code - 1;
        }
        code <<= 1;
    }
    c.maxCode[17] = INT_MAX;
    return true;
}

// A symbol within the first `avail` bits of `bits` (a kLook-bit window), from `at`.
bool SymbolIn(const Canonical& c, unsigned bits, int at, int& length, int& symbol) {
    const int avail = kLook - at;
    for (int l = 1; l <= avail; ++l) {
        const int code = int((bits >> (avail - l)) & ((1u << l) - 1));
        if (code <= c.maxCode[l]) {
            length = l;
            symbol = c.symbols[code + c.valOffset[l]];
            return true;
        }
    }
    return false;
}

// AC look-up for stepping over coefficients. `first*`: the first symbol with
// its magnitude bits (bits 0 when it does not fit in the window), how far it
// moves through the block (64 for an end of block). `many*`: as many whole
// symbols as fit, their advance without a final end of block (bit 7 says
// one ends the run); usable when that advance stays inside the block.
struct AcEntry {
    std::uint8_t firstBits, firstAdvance, manyBits, manyAdvance;
};
using AcTable = std::array<AcEntry, 1 << kLook>;
constexpr std::uint8_t kEndsBlock = 0x80;

int Advance(int symbol) {
    const int run = symbol >> 4, size = symbol & 15;
    return size ? run + 1 : run == 15 ? 16 : 64;
}

void BuildAc(const Canonical& c, AcTable& t) {
    for (unsigned i = 0; i < t.size(); ++i) {
        AcEntry e{};
        int at = 0, advance = 0, l, s;
        while (SymbolIn(c, i, at, l, s) && at + l + (s & 15) <= kLook) {
            const int step = Advance(s);
            if (at == 0) {
                e.firstBits = std::uint8_t(l + (s & 15));
                e.firstAdvance = std::uint8_t(step);
            }
            if (step == 64) {
                at += l;
                advance |= kEndsBlock;
                break;
            }
            if (advance + step > 63)
                break;
            at += l + (s & 15);
            advance += step;
        }
        e.manyBits = std::uint8_t(at);
        e.manyAdvance = std::uint8_t(advance);
        t[i] = e;
    }
}

// DC coefficients, and AC ones whose values are needed: code plus magnitude
// bits (bits 0-4; 0 when they do not fit the window), the symbol (bits 8-15)
// and its value (bits 16-31).
using SymbolTable = std::array<std::uint32_t, 1 << kLook>;

void BuildSymbols(const Canonical& c, SymbolTable& t) {
    for (unsigned i = 0; i < t.size(); ++i) {
        int l, s;
        t[i] = 0;
        if (!SymbolIn(c, i, 0, l, s))
            continue;
        const int size = s & 15;
        if (l + size > kLook)
            continue;
        const int bits = int(i >> (kLook - l - size)) & ((1 << size) - 1);
        t[i] = std::uint32_t(l + size) | std::uint32_t(s) << 8 |
               std::uint32_t(std::uint16_t(Extend(bits, size))) << 16;
    }
}

// libjpeg's clamp after its inverse DCT, indexed by the value & 1023 (which
// is how it folds out-of-range values).
std::array<std::uint8_t, 1024> PostDctLimit() {
    std::array<std::uint8_t, 1024> t{};
    for (int x = 0; x < 1024; ++x)
        t[x] = std::uint8_t(x < 128 ? x + 128 : x < 512 ? 255 : x < 896 ? 0 : x - 896);
    return t;
}

// libjpeg's YCbCr -> RGB tables (16-bit fixed point).
struct YccTables {
    int crR[256], cbB[256], crG[256], cbG[256];
    YccTables() {
        constexpr int kHalf = 1 << 15;
        auto fix = [](double v) { return int(v * 65536 + 0.5); };
        for (int i = 0; i < 256; ++i) {
            const int x = i - 128;
            crR[i] = (fix(1.40200) * x + kHalf) >> 16;
            cbB[i] = (fix(1.77200) * x + kHalf) >> 16;
            crG[i] = -fix(0.71414) * x;
            cbG[i] = -fix(0.34414) * x + kHalf;
        }
    }
};

std::uint8_t Clamp(int v) {
    return std::uint8_t(std::clamp(v, 0, 255));
}

// The coefficients libjpeg's reduction to 2x2 reads: rows and columns 0, 1,
// 3, 5 and 7 of the block, kept in 25 slots; slot 25 takes the rest.
constexpr int kReduced[5] = {0, 1, 3, 5, 7};
constexpr std::array<std::uint8_t, 64> kSlotOfZigzag = [] {
    std::array<std::uint8_t, 64> slots{};
    for (int k = 0; k < 64; ++k) {
        const int row = kNatural[k] / 8, col = kNatural[k] % 8;
        int r = -1, c = -1;
        for (int i = 0; i < 5; ++i) {
            if (kReduced[i] == row)
                r = i;
            if (kReduced[i] == col)
                c = i;
        }
        slots[std::size_t(k)] = std::uint8_t(r < 0 || c < 0 ? 25 : r * 5 + c);
    }
    return slots;
}();

// libjpeg's reduction of a block to 2x2 (its integer inverse DCT keeping the
// odd frequencies 1, 3, 5, 7 and the DC, 13-bit constants): same rounding,
// same clamp, so the chroma of a 4:2:0 photo matches libjpeg's to the bit.
// libjpeg runs it in 16-bit SIMD lanes, which wrap where this would not:
// false for values no 8-bit picture's transform reaches (at most ~1,100).
bool Reduce2x2(const std::int16_t* slots, const std::int16_t* quant,
               const std::array<std::uint8_t, 1024>& limit, std::uint8_t* out,
               std::size_t outStride) {
    constexpr std::int64_t k1 = 29692, k3 = -10426, k5 = 6967, k7 = -5906;
    constexpr int kLargest = 2047;
    std::int64_t pass[2][5] = {};
    for (int c = 0; c < 5; ++c) {
        std::int64_t z[5];
        for (int r = 0; r < 5; ++r) {
            z[r] = slots[r * 5 + c] * quant[kReduced[r] * 8 + kReduced[c]];
            if (z[r] > kLargest || z[r] < -kLargest)
                return false;
        }
        const std::int64_t even = z[0] * (1 << 15);
        const std::int64_t odd = z[4] * k7 + z[3] * k5 + z[2] * k3 + z[1] * k1;
        pass[0][c] = (even + odd + (1 << 12)) >> 13;
        pass[1][c] = (even - odd + (1 << 12)) >> 13;
    }
    for (int row = 0; row < 2; ++row) {
        const std::int64_t* w = pass[row];
        const std::int64_t even = w[0] * (1 << 15);
        const std::int64_t odd = w[4] * k7 + w[3] * k5 + w[2] * k3 + w[1] * k1;
        out[std::size_t(row) * outStride] =
            limit[std::size_t(((even + odd + (1 << 19)) >> 20) & 1023)];
        out[std::size_t(row) * outStride + 1] =
            limit[std::size_t(((even - odd + (1 << 19)) >> 20) & 1023)];
    }
    return true;
}

// Big-endian bit reader over unstuffed data; at least 56 bits after refill.
struct Bits {
    const unsigned char* p;
    std::uint64_t acc = 0;
    unsigned count = 0;
    void refill() {
        acc |= Big64(p) >> count;
        p += (63 - count) >> 3;
        count |= 56;
    }
    unsigned peek(int n) const { return unsigned(acc >> (64 - n)); }
    void consume(int n) {
        acc <<= n;
        count -= unsigned(n);
    }
};

// Steps over a block's AC coefficients; false on a code that does not exist.
// The reader is copied in and out so that it stays in registers.
bool SkipAc(Bits& in, const AcTable& table, const Canonical& code) {
    Bits bits = in;
    for (int k = 1; k < 64;) {
        bits.refill();
        const AcEntry a = table[bits.peek(kLook)];
        if (a.manyBits && k + (a.manyAdvance & 0x7F) <= 63) {
            bits.consume(a.manyBits);
            k += a.manyAdvance & 0x7F;
            if (a.manyAdvance & kEndsBlock)
                break;
        } else if (a.firstBits) {
            bits.consume(a.firstBits);
            k += a.firstAdvance;
        } else {
            int l, s;
            if (!code.decode(bits.acc, l, s))
                return false;
            bits.consume(l + (s & 15));
            k += Advance(s);
        }
    }
    in = bits;
    return true;
}

// Decodes a block's AC coefficients into the slots the 2x2 reduction reads.
bool DecodeAc(Bits& in, const SymbolTable& table, const Canonical& code, std::int16_t* slots) {
    Bits bits = in;
    for (int k = 1; k < 64; ++k) {
        bits.refill();
        const std::uint32_t e = table[bits.peek(kLook)];
        int symbol, value;
        if (e & 31) {
            bits.consume(int(e & 31));
            symbol = int(e >> 8 & 255);
            value = std::int16_t(e >> 16);
        } else {
            int l;
            if (!code.decode(bits.acc, l, symbol))
                return false;
            bits.consume(l);
            const int size = symbol & 15;
            value = size ? Extend(int(bits.peek(size)), size) : 0;
            bits.consume(size);
        }
        const int run = symbol >> 4, size = symbol & 15;
        if (size == 0) {
            if (run != 15)
                break;
            k += 15;
            continue;
        }
        k += run;
        // a run past the end lands on the last coefficient, as in libjpeg
        slots[kSlotOfZigzag[std::size_t(std::min(k, 63))]] = std::int16_t(value);
    }
    in = bits;
    return true;
}

} // namespace

bool JpegEighthDecoder::open(const unsigned char* d, std::size_t n) {
    *this = {};
    data_ = d;
    size_ = n;
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return false;
    bool jfif = false, adobe = false, frame = false;
    int adobeTransform = 0;
    std::vector<Component> frameComponents;
    std::size_t pos = 2;
    for (;;) {
        if (pos >= n || d[pos] != 0xFF)
            return false; // garbage between markers: libjpeg's to judge
        while (pos < n && d[pos] == 0xFF)
            ++pos;
        if (pos + 3 > n)
            return false;
        const int marker = d[pos++];
        const std::size_t length = std::size_t(Big16(d + pos));
        if (marker == 0xD8 || marker == 0xD9 || marker == 0x01 || (marker & 0xF8) == 0xD0 ||
            length < 2 || length > n - pos)
            return false;
        const unsigned char* s = d + pos + 2;
        const std::size_t len = length - 2;
        pos += length;
        if (marker == 0xC0 || marker == 0xC1) {
            if (frame || len < 6 || s[0] != 8)
                return false;
            frame = true;
            height_ = Big16(s + 1);
            width_ = Big16(s + 3);
            const int count = s[5];
            if (width_ == 0 || height_ == 0 || (count != 1 && count != 3) ||
                len != std::size_t(6 + 3 * count))
                return false;
            for (int i = 0; i < count; ++i) {
                Component c;
                c.id = s[6 + 3 * i];
                c.h = s[7 + 3 * i] >> 4;
                c.v = s[7 + 3 * i] & 15;
                c.quant = s[8 + 3 * i];
                c.frameIndex = i;
                if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.quant > 3)
                    return false;
                frameComponents.push_back(c);
            }
        } else if ((marker & 0xF0) == 0xC0 && marker != 0xC4) {
            return false; // progressive, lossless, arithmetic, hierarchical
        } else if (marker == 0xC4) {
            for (std::size_t at = 0; at < len;) {
                if (len - at < 17)
                    return false;
                const int cls = s[at] >> 4, id = s[at] & 15;
                if (cls > 1 || id > 3)
                    return false;
                HuffCodes& h = cls ? ac_[id] : dc_[id];
                h = {};
                int total = 0;
                for (int l = 1; l <= 16; ++l)
                    total += h.counts[l] = s[at + std::size_t(l)];
                at += 17;
                if (total > 256 || std::size_t(total) > len - at)
                    return false;
                std::memcpy(h.symbols, s + at, std::size_t(total));
                at += std::size_t(total);
                h.defined = true;
            }
        } else if (marker == 0xDB) {
            for (std::size_t at = 0; at < len;) {
                const int precision = s[at] >> 4, id = s[at] & 15;
                const std::size_t size = precision ? 129 : 65;
                if (precision > 1 || id > 3 || len - at < size)
                    return false;
                // libjpeg multiplies by the values as 16-bit signed numbers
                for (int i = 0; i < 64; ++i)
                    quant_[id][kNatural[i]] =
                        std::int16_t(precision ? Big16(s + at + 1 + 2 * std::size_t(i))
                                               : s[at + 1 + std::size_t(i)]);
                quantDefined_[id] = true;
                at += size;
            }
        } else if (marker == 0xDD) {
            if (len != 2)
                return false;
            restartInterval_ = Big16(s);
        } else if (marker == 0xE0) {
            jfif = jfif || (len >= 14 && std::memcmp(s, "JFIF", 5) == 0);
        } else if (marker == 0xEE) {
            if (len >= 12 && std::memcmp(s, "Adobe", 5) == 0) {
                adobe = true;
                adobeTransform = s[11];
            }
        } else if (marker == 0xDA) {
            if (!frame || len < 1)
                return false;
            const std::size_t count = s[0];
            if (count != frameComponents.size() || len != 4 + 2 * count)
                return false;
            for (std::size_t i = 0; i < count; ++i) {
                // in the frame's order, which is all libjpeg surely accepts
                Component c = frameComponents[i];
                if (c.id != s[1 + 2 * i] ||
                    std::any_of(frameComponents.begin(), frameComponents.begin() + long(i),
                                [&](const Component& o) { return o.id == c.id; }))
                    return false;
                c.dcTable = s[2 + 2 * i] >> 4;
                c.acTable = s[2 + 2 * i] & 15;
                if (c.dcTable > 3 || c.acTable > 3 || !dc_[c.dcTable].defined ||
                    !ac_[c.acTable].defined || !quantDefined_[c.quant])
                    return false;
                components_.push_back(c);
            }
            const unsigned char* tail = s + 1 + 2 * count;
            if (tail[0] != 0 || tail[1] != 63 || tail[2] != 0)
                return false;
            scanStart_ = pos;
            break;
        } else if (marker < 0xE0 || (marker > 0xEF && marker != 0xFE)) {
            return false; // libjpeg skips only application segments and comments
        }
    }
    if (frameComponents.size() == 3) {
        // libjpeg's guess of the colour space; RGB-coded files are left to it
        const int a = frameComponents[0].id, b = frameComponents[1].id, c = frameComponents[2].id;
        if (!jfif &&
            ((adobe && adobeTransform == 0) || (!adobe && a == 'R' && b == 'G' && c == 'B')))
            return false;
    }
    grey_ = components_.size() == 1;
    int blocks = 0;
    for (const Component& c : components_) {
        maxH_ = std::max(maxH_, c.h);
        maxV_ = std::max(maxV_, c.v);
        blocks += c.h * c.v;
    }
    return components_.size() == 1 || blocks <= 10;
}

bool JpegEighthDecoder::decode(std::uint32_t* pixels, std::ptrdiff_t stride,
                               const std::function<bool()>& stop) {
    if (components_.empty())
        return false;
    struct Plane {
        const Component* c;
        Canonical dcCode, acCode;
        const SymbolTable* dc;
        const AcTable* ac;
        const SymbolTable* symbols;
        const std::int16_t* quant;
        int scale; // samples per block side, as libjpeg reduces it: 1 or 2
        int gridW, gridH;
        std::vector<std::uint8_t> grid;
    };
    struct Tables {
        SymbolTable dc[4];
        AcTable ac[4];
        SymbolTable symbols[4];
    };
    const auto tables = std::make_unique<Tables>(); // 160 KiB: not on a worker's stack
    Canonical dcCanon[4], acCanon[4];
    bool dcBuilt[4] = {}, acBuilt[4] = {};
    const int count = int(components_.size());
    std::vector<Plane> planes(std::size_t(count), Plane{});
    const bool single = count == 1;
    const int mcusX = single ? 0 : (width_ + 8 * maxH_ - 1) / (8 * maxH_);
    const int mcusY = single ? 0 : (height_ + 8 * maxV_ - 1) / (8 * maxV_);
    for (int i = 0; i < count; ++i) {
        Plane& p = planes[std::size_t(i)];
        p.c = &components_[std::size_t(i)];
        const int dcId = p.c->dcTable, acId = p.c->acTable;
        if (!dcBuilt[dcId]) {
            if (!BuildCanonical(dc_[dcId], 15, dcCanon[dcId]))
                return false;
            BuildSymbols(dcCanon[dcId], tables->dc[dcId]);
        }
        if (!acBuilt[acId]) {
            if (!BuildCanonical(ac_[acId], 255, acCanon[acId]))
                return false;
            BuildAc(acCanon[acId], tables->ac[acId]);
            BuildSymbols(acCanon[acId], tables->symbols[acId]);
        }
        dcBuilt[dcId] = acBuilt[acId] = true;
        p.dcCode = dcCanon[dcId];
        p.acCode = acCanon[acId];
        p.dc = &tables->dc[dcId];
        p.ac = &tables->ac[acId];
        p.symbols = &tables->symbols[acId];
        p.quant = quant_[p.c->quant];
        // libjpeg lets subsampled chroma keep detail by reducing its blocks
        // less, as long as that divides the subsampling evenly; it refuses
        // fractional upsampling altogether.
        p.scale = 1;
        while (p.scale < 8 && maxH_ % (p.c->h * p.scale * 2) == 0 &&
               maxV_ % (p.c->v * p.scale * 2) == 0)
            p.scale *= 2;
        if (p.scale > 2 || maxH_ % (p.c->h * p.scale) != 0 || maxV_ % (p.c->v * p.scale) != 0)
            return false;
        if (single) {
            const int compW = (width_ * p.c->h + maxH_ - 1) / maxH_;
            const int compH = (height_ * p.c->v + maxV_ - 1) / maxV_;
            p.gridW = (compW + 7) / 8 * p.scale;
            p.gridH = (compH + 7) / 8 * p.scale;
        } else {
            p.gridW = mcusX * p.c->h * p.scale;
            p.gridH = mcusY * p.c->v * p.scale;
        }
        p.grid.resize(std::size_t(p.gridW) * std::size_t(p.gridH));
    }

    // The scan's data without stuffing, cut at its restart markers.
    // Kept from picture to picture on each thread: a fresh buffer of a photo's
    // size cost more in page faults than the copy into it. Let go after a huge one.
    static thread_local std::vector<unsigned char> clean;
    struct Release {
        ~Release() {
            if (clean.capacity() > (std::size_t(16) << 20))
                std::vector<unsigned char>().swap(clean);
        }
    } release;
    clean.clear();
    clean.reserve(size_ - scanStart_ + kPadding + 8);
    std::vector<std::size_t> segmentEnds;
    const unsigned char* at = data_ + scanStart_;
    const unsigned char* const end = data_ + size_;
    for (;;) {
        const auto* ff =
            static_cast<const unsigned char*>(std::memchr(at, 0xFF, std::size_t(end - at)));
        if (!ff)
            return false; // the data stops inside the scan
        clean.insert(clean.end(), at, ff);
        const unsigned char* m = ff + 1;
        while (m < end && *m == 0xFF)
            ++m;
        if (m >= end)
            return false;
        if (*m == 0x00) {
            clean.push_back(0xFF);
        } else if ((*m & 0xF8) == 0xD0) {
            if ((*m & 7) != int(segmentEnds.size() % 8))
                return false;
            segmentEnds.push_back(clean.size());
        } else if (*m == 0xD9) {
            segmentEnds.push_back(clean.size());
            break;
        } else {
            return false; // another scan or marker: not the simple case
        }
        at = m + 1;
    }
    clean.resize(clean.size() + kPadding + 8, 0);

    const int total =
        single ? planes[0].gridW * planes[0].gridH : mcusX * mcusY; // scale 1 when single
    const int interval = restartInterval_ > 0 ? restartInterval_ : total;
    if (segmentEnds.size() != std::size_t((total + interval - 1) / interval))
        return false;
    static const auto limit = PostDctLimit();
    const int rowMcus = single ? planes[0].gridW : mcusX; // scale 1 when single

    Bits bits{clean.data()};
    std::size_t segment = 0, segmentStart = 0;
    std::uint32_t prediction[3] = {};
    auto block = [&](Plane& p, int ci, std::uint8_t* out) -> bool {
        bits.refill();
        const std::uint32_t e = (*p.dc)[bits.peek(kLook)];
        int diff;
        if (e & 31) {
            bits.consume(int(e & 31));
            diff = std::int16_t(e >> 16);
        } else {
            int l, s;
            if (!p.dcCode.decode(bits.acc, l, s))
                return false;
            bits.consume(l);
            diff = s ? Extend(int(bits.peek(s)), s) : 0;
            bits.consume(s);
        }
        prediction[ci] += std::uint32_t(diff);
        if (p.scale == 2) { // every coefficient, reduced to 2x2
            std::int16_t slots[26] = {};
            slots[0] = std::int16_t(prediction[ci]);
            return DecodeAc(bits, *p.symbols, p.acCode, slots) &&
                   Reduce2x2(slots, p.quant, limit, out, std::size_t(p.gridW));
        }
        const int dc = std::int16_t(prediction[ci]) * p.quant[0];
        *out = limit[std::size_t(((dc + 4) >> 3) & 1023)];
        return SkipAc(bits, *p.ac, p.acCode);
    };

    for (int m = 0; m < total; ++m) {
        if (m > 0 && m % interval == 0) {
            segmentStart = segmentEnds[segment++];
            bits = Bits{clean.data() + segmentStart};
            std::fill(std::begin(prediction), std::end(prediction), 0u);
        }
        const int mx = m % rowMcus, my = m / rowMcus;
        if (mx == 0 && my % 16 == 0 && stop && stop())
            return false;
        for (int ci = 0; ci < count; ++ci) {
            Plane& p = planes[std::size_t(ci)];
            const int blocksH = single ? 1 : p.c->h, blocksV = single ? 1 : p.c->v;
            for (int by = 0; by < blocksV; ++by)
                for (int bx = 0; bx < blocksH; ++bx) {
                    const std::size_t y = std::size_t((my * blocksV + by) * p.scale),
                                      x = std::size_t((mx * blocksH + bx) * p.scale);
                    if (!block(p, ci, &p.grid[y * std::size_t(p.gridW) + x]))
                        return false;
                }
        }
        const std::size_t consumed = std::size_t(bits.p - clean.data()) * 8 - bits.count;
        if (consumed > segmentEnds[segment] * 8)
            return false; // ran past its data: damaged
    }

    static const YccTables ycc;
    const int w = width(), h = height();
    std::vector<int> columns(std::size_t(w) * std::size_t(count));
    for (const Plane& p : planes)
        for (int x = 0; x < w; ++x)
            columns[std::size_t(p.c->frameIndex * w + x)] = x * p.c->h * p.scale / maxH_;
    for (int y = 0; y < h; ++y) {
        std::uint32_t* line = pixels + std::ptrdiff_t(y) * stride;
        const std::uint8_t* rows[3];
        for (int ci = 0; ci < count; ++ci) {
            const Plane& p = planes[std::size_t(ci)];
            rows[p.c->frameIndex] =
                p.grid.data() + std::size_t(y * p.c->v * p.scale / maxV_) * std::size_t(p.gridW);
        }
        if (grey_) {
            for (int x = 0; x < w; ++x) {
                const std::uint32_t g = rows[0][columns[std::size_t(x)]];
                line[x] = 0xFF000000u | g << 16 | g << 8 | g;
            }
            continue;
        }
        const int* c1 = &columns[std::size_t(w)];
        const int* c2 = &columns[std::size_t(2 * w)];
        for (int x = 0; x < w; ++x) {
            const int yy = rows[0][columns[std::size_t(x)]];
            const int cb = rows[1][c1[x]], cr = rows[2][c2[x]];
            line[x] = 0xFF000000u | std::uint32_t(Clamp(yy + ycc.crR[cr])) << 16 |
                      std::uint32_t(Clamp(yy + ((ycc.cbG[cb] + ycc.crG[cr]) >> 16))) << 8 |
                      Clamp(yy + ycc.cbB[cb]);
        }
    }
    return true;
}

} // namespace fotello
