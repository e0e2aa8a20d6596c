#pragma once
// The slide show's sequence, apart from any window: which picture of the
// folder comes next, how long it stays, and what stopping leaves behind.
// The window shows what it is told and reports back; all waits are measured
// on a steady clock, which never runs backwards.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace fotello {

using SlideClock = std::chrono::steady_clock;

// The interval setting in seconds by the leading-number rule (0 when none).
double SlideIntervalSeconds(std::string_view text);
// As a wait: nothing for 0, negative or non-numeric settings; bounded above
// by what a timer can hold.
std::chrono::milliseconds SlideWait(double seconds);

// "3 de 12" for the third of twelve pictures.
std::string SlideCounter(int index, int count);

// A file of the folder: one "/" between them unless the folder ends with one.
std::string JoinFolderFile(const std::string& folder, const std::string& name);

class SlideSequence {
public:
    enum class Phase {
        Idle,          // no show
        BetweenPasses, // waiting for the slide timer's next tick
        Showing,       // the picture at index() is being read
        Waiting,       // it is on show for the interval
    };

    // The show starts; its first pass begins at the slide timer's first tick.
    void start();
    // A tick of the slide timer: a pass begins (interval read now) unless one
    // runs or the show is off. The index to show, or nothing (an empty list
    // ends the pass at once).
    std::optional<int> tick(int count, std::string_view intervalText);
    // The picture at index() is on show (or could not be read): how long to
    // wait from `now`.
    std::chrono::milliseconds shown(SlideClock::time_point now);
    // A wake-up during the wait: the next index, nothing when the pass is over
    // (or the wake-up came early: remaining() says how much is left).
    std::optional<int> wake(SlideClock::time_point now);
    std::chrono::milliseconds remaining(SlideClock::time_point now) const;
    // The show stops with `count` files in the list; the index of the file
    // left loaded (the last one), or nothing for an empty list.
    std::optional<int> stop(int count);

    Phase phase() const { return phase_; }
    int index() const { return index_; }
    int count() const { return count_; }

private:
    Phase phase_ = Phase::Idle;
    int index_ = 0;
    int count_ = 0;
    std::chrono::milliseconds wait_{0};
    SlideClock::time_point due_{};
};

} // namespace fotello
