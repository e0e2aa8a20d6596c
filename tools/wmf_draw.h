#pragma once
// The WMF helper's work without its process: draws a metafile with libwmf and
// hands out what the helper writes on stdout (layout in platform/wmf_protocol.h).
// The helper wraps it in its limits; the fuzz target calls it in process.

#include <cstddef>
#include <functional>
#include <vector>

#include "platform/wmf_protocol.h"

namespace fotello::wmf {

// Gets the output in pieces; false stops the drawing (the reader went away).
using OutputSink = std::function<bool(const void* bytes, std::size_t count)>;

// Returns the helper's exit status (kExitOk and the others). A drawing whose
// box asks for more than maxSide pixels is drawn at maxSide.
int DrawMetafile(std::vector<unsigned char>& input, const OutputSink& write,
                 int maxSide = kMaxSide);

} // namespace fotello::wmf
