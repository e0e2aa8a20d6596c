#pragma once
// The filter engine: runs one numbered filter (1 to 31) over a picture in
// memory. It owns the untouched copy that neighbourhood filters read, the
// busy flag, the progress protocol and the random numbers of the effects.
//
// Progress protocol, kept by every filter: after each row of its main pass the
// figure (row x 100 \ height), or the scaled figures after a first pass (for
// example 5, then row x 95 \ height + 5), and 100 at the end.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "effects/filter_job.h"
#include "effects/pixel_buffer.h"
#include "effects/uniform_random.h"

namespace fotello {

enum class FilterStatus {
    Done,
    Busy,          // another filter was running: nothing changed
    UnknownFilter, // not 1 to 31: nothing changed
    NoMemory,      // the working copy could not be allocated: nothing changed
};

class FilterEngine {
public:
    FilterEngine();
    ~FilterEngine();
    FilterEngine(const FilterEngine&) = delete;
    FilterEngine& operator=(const FilterEngine&) = delete;

    // Runs filter `number` over `picture` in place. A call while another runs
    // (from any thread) returns Busy at once. The picture must not be read or
    // written by anyone else until the call returns.
    FilterStatus ApplyFilter(int number, PixelView picture, std::int32_t parameter,
                             const FilterProgress& progress = {});

    bool busy() const { return busy_.load(); }
    // The effects' generator (engine filters, Dotted). Not to be used while a filter runs.
    UniformRandom& random() { return random_; }
    // Cores to use; 1 runs everything on the calling thread.
    void setThreadCount(int threads) { threads_ = threads < 1 ? 1 : threads; }
    int threadCount() const { return threads_; }
    // Pixels in one band of rows handed to a core (small values let tests
    // drive the split on tiny pictures).
    void setBandPixels(int pixels) { bandPixels_ = pixels < 1 ? 1 : pixels; }
    // Off: the table filters look bytes up one at a time even where the
    // processor could do 64 (tests hold both ways to the same bytes).
    void setWideLookups(bool on) { wideLookups_ = on; }
    // The copy is kept between filters (a fresh block costs page faults);
    // the effects window releases it when it closes.
    void ReleaseBuffers();
    std::size_t heldBytes() const { return copyBytes_; }

private:
    bool EnsureCopy(std::size_t bytes);

    std::atomic<bool> busy_{false};
    std::uint8_t* copy_ = nullptr;
    std::size_t copyBytes_ = 0;
    UniformRandom random_;
    int threads_ = 1;
    int bandPixels_ = 65536;
    bool wideLookups_ = true;
};

// The engine the effects window and the tools share.
FilterEngine& SharedFilterEngine();

inline FilterStatus ApplyFilter(int number, PixelView picture, std::int32_t parameter,
                                const FilterProgress& progress = {}) {
    return SharedFilterEngine().ApplyFilter(number, picture, parameter, progress);
}

// Whether filter `number` needs the engine's full copy of the picture (Aqua
// and the sharpened diffusion, which read old values over several rows);
// the others work in the picture itself.
bool FilterReadsCopy(int number);

} // namespace fotello
