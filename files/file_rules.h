#pragma once
// Rules of the file commands that are plain arithmetic or text.

#include <cstdint>
#include <optional>
#include <string>

namespace fotello {

// A byte count as the file commands show it: " 1024 Bytes", " 1.46 Kb",
// " 3.5 Mb" (two decimals at most, cut, not rounded).
std::string SizeText(std::int64_t bytes);

// Whether a path names something. "No" also for a missing folder or a
// device that cannot be read; any other failure is an error to report.
struct ExistsResult {
    bool exists = false;
    std::optional<std::string> error; // "Error Number: ..." text when it could not be told
};
ExistsResult FileExists(const std::string& path);

// The converted file's path: the last three characters of the path replaced
// by the extension, whatever they are ("foto.jpeg" gives "foto.jbmp").
std::string ConversionTarget(const std::string& path, const std::string& extension);

// The compression rate of the JPEG page (20 to 130; others are brought into
// that range) as a libjpeg quality: a linear fall from 95 at rate 20 to 10 at
// rate 130, so a higher rate gives a smaller file and the lowest rate keeps
// photos visually intact.
int JpegQualityForRate(double rate);
inline constexpr int kMinRate = 20, kMaxRate = 130, kScrollMin = 0;

// The rate box after the scroll bar moved to value: below the lowest rate it
// snaps back to it.
int SnappedRate(int scrollValue);

} // namespace fotello
