#include "view/slide_sequence.h"

#include <cmath>
#include <limits>

#include "shell/numbers.h"

namespace fotello {

double SlideIntervalSeconds(std::string_view text) {
    return NumericValue(text);
}

std::chrono::milliseconds SlideWait(double seconds) {
    if (!(seconds > 0))
        return std::chrono::milliseconds(0);
    // A timer holds an int of milliseconds: about 24 days.
    constexpr double kMaxMs = std::numeric_limits<int>::max();
    const double ms = std::min(RoundHalfEven(seconds * 1000.0), kMaxMs);
    return std::chrono::milliseconds(static_cast<long long>(ms));
}

std::string SlideCounter(int index, int count) {
    return std::to_string(index + 1) + " de " + std::to_string(count);
}

std::string JoinFolderFile(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

void SlideSequence::start() {
    phase_ = Phase::BetweenPasses;
    index_ = 0;
}

std::optional<int> SlideSequence::tick(int count, std::string_view intervalText) {
    if (phase_ != Phase::BetweenPasses)
        return std::nullopt;
    wait_ = SlideWait(SlideIntervalSeconds(intervalText));
    count_ = count;
    index_ = 0;
    if (count_ <= 0)
        return std::nullopt;
    phase_ = Phase::Showing;
    return index_;
}

std::chrono::milliseconds SlideSequence::shown(SlideClock::time_point now) {
    if (phase_ != Phase::Showing)
        return std::chrono::milliseconds(0);
    phase_ = Phase::Waiting;
    due_ = now + wait_;
    return wait_;
}

std::chrono::milliseconds SlideSequence::remaining(SlideClock::time_point now) const {
    if (phase_ != Phase::Waiting || now >= due_)
        return std::chrono::milliseconds(0);
    return std::chrono::ceil<std::chrono::milliseconds>(due_ - now);
}

std::optional<int> SlideSequence::wake(SlideClock::time_point now) {
    if (phase_ != Phase::Waiting || now < due_)
        return std::nullopt;
    if (++index_ >= count_) {
        phase_ = Phase::BetweenPasses;
        return std::nullopt;
    }
    phase_ = Phase::Showing;
    return index_;
}

std::optional<int> SlideSequence::stop(int count) {
    phase_ = Phase::Idle;
    count_ = count;
    index_ = count_ - 1;
    if (count_ <= 0)
        return std::nullopt;
    return index_;
}

} // namespace fotello
