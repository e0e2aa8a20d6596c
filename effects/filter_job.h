#pragma once
// What a filter routine gets from the engine: the picture, the untouched copy,
// the parameter, progress and random numbers, and a row runner that splits
// independent rows across the cores while reporting progress in row order.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

#include "effects/uniform_random.h"

namespace fotello {

// Where progress goes: an atomic the effects window's timer reads, and/or a
// callback run on the thread that called the filter, figures in order.
struct FilterProgress {
    std::atomic<int>* percent = nullptr;
    std::function<void(int)> onReport;
};

class ProgressReporter {
public:
    explicit ProgressReporter(const FilterProgress& sink) : sink_(sink) {}
    void Report(int percent) {
        last_ = percent;
        if (sink_.percent != nullptr) {
            sink_.percent->store(percent, std::memory_order_relaxed);
        }
        if (sink_.onReport) {
            sink_.onReport(percent);
        }
    }
    int last() const { return last_; }

private:
    const FilterProgress& sink_;
    int last_ = 0;
};

struct FilterJob {
    std::uint8_t* work = nullptr;         // the picture, changed in place
    const std::uint8_t* source = nullptr; // untouched copy (filters that read one)
    int width = 0;
    int height = 0;
    std::int32_t parameter = 0;
    ProgressReporter* progress = nullptr;
    UniformRandom* random = nullptr;
    int threads = 1;
    int bandPixels = 65536;   // rows are handed to the cores in bands of about this many pixels
    bool wideLookups = false; // byte tables 64 bytes at a time (effects/wide_lookup.h)

    std::size_t stride() const { return std::size_t(width) * 4; }
    std::uint8_t* workRow(int y) const { return work + std::size_t(y) * stride(); }
    const std::uint8_t* sourceRow(int y) const { return source + std::size_t(y) * stride(); }
    // Figure after row y (0-based) of a main pass: scale x (y + 1) \ H + offset.
    int Figure(int y, int scale = 100, int offset = 0) const {
        return int((long long)(y + 1) * scale / height) + offset;
    }
};

// row(y), or row(y, worker) for rows that keep scratch space per worker
// (worker 0 is the calling thread, at most job.threads - 1).
template <class Row> void RunRow(Row& row, int y, int worker) {
    if constexpr (std::is_invocable_v<Row&, int, int>) {
        row(y, worker);
    } else {
        (void)worker;
        row(y);
    }
}

// Runs row(y) for y = first..last (0-based, inclusive) and, after each row,
// reports figure(y) when it is 0 or more. With `parallel` the rows must be
// independent; they run in bands of consecutive rows on every core, and the
// calling thread still reports every row's figure in row order.
template <class Row, class Figure>
void ForRows(const FilterJob& job, int first, int last, bool parallel, Row&& row, Figure&& figure) {
    auto report = [&](int y) {
        const int f = figure(y);
        if (f >= 0) {
            job.progress->Report(f);
        }
    };
    const int rows = last - first + 1;
    if (rows <= 0) {
        return;
    }
    const int perBand = std::max(1, job.bandPixels / std::max(1, job.width));
    const int bands = (rows + perBand - 1) / perBand;
    const int helpers = parallel ? std::min(job.threads - 1, bands - 1) : 0;
    if (helpers <= 0) {
        for (int y = first; y <= last; ++y) {
            RunRow(row, y, 0);
            report(y);
        }
        return;
    }
    std::atomic<int> next{0};
    std::unique_ptr<std::atomic<bool>[]> done(new std::atomic<bool>[bands]);
    for (int b = 0; b < bands; ++b) {
        done[b].store(false, std::memory_order_relaxed);
    }
    auto runBand = [&](int b, int worker) {
        const int y0 = first + b * perBand;
        const int y1 = std::min(last, y0 + perBand - 1);
        for (int y = y0; y <= y1; ++y) {
            RunRow(row, y, worker);
        }
        done[b].store(true, std::memory_order_release);
    };
    auto work = [&](int worker) {
        for (int b = next.fetch_add(1); b < bands; b = next.fetch_add(1)) {
            runBand(b, worker);
        }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < helpers; ++i) {
        try {
            pool.emplace_back(work, i + 1);
        } catch (const std::system_error&) {
            break; // fewer threads; the calling thread does the rest
        }
    }
    int reported = 0; // bands whose rows are reported
    auto reportDone = [&] {
        while (reported < bands && done[reported].load(std::memory_order_acquire)) {
            const int y0 = first + reported * perBand;
            const int y1 = std::min(last, y0 + perBand - 1);
            for (int y = y0; y <= y1; ++y) {
                report(y);
            }
            ++reported;
        }
    };
    for (int b = next.fetch_add(1); b < bands; b = next.fetch_add(1)) {
        runBand(b, 0);
        reportDone();
    }
    for (auto& t : pool) {
        t.join();
    }
    reportDone();
}

// Clamps to 0..255.
inline std::uint8_t Clamp255(int v) {
    return std::uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}
inline std::uint8_t Clamp255(long long v) {
    return std::uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// The parameter's colour parts: 0x00BBGGRR, red taken with a signed remainder.
struct ColourParts {
    int blue, green, red;
};
inline ColourParts SplitColour(std::int32_t colour) {
    return ColourParts{(colour / 65536) & 255, (colour / 256) & 255, colour % 256};
}

} // namespace fotello
