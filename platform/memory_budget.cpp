#include "platform/memory_budget.h"

#include <utility>

namespace fotello {

MemoryBudget::Grant& MemoryBudget::Grant::operator=(Grant&& other) noexcept {
    if (this != &other) {
        release();
        budget_ = std::exchange(other.budget_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

void MemoryBudget::Grant::release() {
    if (budget_ != nullptr)
        budget_->give(bytes_);
    budget_ = nullptr;
    bytes_ = 0;
}

MemoryBudget::Grant MemoryBudget::reserve(std::int64_t bytes) {
    if (bytes < 0 || bytes > capacity_)
        return {};
    std::unique_lock lock(mutex_);
    const std::uint64_t ticket = nextTicket_++;
    changed_.wait(lock, [&] { return serving_ == ticket && held_ + bytes <= capacity_; });
    ++serving_;
    held_ += bytes;
    lock.unlock();
    changed_.notify_all(); // the next in line may fit too
    return Grant(this, bytes);
}

void MemoryBudget::give(std::int64_t bytes) {
    {
        std::lock_guard lock(mutex_);
        held_ -= bytes;
    }
    changed_.notify_all();
}

std::int64_t MemoryBudget::held() const {
    std::lock_guard lock(mutex_);
    return held_;
}

int MemoryBudget::waiting() const {
    std::lock_guard lock(mutex_);
    return int(nextTicket_ - serving_);
}

} // namespace fotello
