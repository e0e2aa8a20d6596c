// libFuzzer target for the filter engine: any filter number, any parameter
// (fotello-filter passes the user's), small pictures of any size, one to three
// cores and bands of any height. Input: number, parameter (4 bytes,
// little-endian), width, height, threads and band, then the pixels (repeated to
// fill the picture).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/filter_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 8;
    if (size < kHeader)
        return 0;
    const int number = data[0] % 34; // 0, 32 and 33 are not filters
    const auto parameter =
        std::int32_t(std::uint32_t(data[1]) | std::uint32_t(data[2]) << 8 |
                     std::uint32_t(data[3]) << 16 | std::uint32_t(data[4]) << 24);
    const int width = data[5] % 40, height = data[6] % 40;
    const int threads = 1 + data[7] % 3, band = 1 + data[7] / 3;

    // Exactly the picture's bytes: a filter reading past them is caught.
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = size > kHeader ? data[kHeader + i % (size - kHeader)] : 0;
    const std::vector<std::uint8_t> before = pixels;

    fotello::FilterEngine engine; // fresh: the same input draws the same random numbers
    engine.setThreadCount(threads);
    engine.setBandPixels(band);
    std::vector<int> figures;
    fotello::FilterProgress progress;
    progress.onReport = [&figures](int percent) { figures.push_back(percent); };
    const fotello::PixelView view{pixels.empty() ? nullptr : pixels.data(), width, height};
    const fotello::FilterStatus status = engine.ApplyFilter(number, view, parameter, progress);

    if (status == fotello::FilterStatus::UnknownFilter) {
        if ((number >= 1 && number <= 31) || pixels != before || !figures.empty())
            std::abort();
        return 0;
    }
    if (status != fotello::FilterStatus::Done)
        std::abort();
    // The progress protocol: figures in 0..100, never going back, ending at 100.
    for (std::size_t i = 0; i < figures.size(); ++i)
        if (figures[i] < 0 || figures[i] > 100 || (i > 0 && figures[i] < figures[i - 1]))
            std::abort();
    if (!view.empty() && (figures.empty() || figures.back() != 100))
        std::abort();
    return 0;
}
