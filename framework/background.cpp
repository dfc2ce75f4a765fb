#include <list>
#include <mutex>
#include <thread>

#include "framework/application.h"
#include "framework/backend.h"

namespace linkmate::fw {
namespace {

// Threads still running or not yet joined; the window thread joins each when its result is in,
// and the application joins what is left before it ends.
struct Threads {
    std::mutex mutex;
    std::list<std::thread> running;
};

Threads& Running() {
    static Threads threads;
    return threads;
}

}  // namespace

void RunOffWindowThread(std::function<void()> work, std::function<void()> done) {
    Threads& threads = Running();
    const std::lock_guard lock(threads.mutex);
    threads.running.emplace_back();
    const auto self = std::prev(threads.running.end());
    *self = std::thread([self, work = std::move(work), done = std::move(done)]() mutable {
        work();
        backend::PostToWindowThread([self, done = std::move(done)] {
            {
                Threads& all = Running();
                std::thread finished;
                {
                    const std::lock_guard inner(all.mutex);
                    finished = std::move(*self);
                    all.running.erase(self);
                }
                finished.join();
            }
            done();
        });
    });
}

namespace backend {

void JoinBackgroundWork() {
    std::list<std::thread> left;
    {
        const std::lock_guard lock(Running().mutex);
        left.swap(Running().running);
    }
    for (std::thread& t : left) {
        if (t.joinable()) t.join();
    }
}

}  // namespace backend
}  // namespace linkmate::fw
