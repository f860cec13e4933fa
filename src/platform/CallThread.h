// Calls into a library that may block for ever (an audio library waiting on
// its own stuck thread), made on a worker thread so that the caller waits a
// bounded time.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class CallThread {
  public:
    // `name` is what the one line says when a call does not return in time.
    CallThread(std::string name, std::chrono::milliseconds limit);
    // Joins the worker; a stuck worker is left to the end of the process.
    ~CallThread();
    CallThread(const CallThread&) = delete;
    CallThread& operator=(const CallThread&) = delete;

    // Runs `fn` on the worker and waits up to the limit for it. False when
    // it did not end in time, or an earlier call did not: from then on no
    // call runs, and every one returns false at once.
    bool run(std::function<void()> fn);

    // The same for a call with a result; nullopt when it did not end in time.
    template <class R> std::optional<R> call(std::function<R()> fn) {
        auto result = std::make_shared<std::optional<R>>();
        if (!run([fn = std::move(fn), result] { *result = fn(); }))
            return std::nullopt;
        return std::move(*result);
    }

    bool stuck() const;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace platform
