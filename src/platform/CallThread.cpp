#include "platform/CallThread.h"

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

struct CallThread::State {
    std::string name;
    std::chrono::milliseconds limit;
    std::mutex mutex;
    std::condition_variable wake;  // the worker: a call or the end
    std::condition_variable ended; // the callers: a call ended
    std::deque<std::function<void()>> calls;
    std::uint64_t queued = 0;   // calls handed to the worker
    std::uint64_t finished = 0; // calls the worker finished
    bool quit = false;
    bool stuck = false;
    std::thread worker;

    void work() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return quit || !calls.empty(); });
            if (calls.empty())
                return;
            std::function<void()> fn = std::move(calls.front());
            calls.pop_front();
            lock.unlock();
            fn();
            lock.lock();
            ++finished;
            ended.notify_all();
        }
    }
};

CallThread::CallThread(std::string name, std::chrono::milliseconds limit)
    : state_(std::make_shared<State>()) {
    state_->name = std::move(name);
    state_->limit = limit;
    // The worker keeps the state alive: a stuck worker outlives this object.
    state_->worker = std::thread([s = state_] { s->work(); });
}

CallThread::~CallThread() {
    {
        std::lock_guard lock(state_->mutex);
        state_->quit = true;
        state_->calls.clear();
    }
    state_->wake.notify_all();
    if (stuck())
        state_->worker.detach();
    else
        state_->worker.join();
}

bool CallThread::run(std::function<void()> fn) {
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    if (s.stuck)
        return false;
    s.calls.push_back(std::move(fn));
    const std::uint64_t mine = ++s.queued;
    s.wake.notify_one();
    if (s.ended.wait_for(lock, s.limit, [&] { return s.finished >= mine; }))
        return true;
    s.stuck = true;
    s.calls.clear();
    std::fprintf(stderr, "%s did not answer within %lld ms; going on without it\n", s.name.c_str(),
                 static_cast<long long>(s.limit.count()));
    return false;
}

bool CallThread::stuck() const {
    std::lock_guard lock(state_->mutex);
    return state_->stuck;
}

} // namespace platform
