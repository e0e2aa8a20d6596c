#pragma once
// What the browser and its WMF helper (fotello-wmf) say to each other. The
// helper reads the metafile's bytes on stdin and writes, on stdout, a 16-byte
// header (magic, width, height, flags; little-endian 32-bit words) followed by
// width x height pixels, each 4 bytes blue, green, red, alpha (straight
// alpha), top row first. Its exit status says how it went.

#include <cstdint>

namespace fotello::wmf {

inline constexpr char kHelperName[] = "fotello-wmf";
inline constexpr std::uint32_t kMagic = 0x31524D46; // "FMR1"
inline constexpr int kHeaderBytes = 16;
inline constexpr std::uint32_t kFlagHasAlpha = 1;

inline constexpr int kExitOk = 0;
inline constexpr int kExitInvalid = 2;
inline constexpr int kExitTruncated = 3;
inline constexpr int kExitTooLarge = 4;
// libwmf could load none of its fonts: the machine lacks them, the file may be
// fine. The helper then writes one line on stderr saying what is missing.
inline constexpr int kExitNoFonts = 5;
inline constexpr int kMaxStderrBytes = 512;

// A metafile is vector art: it is drawn at 96 dpi, and shrunk to this side
// when its box asks for more.
inline constexpr int kDotsPerInch = 96;
inline constexpr int kMaxSide = 4096;
// The helper's own limits, set before it reads a byte.
inline constexpr std::uint64_t kAddressSpaceBytes = 256ull << 20;
inline constexpr std::uint64_t kMaxInputBytes = 64ull << 20;
inline constexpr int kCpuSeconds = 2;
// The browser's wall-clock limit; the helper is killed after it.
inline constexpr int kWallMilliseconds = 2000;

} // namespace fotello::wmf
