#include "tools/wmf_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <type_traits>
#include <libwmf/api.h>
#include <libwmf/font.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>

#include "platform/wmf_protocol.h"

namespace fotello::wmf {
namespace {

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

// libwmf's gd device tiles a pattern brush by taking coordinates modulo the
// pattern's size, so a pattern with no width or height is a division by zero.
// Such a brush has nothing to paint with: it fills nothing, like a hollow one.
// The device's drawing calls are wrapped because only there is the brush
// known as libwmf itself read it from the file.
wmfFunctionReference deviceCalls{};

bool EmptyPattern(wmfBrush* brush) {
    if (brush == nullptr)
        return false;
    const wmfBMP* bitmap = WMF_BRUSH_BITMAP(brush);
    return WMF_BRUSH_STYLE(brush) == BS_DIBPATTERN && (bitmap->width == 0 || bitmap->height == 0);
}

template <typename Call>
struct DeviceArg;
template <typename Arg>
struct DeviceArg<void (*)(wmfAPI*, Arg*)> {
    using type = Arg;
};

template <auto member>
void PatternSafe(wmfAPI* api,
                 typename DeviceArg<std::remove_reference_t<decltype(deviceCalls.*member)>>::type* arg) {
    wmfBrush* brush = arg != nullptr && arg->dc != nullptr ? WMF_DC_BRUSH(arg->dc) : nullptr;
    if (!EmptyPattern(brush)) {
        (deviceCalls.*member)(api, arg);
        return;
    }
    // Only for this call: the style also tells libwmf to free the bitmap later.
    const U16 style = WMF_BRUSH_STYLE(brush);
    WMF_BRUSH_SET_STYLE(brush, BS_NULL);
    (deviceCalls.*member)(api, arg);
    WMF_BRUSH_SET_STYLE(brush, style);
}

template <auto member>
void Wrap(wmfFunctionReference& calls) {
    if (calls.*member != nullptr)
        calls.*member = &PatternSafe<member>;
}

// libwmf's bitmap reader skips the header's declared size minus 40 one byte at
// a time, counted unsigned: a size under 40 (other than the old 12-byte
// header) is four billion steps. Such a bitmap is refused as libwmf refuses
// bitmaps it cannot read.
void ReadBitmap(wmfAPI* api, wmfBMP_Read_t* read) {
    std::uint32_t headerSize = 0;
    if (read->buffer != nullptr && read->length >= 4)
        headerSize = read->buffer[0] | read->buffer[1] << 8 | read->buffer[2] << 16 |
                     std::uint32_t(read->buffer[3]) << 24;
    if (headerSize != 12 && (headerSize < 40 || headerSize > std::uint64_t(read->length))) {
        read->bmp.data = nullptr;
        return;
    }
    deviceCalls.bmp_read(api, read);
}

void GuardDevice(wmfAPI* api) {
    auto* calls = static_cast<wmfFunctionReference*>(api->function_reference);
    deviceCalls = *calls;
    using F = wmfFunctionReference;
    Wrap<&F::flood_interior>(*calls);
    Wrap<&F::flood_exterior>(*calls);
    Wrap<&F::draw_pie>(*calls);
    Wrap<&F::draw_chord>(*calls);
    Wrap<&F::draw_ellipse>(*calls);
    Wrap<&F::draw_polygon>(*calls);
    Wrap<&F::draw_polypolygon>(*calls);
    Wrap<&F::draw_rectangle>(*calls);
    Wrap<&F::rop_draw>(*calls);
    Wrap<&F::region_frame>(*calls);
    Wrap<&F::region_paint>(*calls);
    if (calls->bmp_read != nullptr)
        calls->bmp_read = ReadBitmap;
}

// gd's true-colour pixel: 7-bit alpha (0 opaque, 127 clear), red, green, blue.
std::uint32_t ToBgra(int gd) {
    const std::uint32_t clear = (std::uint32_t(gd) >> 24) & 0x7F;
    const std::uint32_t alpha = 255 - (clear * 255 + 63) / 127;
    return (alpha << 24) | (std::uint32_t(gd) & 0xFFFFFF);
}

int WriteRaster(const int* pixels, unsigned width, unsigned height, const OutputSink& write) {
    const std::size_t count = std::size_t(width) * height;
    std::vector<std::uint32_t> out(count);
    bool alpha = false;
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = ToBgra(pixels[i]);
        alpha = alpha || (out[i] >> 24) != 255;
    }
    const std::uint32_t header[4] = {kMagic, width, height, alpha ? kFlagHasAlpha : 0};
    static_assert(sizeof header == kHeaderBytes);
    if (!write(header, sizeof header) || !write(out.data(), count * 4))
        return kExitInvalid;
    return kExitOk;
}

} // namespace

int DrawMetafile(std::vector<unsigned char>& input, const OutputSink& write, int maxSide) {
    fontsMissing = false;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None)
        return kExitInvalid;
    wmf_ipa_font_map_set(api, MapFont);
    GuardDevice(api);
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
        const double shrink = std::min(1.0, double(maxSide) / std::max(width, height));
        width = std::max(1u, unsigned(std::lround(width * shrink)));
        height = std::max(1u, unsigned(std::lround(height * shrink)));
        wmf_gd_t* device = WMF_GD_GetData(api);
        device->type = wmf_gd_image;
        device->bbox = box;
        device->width = width;
        device->height = height;
        error = wmf_play(api, 0, &box);
        if (error == wmf_E_None && device->gd_image != nullptr)
            exit = WriteRaster(wmf_gd_image_pixels(device->gd_image), width, height, write);
        // libwmf hands the drawn image to the caller but exports nothing to free
        // it; its device data starts with the image it frees on destroy, so the
        // image goes back there (a leak per drawing when drawn in process).
        if (device->gd_image != nullptr && device->gd_data != nullptr) {
            *static_cast<void**>(device->gd_data) = device->gd_image;
            device->gd_image = nullptr;
        }
    }
    if (error != wmf_E_None)
        exit = ExitFor(error);
    wmf_api_destroy(api);
    return exit;
}

} // namespace fotello::wmf
