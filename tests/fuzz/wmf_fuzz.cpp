// libFuzzer target for the WMF helper's drawing (tools/wmf_draw.h), in process:
// libwmf's parse and play of the metafile, and the raster the helper writes.
// The browser refuses what the helper writes unless it keeps the protocol, so
// the output is held to it here. Drawings are made small: the parse is the
// point, and filling a 4096-pixel canvas for every input would leave little
// time for it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <vector>

#include "platform/wmf_protocol.h"
#include "tools/wmf_draw.h"

// The helper's address-space limit, under which libwmf's allocations from
// sizes the file declares fail and it refuses the file. AddressSanitizer
// cannot live under that limit: there the allocator refuses single blocks
// over it instead.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FOTELLO_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(FOTELLO_ADDRESS_SANITIZER)
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=256";
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fotello::wmf;
#if !defined(__SANITIZE_ADDRESS__) && !defined(FOTELLO_ADDRESS_SANITIZER)
    // Room for this process besides libwmf's work, which the helper does not need.
    static const int limited = [] {
        const rlimit limit{kAddressSpaceBytes * 4, kAddressSpaceBytes * 4};
        return setrlimit(RLIMIT_AS, &limit);
    }();
    (void)limited;
#endif
    // The helper never draws an empty input, nor more than its input limit.
    if (size == 0 || size > kMaxInputBytes)
        return 0;
    std::vector<unsigned char> input(data, data + size), output;
    constexpr int kFuzzSide = 256;
    const int exit = DrawMetafile(
        input,
        [&output](const void* bytes, std::size_t count) {
            const auto* p = static_cast<const unsigned char*>(bytes);
            output.insert(output.end(), p, p + count);
            return true;
        },
        kFuzzSide);
    if (exit != kExitOk) {
        if (!output.empty() || (exit != kExitInvalid && exit != kExitTruncated))
            std::abort();
        return 0;
    }
    std::uint32_t header[4];
    if (output.size() < sizeof header)
        std::abort();
    std::memcpy(header, output.data(), sizeof header);
    const std::uint32_t width = header[1], height = header[2];
    if (header[0] != kMagic || width == 0 || height == 0 || width > std::uint32_t(kFuzzSide) ||
        height > std::uint32_t(kFuzzSide) ||
        output.size() != sizeof header + std::size_t(width) * height * 4)
        std::abort();
    return 0;
}
