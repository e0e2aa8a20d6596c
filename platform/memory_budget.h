#pragma once
// A number of bytes shared by the threads that decode pictures: each decode
// reserves what its decoder will allocate before it starts, and waits while
// others hold too much. Reservations are served in the order they come, so
// a large one is never passed over for ever by small ones.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace fotello {

class MemoryBudget {
public:
    explicit MemoryBudget(std::int64_t capacity) : capacity_(capacity) {}
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

    // Bytes held until destroyed; empty when they could never fit.
    class Grant {
    public:
        Grant() = default;
        Grant(Grant&& other) noexcept { *this = std::move(other); }
        Grant& operator=(Grant&& other) noexcept;
        ~Grant() { release(); }
        explicit operator bool() const { return budget_ != nullptr; }
        std::int64_t bytes() const { return bytes_; }
        void release();

    private:
        friend class MemoryBudget;
        Grant(MemoryBudget* budget, std::int64_t bytes) : budget_(budget), bytes_(bytes) {}
        MemoryBudget* budget_ = nullptr;
        std::int64_t bytes_ = 0;
    };

    // Waits (without spinning) until the bytes fit beside what others hold.
    // More than the whole capacity is refused at once.
    Grant reserve(std::int64_t bytes);

    std::int64_t capacity() const { return capacity_; }
    std::int64_t held() const;
    int waiting() const;

private:
    void give(std::int64_t bytes);

    const std::int64_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t held_ = 0;
    std::uint64_t nextTicket_ = 0, serving_ = 0;
};

} // namespace fotello
