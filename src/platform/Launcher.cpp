// Help viewers run as separate processes: each is watched by a thread that
// learns of its end without reaping it, so a pid is never signalled after the
// system could have given it to another process.
#include "platform/Platform.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <list>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

namespace {

constexpr const char* kViewers[] = {"xchm", "kchmviewer"};

// A viewer starts with default signal handling and keeps its chatter off our
// standard error.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawnattr_init(&attr);
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attr, &all);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

class ProcessLauncher final : public Launcher {
  public:
    ~ProcessLauncher() override {
        closeHelp();
        for (Child& c : children_)
            if (c.watcher.joinable())
                c.watcher.join();
    }

    bool openHelp(const std::string& file) override {
        const std::string path = nativePath(file);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            std::fprintf(stderr, "help file %s is missing\n", path.c_str());
            return false;
        }
        closeHelp();
        SpawnSetup setup;
        for (const char* viewer : kViewers) {
            std::string prog = viewer;
            char* argv[] = {prog.data(), const_cast<char*>(path.c_str()), nullptr};
            pid_t pid = 0;
            if (posix_spawnp(&pid, viewer, &setup.actions, &setup.attr, argv, environ) != 0)
                continue;
            std::lock_guard lock(mutex_);
            Child& c = children_.emplace_back();
            c.pid = pid;
            c.watcher = std::thread([this, &c] { watch(c); });
            return true;
        }
        std::fprintf(stderr, "no help viewer installed (tried xchm and kchmviewer) for %s\n",
                     path.c_str());
        return false;
    }

    void closeHelp() override {
        std::unique_lock lock(mutex_);
        for (Child& c : children_)
            if (!c.ended)
                kill(c.pid, SIGTERM);
        auto allEnded = [this] {
            for (const Child& c : children_)
                if (!c.ended)
                    return false;
            return true;
        };
        // A viewer that ignores the polite request is ended by force.
        if (!ended_.wait_for(lock, std::chrono::seconds(2), allEnded)) {
            for (Child& c : children_)
                if (!c.ended)
                    kill(c.pid, SIGKILL);
            ended_.wait(lock, allEnded);
        }
        for (auto it = children_.begin(); it != children_.end();) {
            if (it->watcher.joinable())
                it->watcher.join();
            it = children_.erase(it);
        }
    }

  private:
    struct Child {
        pid_t pid = 0;
        bool ended = false;
        std::thread watcher;
    };

    void watch(Child& c) {
        siginfo_t info{};
        while (waitid(P_PID, id_t(c.pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
        }
        std::lock_guard lock(mutex_);
        waitpid(c.pid, nullptr, 0);
        c.ended = true;
        ended_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable ended_;
    std::list<Child> children_; // a list: watchers hold references to their entry
};

} // namespace

std::unique_ptr<Launcher> createLauncher() {
    return std::make_unique<ProcessLauncher>();
}

} // namespace platform
