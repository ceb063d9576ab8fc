#include "spawn.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace bench {

namespace {

long long now_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

double seconds(const timeval& tv) { return static_cast<double>(tv.tv_sec) + tv.tv_usec / 1e6; }

int open_or_die(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) die("cannot open " + path);
  return fd;
}

}  // namespace

void die(const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, why.c_str());
  std::exit(1);
}

Run spawn(const Spawn& s) {
  int in = -1;
  if (!s.answers.empty()) {
    // Written whole before the child starts, so it reads without waiting on
    // us, and sees end of input after the answers.
    int p[2];
    if (::pipe2(p, O_CLOEXEC) != 0) die("pipe failed");
    if (s.answers.size() > 60000) die("answers too long for one pipe buffer");
    if (::write(p[1], s.answers.data(), s.answers.size()) != static_cast<ssize_t>(s.answers.size())) {
      die("cannot write the answers");
    }
    ::close(p[1]);
    in = p[0];
  } else {
    in = open_or_die(s.stdin_path.empty() ? "/dev/null" : s.stdin_path, O_RDONLY);
  }
  const int out = open_or_die(s.stdout_path, O_WRONLY | O_CREAT | O_TRUNC);
  const int err = open_or_die(s.stderr_path, O_WRONLY | O_CREAT | O_TRUNC);
  int rep[2] = {-1, -1};
  if (s.report && ::pipe2(rep, O_CLOEXEC) != 0) die("pipe failed");

  std::vector<char*> args;
  for (const std::string& a : s.argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  const long long t0 = now_ns();
  const pid_t pid = ::fork();
  if (pid < 0) die("fork failed");
  if (pid == 0) {
    if (!s.dir.empty() && ::chdir(s.dir.c_str()) != 0) ::_exit(125);
    // dup2 leaves the new descriptors open across exec.
    if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
    if (s.report && ::dup2(rep[1], 3) < 0) ::_exit(126);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  rusage ru{};
  while (::wait4(pid, &status, 0, &ru) < 0) {
    if (errno != EINTR) die("wait4 failed");
  }
  const long long t1 = now_ns();
  ::close(in);
  ::close(out);
  ::close(err);

  Run r;
  r.wall = static_cast<double>(t1 - t0) / 1e9;
  r.user = seconds(ru.ru_utime);
  r.sys = seconds(ru.ru_stime);
  r.cpu = r.user + r.sys;
  r.maxrss_kib = ru.ru_maxrss;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (s.report) {
    ::close(rep[1]);
    char buf[256];
    ssize_t n;
    while ((n = ::read(rep[0], buf, sizeof buf)) > 0) r.report.append(buf, static_cast<std::size_t>(n));
    ::close(rep[0]);
  }
  return r;
}

}  // namespace bench
