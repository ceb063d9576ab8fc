// A program run on a pseudo-terminal, as a user at a terminal meets it: the
// terminal echoes what is typed, turns Enter into a line end and Ctrl-C into
// an interrupt.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace e2e {

class Terminal {
 public:
  // Starts `executable` in a fresh temporary directory, holding `files`, on a
  // new terminal.
  explicit Terminal(const std::string& executable, const std::vector<std::string>& args = {},
                    const std::map<std::string, std::string>& files = {}) {
    char dir_template[] = "/tmp/e2e-tty-XXXXXX";
    dir_ = mkdtemp(dir_template);
    for (const auto& [name, bytes] : files) std::ofstream(dir_ + "/" + name, std::ios::binary) << bytes;
    pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      if (chdir(dir_.c_str()) != 0) _exit(125);
      for (int s : {SIGINT, SIGQUIT, SIGHUP, SIGPIPE}) signal(s, SIG_DFL);
      std::vector<char*> argv{const_cast<char*>(executable.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(executable.c_str(), argv.data());
      _exit(127);
    }
  }

  ~Terminal() {
    if (pid_ > 0 && !finished_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
    std::filesystem::remove_all(dir_);
  }

  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  // Reads until the transcript (from where the last expect matched) holds
  // `text`; false after the timeout or at the end of the output.
  bool expect(const std::string& text, int timeout_ms = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      const auto at = transcript_.find(text, mark_);
      if (at != std::string::npos) {
        mark_ = at + text.size();
        return true;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !pump(static_cast<int>(left.count()))) return false;
    }
  }

  void type(const std::string& keys) {
    ssize_t ignored = write(master_, keys.data(), keys.size());
    (void)ignored;
  }

  // Hangs the terminal up, as closing its window does.
  void hang_up() {
    close(master_);
    master_ = -1;
  }

  // Waits for the end of the program; its exit status, or 128 + signal.
  int finish(int timeout_ms = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    int ws = 0;
    for (;;) {
      if (master_ >= 0) pump(20);
      if (waitpid(pid_, &ws, WNOHANG) == pid_) break;
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &ws, 0);
        break;
      }
      if (master_ < 0) usleep(2000);
    }
    finished_ = true;
    while (master_ >= 0 && pump(50)) {
    }
    return WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  }

  const std::string& transcript() const { return transcript_; }
  const std::string& directory() const { return dir_; }

 private:
  // Takes what the terminal shows; false at its end.
  bool pump(int timeout_ms) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, timeout_ms) <= 0) return false;
    char buf[4096];
    ssize_t n = read(master_, buf, sizeof buf);
    if (n <= 0) return false;
    transcript_.append(buf, static_cast<std::size_t>(n));
    return true;
  }

  std::string dir_;
  int master_ = -1;
  pid_t pid_ = -1;
  bool finished_ = false;
  std::string transcript_;
  std::size_t mark_ = 0;
};

}  // namespace e2e
