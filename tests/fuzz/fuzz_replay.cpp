// Replays files through a fuzz target, as libFuzzer would replay its corpus:
// each file whole and cut at every length (at 256 spread lengths when it is
// long), so a seed that once crashed or hung a target stays a test.
// Arguments: files or folders of files.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kEveryCutUpTo = 4096, kSpreadCuts = 256;

int Replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    const std::size_t step =
        bytes.size() <= kEveryCutUpTo ? 1 : std::max<std::size_t>(1, bytes.size() / kSpreadCuts);
    // Each prefix in a buffer of its own size: reading past it is caught by sanitizers.
    for (std::size_t n = 0;; n = std::min(n + step, bytes.size())) {
        const std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
        LLVMFuzzerTestOneInput(prefix.data(), prefix.size());
        if (n == bytes.size())
            break;
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        if (fs::is_regular_file(arg)) {
            files += Replay(arg);
        } else if (fs::is_directory(arg)) {
            for (const auto& entry : fs::recursive_directory_iterator(arg))
                files += entry.is_regular_file() ? Replay(entry.path()) : 0;
        } else {
            std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
            return 2;
        }
    }
    std::printf("%d files replayed\n", files);
    return files > 0 ? 0 : 1; // an empty corpus tests nothing
}
