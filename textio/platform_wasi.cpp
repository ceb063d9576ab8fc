// The platform under WASI (preview 1): files through wasi-libc, in the
// directories the runtime grants. WASI has no signals, no terminals, no
// child processes and no null device, so the console events never come, a
// held event is nothing to hold, and the null device is a handle of its own
// that this file answers for.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "textio/platform.h"

namespace textio::platform {
namespace {

// Reads as empty and takes every write; no descriptor behind it.
constexpr Handle kNullDevice = -2;

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
    case ENOTCAPABLE:  // outside the directories the runtime granted
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
    const int fd = ::open(name, a.flags, 0666);
    if (fd >= 0) return Opened{fd, a.access};
    err = errno;
  }
  set_error(error, err);
  return Opened{};
}

Handle open_null_device(Error*) { return kNullDevice; }

FileKind kind_of(Handle h) {
  if (h == kNullDevice) return FileKind::character;
  struct stat st;
  if (::fstat(fd_of(h), &st) != 0) return FileKind::unknown;
  if (S_ISREG(st.st_mode)) return FileKind::disk;
  if (S_ISDIR(st.st_mode)) return FileKind::directory;
  if (S_ISCHR(st.st_mode)) return FileKind::character;
  if (S_ISFIFO(st.st_mode)) return FileKind::pipe;
  return FileKind::other;
}

std::ptrdiff_t read(Handle h, char* buf, std::size_t n, Error* error) {
  if (h == kNullDevice) return 0;
  for (;;) {
    const ssize_t got = ::read(fd_of(h), buf, n);
    if (got >= 0) return got;
    if (errno != EINTR) {
      set_error(error, errno);
      return -1;
    }
  }
}

std::ptrdiff_t write(Handle h, const char* buf, std::size_t n, Error* error) {
  if (h == kNullDevice) return static_cast<std::ptrdiff_t>(n);
  for (;;) {
    const ssize_t done = ::write(fd_of(h), buf, n);
    if (done >= 0) return done;
    if (errno != EINTR) {
      set_error(error, errno);
      return -1;
    }
  }
}

std::int64_t position(Handle h) { return h == kNullDevice ? -1 : ::lseek(fd_of(h), 0, SEEK_CUR); }

bool seek(Handle h, std::int64_t at) {
  return h != kNullDevice && ::lseek(fd_of(h), static_cast<off_t>(at), SEEK_SET) == at;
}

bool set_end_of_file(Handle h, Error* error) {
  if (h == kNullDevice) return true;
  const off_t at = ::lseek(fd_of(h), 0, SEEK_CUR);
  if (at < 0 || ::ftruncate(fd_of(h), at) != 0) {
    set_error(error, errno);
    return false;
  }
  return true;
}

bool close(Handle h, Error* error) {
  if (h == kNullDevice || ::close(fd_of(h)) == 0) return true;
  set_error(error, errno);
  return false;
}

void route_console_events(EventHandler) {}
void hold_console_events() {}
void release_console_events() {}

// WebAssembly has no floating-point traps and no exception flags.
void mask_float_exceptions() {}

void exit_process(std::uint32_t status) { std::_Exit(static_cast<int>(status & 0xFFu)); }

}  // namespace textio::platform
