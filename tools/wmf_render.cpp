// fotello-wmf: draws the Windows metafile read on stdin with libwmf and writes
// the raster to stdout (layout in platform/wmf_protocol.h). The browser runs it
// for every WMF so that libwmf's faults on hostile files stay out of the browser;
// it limits itself before it reads a byte, and the browser kills it when it
// overstays.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <libwmf/api.h>
#include <libwmf/font.h>
#include <libwmf/gd.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "platform/wmf_protocol.h"

namespace {

using namespace fotello::wmf;

void Limit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
}

void LimitSelf() {
    Limit(RLIMIT_AS, kAddressSpaceBytes);
    Limit(RLIMIT_CPU, kCpuSeconds);
    Limit(RLIMIT_FSIZE, 0); // writes nothing but stdout, a pipe
    Limit(RLIMIT_CORE, 0);
    Limit(RLIMIT_NPROC, 0);
}

bool ReadInput(std::vector<unsigned char>& data) {
    data.resize(64 * 1024);
    std::size_t used = 0;
    for (;;) {
        if (used == data.size()) {
            if (data.size() >= kMaxInputBytes)
                return false;
            data.resize(std::min<std::size_t>(data.size() * 2, kMaxInputBytes));
        }
        const ssize_t n = read(0, data.data() + used, data.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        used += std::size_t(n);
    }
    data.resize(used);
    return true;
}

bool WriteAll(const void* bytes, std::size_t n) {
    const char* p = static_cast<const char*>(bytes);
    while (n > 0) {
        const ssize_t done = write(1, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        n -= std::size_t(done);
    }
    return true;
}

// Set when libwmf could not load a single font for a font the file selects.
// libwmf then calls the file bad, but it is the machine that lacks the fonts.
bool fontsMissing = false;

void MapFont(wmfAPI* api, wmfFont* font) {
    wmf_ipa_font_map(api, font);
    if (font != nullptr && WMF_FONT_FTFACE(font) == nullptr)
        fontsMissing = true;
}

int ExitFor(wmf_error_t error) {
    if (fontsMissing) {
        std::fputs("fotello-wmf: libwmf could load none of its Type 1 fonts; install the "
                   "fonts-urw-base35 package (/usr/share/fonts/type1/urw-base35)\n",
                   stderr);
        return kExitNoFonts;
    }
    return error == wmf_E_EOF ? kExitTruncated : kExitInvalid;
}

// gd's true-colour pixel: 7-bit alpha (0 opaque, 127 clear), red, green, blue.
std::uint32_t ToBgra(int gd) {
    const std::uint32_t clear = (std::uint32_t(gd) >> 24) & 0x7F;
    const std::uint32_t alpha = 255 - (clear * 255 + 63) / 127;
    return (alpha << 24) | (std::uint32_t(gd) & 0xFFFFFF);
}

int WriteRaster(const int* pixels, unsigned width, unsigned height) {
    const std::size_t count = std::size_t(width) * height;
    std::vector<std::uint32_t> out(count);
    bool alpha = false;
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = ToBgra(pixels[i]);
        alpha = alpha || (out[i] >> 24) != 255;
    }
    const std::uint32_t header[4] = {kMagic, width, height, alpha ? kFlagHasAlpha : 0};
    static_assert(sizeof header == kHeaderBytes);
    if (!WriteAll(header, sizeof header) || !WriteAll(out.data(), count * 4))
        return kExitInvalid;
    return kExitOk;
}

int Render(std::vector<unsigned char>& input) {
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None)
        return kExitInvalid;
    wmf_ipa_font_map_set(api, MapFont);
    int exit = kExitInvalid;
    wmf_error_t error = wmf_mem_open(api, input.data(), long(input.size()));
    wmfD_Rect box{};
    unsigned width = 0, height = 0;
    if (error == wmf_E_None)
        error = wmf_scan(api, 0, &box);
    if (error == wmf_E_None)
        error = wmf_display_size(api, &width, &height, kDotsPerInch, kDotsPerInch);
    if (error == wmf_E_None && width > 0 && height > 0) {
        // Vector art: draw a box that asks for more at the largest side we allow.
        const double shrink = std::min(1.0, double(kMaxSide) / std::max(width, height));
        width = std::max(1u, unsigned(std::lround(width * shrink)));
        height = std::max(1u, unsigned(std::lround(height * shrink)));
        wmf_gd_t* device = WMF_GD_GetData(api);
        device->type = wmf_gd_image;
        device->bbox = box;
        device->width = width;
        device->height = height;
        error = wmf_play(api, 0, &box);
        if (error == wmf_E_None && device->gd_image != nullptr)
            exit = WriteRaster(wmf_gd_image_pixels(device->gd_image), width, height);
    }
    if (error != wmf_E_None)
        exit = ExitFor(error);
    wmf_api_destroy(api);
    return exit;
}

} // namespace

int main() {
    LimitSelf();
    std::vector<unsigned char> input;
    if (!ReadInput(input))
        return kExitTooLarge;
    if (input.empty())
        return kExitInvalid;
    return Render(input);
}
