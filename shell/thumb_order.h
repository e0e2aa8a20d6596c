#pragma once
// The order of a thumbnail build: entries 0..count-1 are handed out to the
// workers a few at a time, come back in any order, and leave in list order.
// At most `window` entries are out or waiting at once, so a long folder never
// piles up decoded pictures.

#include <map>
#include <optional>
#include <utility>

namespace fotello {

template <class Result> class ThumbOrder {
public:
    void reset(int count, int window) {
        count_ = count > 0 ? count : 0;
        window_ = window > 0 ? window : 1;
        issued_ = 0;
        released_ = 0;
        waiting_.clear();
    }

    // Whether another entry may be handed out now.
    bool canIssue() const { return issued_ < count_ && issued_ - released_ < window_; }
    // The next entry to hand out; call only when canIssue().
    int issue() { return issued_++; }

    // A result for an entry that was handed out and not yet put back.
    // Anything else (a stale or repeated index) is ignored.
    bool put(int index, Result r) {
        if (index < released_ || index >= issued_ || waiting_.count(index))
            return false;
        waiting_.emplace(index, std::move(r));
        return true;
    }

    // The next entry in list order, once it is back.
    std::optional<std::pair<int, Result>> takeNext() {
        auto it = waiting_.find(released_);
        if (it == waiting_.end())
            return std::nullopt;
        std::pair<int, Result> out{it->first, std::move(it->second)};
        waiting_.erase(it);
        ++released_;
        return out;
    }

    int count() const { return count_; }
    int released() const { return released_; }
    bool done() const { return released_ == count_; }

private:
    int count_ = 0;
    int window_ = 1;
    int issued_ = 0;
    int released_ = 0;
    std::map<int, Result> waiting_;
};

} // namespace fotello
