#include "files/file_rules.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

#include "shell/numbers.h"

namespace fotello {

std::string SizeText(std::int64_t bytes) {
    const std::string sign = bytes >= 0 ? " " : "";
    if (bytes < 1025)
        return sign + std::to_string(bytes) + " Bytes";
    double q = static_cast<double>(bytes) / 1024.0;
    std::string unit = " Kb";
    if (q > 1024.0) {
        q /= 1024.0;
        unit = " Mb";
    }
    std::string text = NumberToText(q);
    if (const auto dot = text.find('.'); dot != std::string::npos)
        text = text.substr(0, std::min(text.size(), dot + 3));
    return " " + text + unit;
}

ExistsResult FileExists(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return {true, std::nullopt};
    switch (errno) {
    case ENOENT:  // file not found
    case ENOTDIR: // path not found
    case ENODEV:  // device unavailable
    case ENXIO:
    case ENOMEDIUM:
    case EIO:
        return {false, std::nullopt};
    default: {
        const int err = errno;
        return {false, "Error Number: " + std::to_string(err) + "\n\r " + std::strerror(err)};
    }
    }
}

std::string ConversionTarget(const std::string& path, const std::string& extension) {
    // Count characters, not bytes: a UTF-8 character is one lead byte and its
    // continuation bytes.
    std::size_t cut = path.size();
    for (int chars = 0; chars < 3 && cut > 0; ++chars) {
        --cut;
        while (cut > 0 && (static_cast<unsigned char>(path[cut]) & 0xC0) == 0x80)
            --cut;
    }
    return path.substr(0, cut) + extension;
}

int JpegQualityForRate(double rate) {
    if (!std::isfinite(rate))
        rate = kMinRate;
    rate = std::clamp(rate, double(kMinRate), double(kMaxRate));
    const double quality = 95.0 - (rate - kMinRate) * 85.0 / (kMaxRate - kMinRate);
    return static_cast<int>(RoundHalfEven(quality));
}

int SnappedRate(int scrollValue) {
    return std::max(scrollValue, kMinRate);
}

} // namespace fotello
