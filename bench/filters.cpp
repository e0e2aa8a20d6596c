// Every filter through ApplyFilter on a 6000 x 4000 picture, as the effects
// window calls it, beside a plain copy of the picture (the memory floor).
// Each iteration starts from the same picture; the restore is not timed.

#include <benchmark/benchmark.h>
#include <cstring>
#include <string>
#include <vector>

#include "effects/filter_engine.h"
#include "effects/filter_table.h"
#include "effects/picture_effects.h"
#include "effects/rotation.h"
#include "effects/shake.h"

namespace {

using namespace fotello;

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr double kMegapixels = kWidth * double(kHeight) / 1e6;

// Photo-like: smooth gradients with some grain.
PixelBuffer& Original() {
    static PixelBuffer picture = [] {
        PixelBuffer p(kWidth, kHeight);
        UniformRandom u(7);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                std::uint8_t* px = p.view().pixel(x, y);
                const int grain = int(u.Next() * 16);
                px[0] = std::uint8_t((x * 255 / kWidth + grain) & 255);
                px[1] = std::uint8_t((y * 255 / kHeight + grain) & 255);
                px[2] = std::uint8_t(((x + y) * 255 / (kWidth + kHeight) + grain) & 255);
                px[3] = 0xFF;
            }
        }
        return p;
    }();
    return picture;
}

PixelBuffer& Working() {
    static PixelBuffer picture(kWidth, kHeight);
    return picture;
}

void Restore() {
    std::memcpy(Working().bits(), Original().bits(), std::size_t(kWidth) * kHeight * 4);
}

void SetRate(benchmark::State& state) {
    state.counters["MP/s"] =
        benchmark::Counter(kMegapixels, benchmark::Counter::kIsIterationInvariantRate);
}

void Copy(benchmark::State& state) {
    for (auto _ : state) {
        std::memcpy(Working().bits(), Original().bits(), std::size_t(kWidth) * kHeight * 4);
        benchmark::ClobberMemory();
    }
    SetRate(state);
}

void Filter(benchmark::State& state, int number, std::int32_t parameter) {
    Restore();
    ApplyFilter(number, Working().view(), parameter); // the engine's copy is kept from here on
    for (auto _ : state) {
        state.PauseTiming();
        Restore();
        state.ResumeTiming();
        ApplyFilter(number, Working().view(), parameter);
    }
    SetRate(state);
}

template <class Fn> void Effect(benchmark::State& state, Fn fn) {
    fn(); // first touch of any buffer it keeps
    for (auto _ : state) {
        state.PauseTiming();
        Restore();
        state.ResumeTiming();
        fn();
    }
    SetRate(state);
}

} // namespace

int main(int argc, char** argv) {
    Restore(); // both pictures' pages are touched before anything is timed
    auto timed = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
    };
    timed(benchmark::RegisterBenchmark("memcpy (floor)", Copy));
    for (const FilterMenuEntry& e : FilterTable()) {
        const std::int32_t p = e.parameterFromUser ? 150 : e.parameter;
        const std::string name = std::to_string(e.number) + " " + std::string(e.menuItem);
        timed(benchmark::RegisterBenchmark(name.c_str(), Filter, e.number, p));
    }
    timed(benchmark::RegisterBenchmark("flip horizontal", [](benchmark::State& s) {
        static PixelBuffer target(kWidth, kHeight);
        Effect(s, [] { FlipPicture(Original().view(), target.view(), false); });
    }));
    timed(benchmark::RegisterBenchmark(
        "mosaic", [](benchmark::State& s) { Effect(s, [] { MosaicEffect(Working().view()); }); }));
    timed(benchmark::RegisterBenchmark("dotted", [](benchmark::State& s) {
        Effect(s, [] { DottedEffect(Working().view(), SharedFilterEngine().random()); });
    }));
    timed(benchmark::RegisterBenchmark("fade", [](benchmark::State& s) {
        Effect(s, [] { FadeEffect(Original().view(), Working().view(), 1, true); });
    }));
    timed(benchmark::RegisterBenchmark("rotate 33 (52 MP result)", [](benchmark::State& s) {
        Effect(s, [] {
            auto out = RotatePicture(Working().view(), "33", false, 0x00F0F0F0,
                                     SharedFilterEngine().threadCount());
            benchmark::DoNotOptimize(out);
        });
    }));
    timed(benchmark::RegisterBenchmark("shake 4 4 7", [](benchmark::State& s) {
        Effect(s, [] { ShakeEffect(Original().view(), Working().view(), 4, 4, 7); });
    }));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
