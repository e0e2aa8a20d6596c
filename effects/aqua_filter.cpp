// "Aqua": each channel takes the mean of the calmest of the four 3 x 3
// quadrants that share the pixel as a corner (the Kuwahara rule), read from
// the copy. A quadrant is the 3 x 3 block around a diagonal neighbour, so its
// mean and spread belong to that neighbour: they are worked out once per
// centre row (kept while a core walks down its band) and each pixel only
// chooses among four. The loops run over bytes and vectorise (AVX2 where
// the processor has it); rows are split across cores.

#include <vector>

#include "effects/filters.h"

namespace fotello::filters {

namespace {

using Byte = std::uint8_t;
#define FOTELLO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))

// Mean (sum \ 9) and spread (sum of |value - mean|) of the block around each
// byte begin..end of row b (a above, c below).
FOTELLO_VECTOR_CLONES void BlockStats(const Byte* __restrict a, const Byte* __restrict b,
                                      const Byte* __restrict c, std::uint16_t* __restrict mean,
                                      std::uint16_t* __restrict spread, std::size_t begin,
                                      std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        const std::uint16_t v[9] = {a[i - 4], a[i],     a[i + 4], b[i - 4], b[i],
                                    b[i + 4], c[i - 4], c[i],     c[i + 4]};
        std::uint16_t sum = 0;
        for (int k = 0; k < 9; ++k) {
            sum = std::uint16_t(sum + v[k]);
        }
        const std::uint16_t m = std::uint16_t(sum / 9);
        std::uint16_t d = 0;
        for (int k = 0; k < 9; ++k) {
            d = std::uint16_t(d + (v[k] > m ? v[k] - m : m - v[k]));
        }
        mean[i] = m;
        spread[i] = d;
    }
}

// Quadrants in order upper left, upper right, lower left, lower right: the
// blocks around (x-1, y-1), (x+1, y-1), (x-1, y+1), (x+1, y+1). The first
// strictly smallest spread wins (every spread is below the starting 99999).
FOTELLO_VECTOR_CLONES void Choose(const std::uint16_t* __restrict upMean,
                                  const std::uint16_t* __restrict upSpread,
                                  const std::uint16_t* __restrict downMean,
                                  const std::uint16_t* __restrict downSpread, Byte* __restrict out,
                                  std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        // Every value is loaded first, so the choice is made with selects.
        const std::uint16_t m0 = upMean[i - 4], s0 = upSpread[i - 4];
        const std::uint16_t m1 = upMean[i + 4], s1 = upSpread[i + 4];
        const std::uint16_t m2 = downMean[i - 4], s2 = downSpread[i - 4];
        const std::uint16_t m3 = downMean[i + 4], s3 = downSpread[i + 4];
        std::uint16_t best = m0;
        std::uint16_t limit = s0;
        best = s1 < limit ? m1 : best;
        limit = s1 < limit ? s1 : limit;
        best = s2 < limit ? m2 : best;
        limit = s2 < limit ? s2 : limit;
        best = s3 < limit ? m3 : best;
        out[i] = Byte(best);
    }
}

// One core's block statistics for the last few centre rows it used.
class StatsCache {
public:
    StatsCache(const FilterJob& job)
        : job_(job), bytes_(job.stride()), mean_(bytes_ * 4), spread_(bytes_ * 4) {}

    // Statistics of centre row r, a row of the picture from 1 to H - 2.
    int Slot(int r) {
        const int slot = r & 3;
        if (rowOf_[slot] != r) {
            BlockStats(job_.sourceRow(r - 1), job_.sourceRow(r), job_.sourceRow(r + 1), mean(slot),
                       spread(slot), 4, bytes_ - 4);
            rowOf_[slot] = r;
        }
        return slot;
    }
    std::uint16_t* mean(int slot) { return mean_.data() + slot * bytes_; }
    std::uint16_t* spread(int slot) { return spread_.data() + slot * bytes_; }

private:
    const FilterJob& job_;
    std::size_t bytes_;
    std::vector<std::uint16_t> mean_;
    std::vector<std::uint16_t> spread_;
    int rowOf_[4] = {-1, -1, -1, -1};
};

} // namespace

void Aqua(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    if (w >= 5 && h >= 5) {
        std::vector<StatsCache> caches(std::size_t(job.threads), StatsCache(job));
        ForRows(
            job, 2, h - 3, true,
            [&](int y, int worker) {
                StatsCache& cache = caches[std::size_t(worker)];
                const int up = cache.Slot(y - 1);
                const int down = cache.Slot(y + 1);
                Byte* out = job.workRow(y);
                Choose(cache.mean(up), cache.spread(up), cache.mean(down), cache.spread(down), out,
                       8, std::size_t(w - 2) * 4);
                RestoreUnused(out, job.sourceRow(y), 2, w - 3);
            },
            PlainFigure(job));
    }
    job.progress->Report(100);
}

} // namespace fotello::filters
