// libFuzzer target for the picture probe, which reads every file's raw bytes
// before anything decodes them. Not part of the CMake build (it needs clang).
// From the repository root:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined,integer \
//     -fno-sanitize-recover=all -I. platform/picture_probe.cpp tests/fuzz/probe_fuzz.cpp \
//     -o /tmp/probe_fuzz
//   mkdir -p /tmp/probe_corpus && /tmp/probe_fuzz -max_total_time=600 /tmp/probe_corpus
//   build/bin/amostras
// Seed with small files of every kind (the samples folder holds most of them).

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/picture_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fotello::PictureProbe p = fotello::ProbePicture(std::span(data, size));
    // Touch every result so nothing is optimised away.
    volatile std::int64_t sink = p.pixels() ^ p.width ^ p.height ^ p.bestIcon ^ p.wmfBoxWidth ^
                                 p.wmfBoxHeight ^ p.wmfUnitsPerInch;
    (void)sink;
    return 0;
}
