#include "effects/filter_engine.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "effects/filters.h"
#include "effects/wide_lookup.h"

namespace fotello {

namespace {

struct Routine {
    void (*run)(const FilterJob&);
    bool readsCopy;
};

// Index = filter number. Filters whose every pixel reads only itself, or
// neighbours not yet written, work on the picture itself: the result is the
// same as reading a copy, and the copy would cost a pass over memory. The
// 3 x 3 filters that read old values keep the few rows they need as they
// were; Aqua (5 x 5) and the sharpened diffusion read the full copy.
constexpr Routine kRoutines[32] = {
    {nullptr, false},
    {filters::Sharpen, false},           // 1, in place
    {filters::Negative, false},          // 2
    {filters::Blur, false},              // 3, in place
    {filters::Diffuse, false},           // 4, in place
    {filters::Smooth, false},            // 5, in place
    {filters::EdgeEnhance, false},       // 6, in place
    {filters::Contour, false},           // 7, from the rows as they were
    {filters::Emboss, false},            // 8, in place
    {filters::EmbossWide, false},        // 9, from the rows as they were
    {filters::Engrave, false},           // 10, in place
    {filters::EngraveWide, false},       // 11, from the rows as they were
    {filters::GreyScale, false},         // 12
    {filters::Relief, false},            // 13, from the rows as they were
    {filters::Brightness, false},        // 14
    {filters::Pixelize, false},          // 15
    {filters::ChannelExchange, false},   // 16
    {filters::Contrast, false},          // 17
    {filters::Threshold, false},         // 18
    {filters::SharpenedDiffusion, true}, // 19
    {filters::OrderedDither, false},     // 20
    {filters::FloydSteinberg, false},    // 21
    {filters::Burkes, false},            // 22
    {filters::Stucki, false},            // 23
    {filters::Aqua, true},               // 24
    {filters::Dilate, false},            // 25, from the rows as they were
    {filters::Erode, false},             // 26, from the rows as they were
    {filters::InverseContour, false},    // 27, from the rows as they were
    {filters::ContrastStretch, false},   // 28
    {filters::Noise, false},             // 29
    {filters::Saturation, false},        // 30
    {filters::Gamma, false},             // 31
};

// Clears the busy flag however the call ends.
class BusyGuard {
public:
    explicit BusyGuard(std::atomic<bool>& flag) : flag_(flag) {}
    ~BusyGuard() { flag_.store(false); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    std::atomic<bool>& flag_;
};

// The copy, split across the cores: one core alone does not fill the memory bus.
void CopyPicture(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes, int threads) {
    constexpr std::size_t kMinPart = std::size_t(8) << 20;
    const std::size_t parts =
        std::min<std::size_t>(std::size_t(threads), std::max<std::size_t>(1, bytes / kMinPart));
    if (parts <= 1) {
        std::memcpy(to, from, bytes);
        return;
    }
    const std::size_t part = (bytes / parts + 63) / 64 * 64;
    std::vector<std::thread> pool;
    std::size_t done = part; // the calling thread copies the first part
    for (std::size_t i = 1; i < parts && done < bytes; ++i, done += part) {
        const std::size_t n = std::min(part, bytes - done);
        try {
            pool.emplace_back([=] { std::memcpy(to + done, from + done, n); });
        } catch (const std::system_error&) {
            std::memcpy(to + done, from + done, n);
        }
    }
    std::memcpy(to, from, std::min(part, bytes));
    for (auto& t : pool) {
        t.join();
    }
}

} // namespace

bool FilterReadsCopy(int number) {
    return number >= 1 && number <= 31 && kRoutines[number].readsCopy;
}

FilterEngine::FilterEngine() {
    const unsigned cores = std::thread::hardware_concurrency();
    threads_ = int(std::clamp(cores, 1u, 8u));
}

FilterEngine::~FilterEngine() {
    ReleaseBuffers();
}

void FilterEngine::ReleaseBuffers() {
    FreePictureBytes(copy_, copyBytes_);
    copy_ = nullptr;
    copyBytes_ = 0;
}

bool FilterEngine::EnsureCopy(std::size_t bytes) {
    if (bytes <= copyBytes_) {
        return true;
    }
    ReleaseBuffers();
    copy_ = AllocatePictureBytes(bytes);
    if (copy_ == nullptr) {
        return false;
    }
    copyBytes_ = bytes;
    return true;
}

FilterStatus FilterEngine::ApplyFilter(int number, PixelView picture, std::int32_t parameter,
                                       const FilterProgress& progress) {
    if (busy_.exchange(true)) {
        return FilterStatus::Busy;
    }
    BusyGuard guard(busy_);
    if (number < 1 || number > 31) {
        return FilterStatus::UnknownFilter;
    }
    const Routine& routine = kRoutines[number];
    const bool empty = picture.empty();
    FilterJob job;
    job.work = empty ? nullptr : picture.bits;
    job.width = empty ? 0 : picture.width;
    job.height = empty ? 0 : picture.height;
    job.parameter = parameter;
    job.random = &random_;
    job.threads = threads_;
    job.bandPixels = bandPixels_;
    job.wideLookups = wideLookups_ && filters::WideLookupSupported();
    if (routine.readsCopy && !empty) {
        if (!EnsureCopy(picture.byteCount())) {
            return FilterStatus::NoMemory;
        }
        CopyPicture(copy_, picture.bits, picture.byteCount(), threads_);
        job.source = copy_;
    } else {
        job.source = job.work;
    }
    ProgressReporter reporter(progress);
    job.progress = &reporter;
    try {
        routine.run(job);
    } catch (const std::bad_alloc&) {
        // Only the small per-filter tables can fail here, before any pixel is written.
        return FilterStatus::NoMemory;
    }
    return FilterStatus::Done;
}

FilterEngine& SharedFilterEngine() {
    static FilterEngine engine;
    return engine;
}

} // namespace fotello
