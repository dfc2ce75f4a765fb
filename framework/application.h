// The running application: the toolkit set up with the classic look, the application's name, the
// wait cursor, and work run off the window thread with its result brought back to it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace linkmate::fw {

class Application {
public:
    // `argv[0]` names the program; the toolkit sees no other argument. One at a time.
    Application(char** argv, const std::string& name, const std::string& version);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The backend's toolkit, set up for as long as its peer lives.
    class Peer {
    public:
        virtual ~Peer() = default;
    };

private:
    std::unique_ptr<Peer> m_peer;
};

// The name the application was started with ("linkmate").
std::string ApplicationName();

// The wait cursor, for as long as it lives: a transaction blocks the window.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // The backend's cursor, shown for as long as its peer lives.
    class Peer {
    public:
        virtual ~Peer() = default;
    };

private:
    std::unique_ptr<Peer> m_peer;
};

// Runs `work` on a thread of its own and then `done` with its result on the window thread, once
// the window thread gets back to its events. `work` must not touch a window.
template <typename Result>
void RunOffWindowThread(std::function<Result()> work, std::function<void(Result)> done);

// The untyped form the template rests on.
void RunOffWindowThread(std::function<void()> work, std::function<void()> done);

template <typename Result>
void RunOffWindowThread(std::function<Result()> work, std::function<void(Result)> done) {
    auto result = std::make_shared<Result>();
    RunOffWindowThread([result, work = std::move(work)] { *result = work(); },
                       [result, done = std::move(done)] { done(std::move(*result)); });
}

// Runs the window thread's events (input, tasks brought back, timer ticks) until `done` returns
// true or `timeout` has passed; returns `done()`. For a wait that must keep the windows alive.
bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// A timer on the window thread: `tick` runs after `interval`, once or until Stop.
class Timer {
public:
    Timer();
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    void Start(std::chrono::milliseconds interval, bool repeat, std::function<void()> tick);
    void Stop();
    bool IsActive() const;

    class Peer {
    public:
        virtual ~Peer() = default;
        virtual void Start(std::chrono::milliseconds interval, bool repeat,
                           std::function<void()> tick) = 0;
        virtual void Stop() = 0;
        virtual bool IsActive() const = 0;
    };

private:
    std::unique_ptr<Peer> m_peer;
};

}  // namespace linkmate::fw
