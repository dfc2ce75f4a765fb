// Waiting for a blocking call with a deadline of its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace linkmate {

// Runs `work` on a thread of its own and waits for its result until `deadline`; nothing when the
// time ran out first. For system calls with no time limit of their own (getaddrinfo holds for many
// seconds when a name server does not answer): a call that outlives the deadline is left to
// finish there unwatched, and its result is dropped.
template <typename Work>
auto CallWithDeadline(Work work, std::chrono::steady_clock::time_point deadline)
    -> std::optional<decltype(work())> {
    using Result = decltype(work());
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)]() mutable {
        Result result = work();
        std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->done.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_until(lock, deadline, [&] { return shared->result.has_value(); })) {
        return std::nullopt;
    }
    return std::move(shared->result);
}

}  // namespace linkmate
