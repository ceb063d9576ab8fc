#include "textio/units.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "textio/cut_name.h"
#include "textio/failure.h"
#include "textio/input.h"
#include "textio/output.h"
#include "textio/run.h"

namespace textio {
namespace {

Unit g_units[kMaxUnit + 1];

Unit& slot(int number) {
  if (number < 0 || number > kMaxUnit) std::abort();  // unit numbers are fixed in the programs
  return g_units[number];
}

void connect(Unit& u, int number, int fd, bool owns_fd, std::string name) {
  u.connected = true;
  u.number = number;
  u.fd = fd;
  u.owns_fd = owns_fd;
  u.name = std::move(name);
  u.access = Access::read_write;
  u.disk_file = false;
  u.first_column_control = false;
  u.console_input = false;
  u.byte_reads = false;
  u.cut_pending = false;
  u.input.length = 0;
  u.input.ahead_at = 0;
  u.input.ahead_end = 0;
  reset_record(u);
}

// Standard input taken line by line from a file or pipe must not read past
// the line: whatever follows belongs to whoever reads the stream next.
bool is_character_device(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode);
}

enum class Device { none, standard_output, standard_input, standard_error, null };

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Console device names connect to the standard streams; NUL is the null
// device. The other device names of the console's platform are ordinary
// file names here.
Device device_of(std::string_view name) {
  const std::string n = upper(name);
  if (n == "CON" || n == "USER" || n == "CONOUT$") return Device::standard_output;
  if (n == "CONIN$") return Device::standard_input;
  if (n == "ERR") return Device::standard_error;
  if (n == "NUL") return Device::null;
  const auto dot = n.find('.');
  if (dot != std::string::npos && dot + 1 < n.size()) {
    const std::string base = n.substr(0, dot);
    if (base == "CON") return Device::standard_output;
    if (base == "NUL") return Device::null;
  }
  return Device::none;
}

int open_failure_message(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return kMsgNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return kMsgAccess;
    case EMFILE:
    case ENFILE:
      return kMsgTooManyFiles;
    case EEXIST:
      return kMsgExists;
    case ENAMETOOLONG:
      return kMsgBadName;
    default:
      return kMsgOpenFailure;
  }
}

// The name to open: the typed one, else the next command-line argument, else
// whatever the console answers to the question.
std::string resolve_name(int number, std::string_view given) {
  std::string name = trim_file_name(given);
  if (!name.empty()) return name;
  name = trim_file_name(next_argument());
  if (!name.empty()) return name;
  const std::string prompt = "UNIT " + std::to_string(number) + "? ";
  for (;;) {
    console_question("File name missing or blank - please enter file name", prompt.c_str());
    Unit& in = acquire_unit(kConsoleIn);
    int err = 0;
    switch (next_line(in, &err)) {
      case LineStatus::ok:
        break;
      case LineStatus::end_of_file:
        fail(kMsgEndOfFile, kConsoleIn);
      case LineStatus::error:
        fail(kMsgReadError, kConsoleIn, err);
    }
    name = trim_file_name(current_line(in));
    if (!name.empty()) return name;
  }
}

void open_disk_file(Unit& u, int number, const std::string& name) {
  struct Attempt {
    int flags;
    Access access;
  };
  constexpr Attempt kAttempts[] = {
      {O_RDWR | O_CREAT, Access::read_write},
      {O_RDONLY | O_CREAT, Access::read_only},
      {O_WRONLY | O_CREAT, Access::write_only},
  };
  int fd = -1;
  int err = 0;
  Access access = Access::read_write;
  for (const Attempt& a : kAttempts) {
    fd = ::open(name.c_str(), a.flags | O_CLOEXEC, 0666);
    if (fd >= 0) {
      access = a.access;
      break;
    }
    err = errno;
  }
  if (fd < 0) {
    const int message = open_failure_message(err);
    // Only the unnamed failure carries the platform's own text.
    fail_named(message, number, name, message == kMsgOpenFailure ? err : 0);
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    fail(kMsgAccess, number);
  }
  connect(u, number, fd, true, name);
  u.access = access;
  u.disk_file = S_ISREG(st.st_mode);
  u.cut_pending = u.disk_file;
}

void close_unit(Unit& u, bool failing_now) {
  if (u.first_column_control) finish_console(u);
  if (u.owns_fd && ::close(u.fd) != 0 && !failing_now) {
    const int err = errno;
    u.owns_fd = false;
    fail(kMsgWriteError, u.number, err);
  }
  reset_record(u);
  u.connected = false;
  u.fd = -1;
}

}  // namespace

std::string trim_file_name(std::string_view name) {
  std::size_t begin = 0;
  while (begin < name.size() && name[begin] == ' ') ++begin;
  std::size_t end = name.size();
  while (end > begin && (name[end - 1] == ' ' || name[end - 1] == '\0')) --end;
  return std::string(name.substr(begin, std::min<std::size_t>(end - begin, 256)));
}

Unit& acquire_unit(int number) {
  Unit& u = slot(number);
  if (u.connected) return u;
  if (number == kConsoleOut) {
    connect(u, number, 1, false, "CONOUT$");
    u.first_column_control = true;
  } else if (number == kConsoleIn) {
    connect(u, number, 0, false, "CONIN$");
    u.console_input = true;
    u.byte_reads = !is_character_device(0);
  } else {
    std::abort();  // the programs open every other unit before using it
  }
  return u;
}

Unit* find_unit(int number) {
  if (number < 0 || number > kMaxUnit) return nullptr;
  Unit& u = g_units[number];
  return u.connected ? &u : nullptr;
}

void open_file(int number, std::string_view given, std::string_view status) {
  if (status != "UNKNOWN") std::abort();  // the only status the programs use
  refuse_cut_name(number, given);
  const std::string name = resolve_name(number, given);
  Unit& u = slot(number);
  if (u.connected) close_unit(u, false);
  switch (device_of(name)) {
    case Device::standard_output:
      connect(u, number, 1, false, name);
      break;
    case Device::standard_input:
      connect(u, number, 0, false, name);
      u.byte_reads = !is_character_device(0);
      break;
    case Device::standard_error:
      connect(u, number, 2, false, name);
      break;
    case Device::null: {
      const int fd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
      if (fd < 0) fail(kMsgOpenFailure, number, errno);
      connect(u, number, fd, true, name);
      break;
    }
    case Device::none:
      open_disk_file(u, number, name);
      break;
  }
}

void close_file(int number) {
  if (Unit* u = find_unit(number)) close_unit(*u, false);
}

void close_all_units(bool failing_now) {
  // Files first, the console last, so its final line end comes after them.
  for (int number = 0; number <= kMaxUnit; ++number) {
    Unit& u = g_units[number];
    if (u.connected && !u.first_column_control) close_unit(u, failing_now);
  }
  for (Unit& u : g_units) {
    if (u.connected) close_unit(u, failing_now);
  }
}

}  // namespace textio
