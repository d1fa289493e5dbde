// Child processes on POSIX: fork, the body run in the copy, a time limit
// kept with waitpid, and how the child ended.
#include "tests/harness/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace cadence::harness {

ChildOutcome runInChild(const std::string& bodyName, const std::string& argument, std::chrono::milliseconds limit,
                        const std::string& stderrPath) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return {};
  if (pid == 0) {
    if (!stderrPath.empty()) {
      const int fd = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (fd >= 0) {
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
      }
    }
    std::exit(runChildBody(bodyName, argument));
  }

  const auto deadline = std::chrono::steady_clock::now() + limit;
  auto pause = std::chrono::microseconds(200);
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (WIFEXITED(status)) return {ChildOutcome::Kind::Exited, WEXITSTATUS(status)};
      return {ChildOutcome::Kind::Signaled, WIFSIGNALED(status) ? WTERMSIG(status) : -1};
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return {ChildOutcome::Kind::TimedOut, 0};
    }
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(5)) pause *= 2;
  }
}

}  // namespace cadence::harness
