#pragma once
// The built korvel-widgets program as a child process, for the tests that must see the real
// thing (signals, exit codes, a display), and waiting on what such a run does.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace korvel::testing {

// The program beside this test binary: build/<preset>/src/korvel-widgets.
inline std::filesystem::path programPath() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "src" /
         "korvel-widgets";
}

// True once `condition` holds, asked every 10 ms; false when `timeout` passed first.
inline bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  for (; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
    if (std::chrono::steady_clock::now() > until) return false;
  }
  return true;
}

// What a run left in `folder`: the names, sorted; none when there is no such folder.
inline std::vector<std::string> fileNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  if (!std::filesystem::is_directory(folder)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class ChildProcess {
 public:
  // Starts `args` (args[0] is the program) with stdout and stderr into the given files.
  ChildProcess(std::vector<std::string> args, const std::filesystem::path& out,
               const std::filesystem::path& err) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The child starts with no signal blocked, whatever this test process blocks.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    // ... and the default action for the signals a test sends or provokes.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGHUP);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (posix_spawn(&pid_, argv[0], &actions, &attr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ChildProcess() {
    if (pid_ <= 0 || status_) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void signal(int sig) { ::kill(pid_, sig); }

  // The exit status once the child has ended (128 + the signal that killed it), or nothing when
  // it did not start or still runs after `timeout`.
  std::optional<int> wait(std::chrono::milliseconds timeout) {
    eventually([this] {
      int s = 0;
      if (pid_ > 0 && !status_ && ::waitpid(pid_, &s, WNOHANG) == pid_) {
        status_ = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
      }
      return pid_ <= 0 || status_;
    }, timeout);
    return status_;
  }

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

}  // namespace korvel::testing
