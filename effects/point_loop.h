#pragma once
// The loop of the point filters: every row (split across the cores), every
// pixel as one 32-bit word, blue in the low byte and the unused byte on top.
// Word loads and stores let the compiler vectorise the simple rules.

#include <cstring>

#include "effects/filter_job.h"
#include "effects/wide_lookup.h"

namespace fotello::filters {

// A pixel word that may alias the picture's bytes.
typedef std::uint32_t __attribute__((__may_alias__)) PixelWord;

inline std::uint32_t LoadWord(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void StoreWord(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}

inline constexpr std::uint32_t kUnusedMask = 0xFF000000u;
inline constexpr std::uint32_t kColourMask = 0x00FFFFFFu;

// Runs row(words, width, y) over every row, reporting scale x row \ H + offset
// after each (the plain figures unless a first pass came before), then 100.
template <class Row>
void ForEachRowOfWords(const FilterJob& job, Row row, int scale = 100, int offset = 0) {
    ForRows(
        job, 0, job.height - 1, true,
        [&](int y) { row(reinterpret_cast<PixelWord*>(job.workRow(y)), job.width, y); },
        [&job, scale, offset](int y) { return job.Figure(y, scale, offset); });
    job.progress->Report(100);
}

// fn(word) -> word for every pixel.
template <class Fn> void ForEachWord(const FilterJob& job, Fn fn, int scale = 100, int offset = 0) {
    ForEachRowOfWords(
        job,
        [&fn](PixelWord* row, int w, int) {
            // A local copy: stores through the row may alias anything in memory,
            // and would make the loop reload the rule's tables every pixel.
            const Fn rule = fn;
            for (int x = 0; x < w; ++x) {
                row[x] = rule(row[x]);
            }
        },
        scale, offset);
}

// Blue, green and red each through its own 256-entry table, reporting as
// ForEachRowOfWords. Where the processor allows, 16 pixels at a time; else
// each table spread into a word table with the values in their channel's place.
inline void ThroughTables(const FilterJob& job, const std::uint8_t* const (&tables)[3],
                          int scale = 100, int offset = 0) {
    struct Lanes {
        std::uint32_t blue[256], green[256], red[256];
    } lanes;
    for (int i = 0; i < 256; ++i) {
        lanes.blue[i] = tables[0][i];
        lanes.green[i] = std::uint32_t(tables[1][i]) << 8;
        lanes.red[i] = std::uint32_t(tables[2][i]) << 16;
    }
    ForEachRowOfWords(
        job,
        [&](PixelWord* row, int w, int) {
            const int done = job.wideLookups ? LookupWide(row, w, tables) : 0;
            const Lanes& l = lanes;
            for (int x = done; x < w; ++x) {
                const std::uint32_t v = row[x];
                row[x] = (v & kUnusedMask) | l.blue[v & 0xFF] | l.green[(v >> 8) & 0xFF] |
                         l.red[(v >> 16) & 0xFF];
            }
        },
        scale, offset);
}

inline void ThroughTable(const FilterJob& job, const std::uint8_t (&table)[256]) {
    ThroughTables(job, {table, table, table});
}

} // namespace fotello::filters
