// libFuzzer target for the picture probe, which reads every file's raw bytes
// before anything decodes them. Built by `make fuzz` (clang); CTest replays its
// seeds and corpus/pictures (see CMakeLists.txt here). Add a failing input there.

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
