// libFuzzer target for the picture probe, which reads every file's raw bytes
// before anything decodes them. The fuzzing build needs clang and stays out of CMake.
// From the repository root:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined,integer
//     -fno-sanitize-recover=all -I. platform/picture_probe.cpp tests/fuzz/probe_fuzz.cpp
//     -o /tmp/probe_fuzz
//   mkdir -p /tmp/probe_corpus && /tmp/probe_fuzz -max_total_time=600 /tmp/probe_corpus
//   tests/fuzz/corpus build/bin/amostras
// tests/fuzz/corpus holds tiny seeds of every kind, and of every input that once
// went wrong; CTest replays them (probe_replay.cpp). Add a crashing input there.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/picture_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fotello::PictureProbe p = fotello::ProbePicture(std::span(data, size));
    // Touch every result so nothing is optimised away.
    volatile std::int64_t sink =
        p.pixels() ^ p.width ^ p.height ^ p.bestIcon ^ p.truncated ^ p.invalid ^ int(p.kind);
    (void)sink;
    return 0;
}
