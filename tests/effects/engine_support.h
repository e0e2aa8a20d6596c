#pragma once
// Running the engine on a test picture.

#include <vector>

#include "effects/filter_engine.h"
#include "reference_filters.h"

namespace fotello::testing {

inline PixelView ViewOf(Picture& pic) {
    return PixelView{pic.bytes.data(), pic.w, pic.h};
}

inline Picture RunEngine(FilterEngine& engine, int number, Picture pic, std::int32_t parameter,
                         FilterStatus* status = nullptr, std::vector<int>* figures = nullptr) {
    FilterProgress progress;
    if (figures != nullptr) {
        progress.onReport = [figures](int f) { figures->push_back(f); };
    }
    const FilterStatus s = engine.ApplyFilter(number, ViewOf(pic), parameter, progress);
    if (status != nullptr) {
        *status = s;
    }
    return pic;
}

} // namespace fotello::testing
