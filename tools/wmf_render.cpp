// fotello-wmf: draws the Windows metafile read on stdin with libwmf and writes
// the raster to stdout (layout in platform/wmf_protocol.h). The browser runs it
// for every WMF so that libwmf's faults on hostile files stay out of the browser;
// it limits itself before it reads a byte, and the browser kills it when it
// overstays.

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "platform/wmf_protocol.h"
#include "tools/wmf_draw.h"

namespace {

using namespace fotello::wmf;

void Limit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FOTELLO_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(FOTELLO_ADDRESS_SANITIZER)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

void LimitSelf() {
    // AddressSanitizer reserves terabytes of shadow memory at start, and its
    // leak check at exit runs in a task of its own: the sanitizer build runs
    // the helper without these two limits.
    if (!kAddressSanitizer) {
        Limit(RLIMIT_AS, kAddressSpaceBytes);
        Limit(RLIMIT_NPROC, 0);
    }
    Limit(RLIMIT_CPU, kCpuSeconds);
    Limit(RLIMIT_FSIZE, 0); // writes nothing but stdout, a pipe
    Limit(RLIMIT_CORE, 0);
}

bool ReadInput(std::vector<unsigned char>& data) {
    data.resize(64 * 1024);
    std::size_t used = 0;
    for (;;) {
        if (used == data.size()) {
            if (data.size() >= kMaxInputBytes)
                return false;
            data.resize(std::min<std::size_t>(data.size() * 2, kMaxInputBytes));
        }
        const ssize_t n = read(0, data.data() + used, data.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        used += std::size_t(n);
    }
    data.resize(used);
    return true;
}

bool WriteAll(const void* bytes, std::size_t n) {
    const char* p = static_cast<const char*>(bytes);
    while (n > 0) {
        const ssize_t done = write(1, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        n -= std::size_t(done);
    }
    return true;
}

} // namespace

int main() {
    LimitSelf();
    std::vector<unsigned char> input;
    if (!ReadInput(input))
        return kExitTooLarge;
    if (input.empty())
        return kExitInvalid;
    return DrawMetafile(input, WriteAll);
}
