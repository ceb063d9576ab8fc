#include "common/process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace proc {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void close_if_open(int* fd) {
  if (*fd >= 0) ::close(*fd);
  *fd = -1;
}

void write_all(int fd, const std::string& bytes) {
  const char* b = bytes.data();
  std::size_t left = bytes.size();
  while (fd >= 0 && left > 0) {
    ssize_t n = ::write(fd, b, left);
    if (n <= 0) break;
    b += n;
    left -= static_cast<std::size_t>(n);
  }
}

}  // namespace

Process::Process(const Request& rq) : terminal_(rq.terminal), timeout_seconds_(rq.timeout_seconds) {
  char work_template[] = "/tmp/proc-work-XXXXXX";
  char io_template[] = "/tmp/proc-io-XXXXXX";
  work_ = mkdtemp(work_template);
  io_ = mkdtemp(io_template);
  ::chmod(work_.c_str(), 0777);  // writable by an unprivileged user too

  for (const std::string& d : rq.dirs) fs::create_directories(work_ + "/" + d);
  for (const auto& [name, bytes] : rq.before) write_file(work_ + "/" + name, bytes);
  for (const auto& [name, mode] : rq.modes) ::chmod((work_ + "/" + name).c_str(), static_cast<mode_t>(mode));
  for (const auto& [name, target] : rq.symlinks) fs::create_symlink(target, work_ + "/" + name);

  const std::string out_path = io_ + "/stdout", err_path = io_ + "/stderr", in_path = io_ + "/stdin";
  // An unprivileged user may not reach the build tree (a checkout in a
  // private directory): it runs a copy.
  std::string executable = rq.executable;
  if (rq.user >= 0 && !rq.body) {
    executable = io_ + "/" + fs::path(rq.executable).filename().string();
    fs::copy_file(rq.executable, executable);
    ::chmod(io_.c_str(), 0755);
    ::chmod(executable.c_str(), 0755);
  }
  int in_fd = -1, out_fd = -1, err_fd = -1;
  if (!terminal_) {
    if (!rq.stdin_path.empty()) {
      // Opened by the child, in its work directory.
    } else if (rq.stdin_held) {
      int p[2];
      if (::pipe2(p, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
      in_fd = p[0];
      input_ = p[1];
    } else if (rq.stdin_from_file) {
      write_file(in_path, rq.stdin_bytes);
      in_fd = ::open(in_path.c_str(), O_RDONLY | O_CLOEXEC);
    } else {
      int p[2];
      if (::pipe2(p, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
      feeder_ = ::fork();
      if (feeder_ == 0) {
        ::signal(SIGPIPE, SIG_IGN);
        ::close(p[0]);
        write_all(p[1], rq.stdin_bytes);
        ::_exit(0);
      }
      ::close(p[1]);
      in_fd = p[0];
    }
    if (rq.stdout_pipe) {
      int p[2];
      if (::pipe2(p, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
      output_ = p[0];
      out_fd = p[1];
    } else if (rq.stdout_path.empty()) {
      out_fd = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    err_fd = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  }

  // Made before the fork: the child only calls the system.
  std::string status_variable = "E2E_STATUS_FILE=" + io_ + "/status";
  std::vector<char*> argv;
  for (const std::string& w : rq.launcher) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(const_cast<char*>(executable.c_str()));
  for (const std::string& a : rq.args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  child_ = terminal_ ? ::forkpty(&input_, nullptr, nullptr, nullptr) : ::fork();
  if (child_ == 0) {
    if (::chdir(work_.c_str()) != 0) ::_exit(125);
    if (!terminal_) {
      if (!rq.stdin_path.empty()) in_fd = ::open(rq.stdin_path.c_str(), O_RDONLY);
      if (!rq.stdout_path.empty()) out_fd = ::open(rq.stdout_path.c_str(), O_WRONLY);
      if (in_fd < 0 || out_fd < 0) ::_exit(125);
      ::dup2(in_fd, 0);
      ::dup2(out_fd, 1);
      ::dup2(err_fd, 2);
    }
    for (int fd = 3; fd < 1024; ++fd) ::close(fd);
    for (int s : {SIGINT, SIGQUIT, SIGHUP, SIGPIPE, SIGXFSZ}) ::signal(s, SIG_DFL);
    for (int s : rq.ignored_signals) ::signal(s, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (rq.user >= 0 && (::setgid(static_cast<gid_t>(rq.user)) != 0 || ::setuid(static_cast<uid_t>(rq.user)) != 0)) {
      ::_exit(126);
    }
    // Last, so that nothing above is starved by the limits.
    for (const auto& [resource, value] : rq.limits) {
      const struct rlimit lim {static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
      if (::setrlimit(resource, &lim) != 0) ::_exit(126);
    }
    if (rq.body) {
      rq.body();
      ::_exit(0);
    }
    if (rq.launcher.empty()) {
      ::execv(executable.c_str(), argv.data());
    } else {
      ::putenv(status_variable.data());
      ::execvp(argv[0], argv.data());
    }
    ::_exit(127);
  }
  close_if_open(&in_fd);
  close_if_open(&out_fd);
  close_if_open(&err_fd);
}

Process::~Process() {
  if (!finished_) {
    if (child_ > 0) {
      ::kill(child_, SIGKILL);
      ::waitpid(child_, nullptr, 0);
    }
    if (feeder_ > 0) {
      ::kill(feeder_, SIGKILL);
      ::waitpid(feeder_, nullptr, 0);
    }
    close_if_open(&input_);
    close_if_open(&output_);
    std::error_code ignored;
    fs::remove_all(work_, ignored);
    fs::remove_all(io_, ignored);
  }
}

std::string Process::output_so_far() const { return read_file(io_ + "/stdout"); }

void Process::type(const std::string& bytes) { write_all(input_, bytes); }

void Process::close_input() { close_if_open(&input_); }

int Process::stdout_reader() {
  const int fd = output_;
  output_ = -1;
  return fd;
}

// Takes what the terminal shows; false at its end.
bool Process::pump(int timeout_ms) {
  if (!terminal_ || input_ < 0) return false;
  pollfd p{input_, POLLIN, 0};
  if (::poll(&p, 1, timeout_ms) <= 0) return false;
  char buf[4096];
  const ssize_t n = ::read(input_, buf, sizeof buf);
  if (n <= 0) return false;
  transcript_.append(buf, static_cast<std::size_t>(n));
  return true;
}

bool Process::expect(const std::string& text, int timeout_ms) {
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

Result Process::finish(int timeout_seconds) {
  Result result;
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::seconds(timeout_seconds >= 0 ? timeout_seconds : timeout_seconds_);
  int wstatus = 0;
  for (;;) {
    // A terminal is read while waiting, or a program filling it would block.
    const bool reading = pump(20);
    if (::waitpid(child_, &wstatus, WNOHANG) == child_) break;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child_, SIGKILL);
      ::waitpid(child_, &wstatus, 0);
      result.timed_out = true;
      break;
    }
    if (!reading) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  finished_ = true;
  while (pump(50)) {
  }
  if (feeder_ > 0) {
    ::kill(feeder_, SIGKILL);
    ::waitpid(feeder_, nullptr, 0);
  }
  close_if_open(&input_);
  close_if_open(&output_);
  if (WIFSIGNALED(wstatus)) result.signal = WTERMSIG(wstatus);
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = terminal_ ? transcript_ : read_file(io_ + "/stdout");
  result.err = read_file(io_ + "/stderr");
  if (fs::exists(io_ + "/status")) result.status = static_cast<int>(std::stoul(read_file(io_ + "/status"), nullptr, 16));
  for (const auto& entry : fs::recursive_directory_iterator(work_)) {
    if (!entry.is_symlink() && entry.is_regular_file()) {
      // A file left unreadable (mode 0000) is compared all the same, also by
      // a runner without the privilege to ignore its mode.
      std::error_code ignored;
      fs::permissions(entry.path(), fs::perms::owner_read, fs::perm_options::add, ignored);
      result.files[fs::relative(entry.path(), work_).string()] = read_file(entry.path().string());
    }
  }
  fs::remove_all(work_);
  fs::remove_all(io_);
  return result;
}

Result run(const Request& rq) { return Process(rq).finish(); }

}  // namespace proc
