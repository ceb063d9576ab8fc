#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cfenv>
#include <cstdlib>
#include <cstring>

#include "textio/platform.h"

namespace textio::platform {
namespace {

int fd_of(Handle h) { return static_cast<int>(h); }

ErrorKind kind_of_error(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return ErrorKind::not_found;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return ErrorKind::access;
    case EMFILE:
    case ENFILE:
      return ErrorKind::too_many_files;
    case EEXIST:
      return ErrorKind::exists;
    case ENAMETOOLONG:
      return ErrorKind::bad_name;
    default:
      return ErrorKind::other;
  }
}

void set_error(Error* error, int err) {
  if (error != nullptr) *error = Error{kind_of_error(err), err};
}

EventHandler g_handler = nullptr;

struct EventSignal {
  int signal;
  ConsoleEvent event;
};
constexpr EventSignal kEventSignals[] = {
    {SIGINT, ConsoleEvent::interrupt},
    {SIGQUIT, ConsoleEvent::brk},
    {SIGHUP, ConsoleEvent::close},
};

// The shell's status for a run ended by a signal.
void on_signal(int signal) {
  for (const EventSignal& e : kEventSignals) {
    if (e.signal == signal && g_handler != nullptr) g_handler(e.event);
  }
  ::_exit(128 + signal);
}

int g_held = 0;
sigset_t g_saved_mask;

}  // namespace

Handle standard_stream(StandardStream s) {
  switch (s) {
    case StandardStream::input:
      return 0;
    case StandardStream::output:
      return 1;
    case StandardStream::error:
      break;
  }
  return 2;
}

const char* error_text(int code) { return std::strerror(code); }

Opened open_always(const char* name, Error* error) {
  struct Attempt {
    int flags;
    Access access;
  };
  constexpr Attempt kAttempts[] = {
      {O_RDWR | O_CREAT, Access::read_write},
      {O_RDONLY | O_CREAT, Access::read_only},
      {O_WRONLY | O_CREAT, Access::write_only},
  };
  int err = 0;
  for (const Attempt& a : kAttempts) {
    const int fd = ::open(name, a.flags | O_CLOEXEC, 0666);
    if (fd >= 0) return Opened{fd, a.access};
    err = errno;
  }
  set_error(error, err);
  return Opened{};
}

Handle open_null_device(Error* error) {
  const int fd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    set_error(error, errno);
    return kNoHandle;
  }
  return fd;
}

FileKind kind_of(Handle h) {
  struct stat st;
  if (::fstat(fd_of(h), &st) != 0) return FileKind::unknown;
  if (S_ISREG(st.st_mode)) return FileKind::disk;
  if (S_ISDIR(st.st_mode)) return FileKind::directory;
  if (S_ISCHR(st.st_mode)) return FileKind::character;
  if (S_ISFIFO(st.st_mode)) return FileKind::pipe;
  return FileKind::other;
}

// The system call once more after an interruption, and the error kept: off
// the common path, so that a successful call costs no more than the call.
[[gnu::noinline]] std::ptrdiff_t read_again(Handle h, char* buf, std::size_t n, Error* error) {
  for (;;) {
    if (errno != EINTR) {
      set_error(error, errno);
      return -1;
    }
    const ssize_t got = ::read(fd_of(h), buf, n);
    if (got >= 0) return got;
  }
}

[[gnu::noinline]] std::ptrdiff_t write_again(Handle h, const char* buf, std::size_t n, Error* error) {
  for (;;) {
    if (errno != EINTR) {
      set_error(error, errno);
      return -1;
    }
    const ssize_t done = ::write(fd_of(h), buf, n);
    if (done >= 0) return done;
  }
}

std::ptrdiff_t read(Handle h, char* buf, std::size_t n, Error* error) {
  const ssize_t got = ::read(fd_of(h), buf, n);
  if (got >= 0) [[likely]] return got;
  return read_again(h, buf, n, error);
}

std::ptrdiff_t write(Handle h, const char* buf, std::size_t n, Error* error) {
  const ssize_t done = ::write(fd_of(h), buf, n);
  if (done >= 0) [[likely]] return done;
  return write_again(h, buf, n, error);
}

std::int64_t position(Handle h) { return ::lseek(fd_of(h), 0, SEEK_CUR); }

bool seek(Handle h, std::int64_t at) { return ::lseek(fd_of(h), static_cast<off_t>(at), SEEK_SET) == at; }

bool set_end_of_file(Handle h, Error* error) {
  const off_t at = ::lseek(fd_of(h), 0, SEEK_CUR);
  if (at < 0 || ::ftruncate(fd_of(h), at) != 0) {
    set_error(error, errno);
    return false;
  }
  return true;
}

bool close(Handle h, Error* error) {
  if (::close(fd_of(h)) == 0) return true;
  set_error(error, errno);
  return false;
}

void route_console_events(EventHandler handler) {
  g_handler = handler;
  for (const EventSignal& e : kEventSignals) {
    struct sigaction old {};
    ::sigaction(e.signal, nullptr, &old);
    if (old.sa_handler == SIG_IGN) continue;  // started under nohup or as a background job
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigfillset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(e.signal, &sa, nullptr);
  }
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);
}

void hold_console_events() {
  if (g_held++ > 0) return;
  sigset_t events;
  sigemptyset(&events);
  for (const EventSignal& e : kEventSignals) sigaddset(&events, e.signal);
  sigprocmask(SIG_BLOCK, &events, &g_saved_mask);
}

void release_console_events() {
  if (--g_held > 0) return;
  sigprocmask(SIG_SETMASK, &g_saved_mask, nullptr);
}

void mask_float_exceptions() {
  std::feclearexcept(FE_ALL_EXCEPT);
  fedisableexcept(FE_ALL_EXCEPT);
}

void exit_process(std::uint32_t status) { std::_Exit(static_cast<int>(status & 0xFFu)); }

}  // namespace textio::platform
