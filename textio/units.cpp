#include "textio/units.h"

#include <cstdlib>
#include <cstring>

#include "textio/failure.h"
#include "textio/input.h"
#include "textio/output.h"
#include "textio/platform.h"
#include "textio/run.h"
#include "textio/run_state.h"

namespace textio {
namespace {

Unit g_units[kMaxUnit + 1];

Unit& slot(int number) {
  if (number < 0 || number > kMaxUnit) std::abort();  // unit numbers are fixed in the programs
  return g_units[number];
}

void connect(Unit& u, int number, platform::Handle handle, bool owns_handle, std::string name) {
  u.connected = true;
  u.number = number;
  u.handle = handle;
  u.owns_handle = owns_handle;
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
bool is_character_device(platform::Handle h) { return platform::kind_of(h) == platform::FileKind::character; }

platform::Handle stdin_handle() { return platform::standard_stream(platform::StandardStream::input); }
platform::Handle stdout_handle() { return platform::standard_stream(platform::StandardStream::output); }

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
  if (n == "CON" || n == "USER" || n == kConsoleOutName) return Device::standard_output;
  if (n == kConsoleInName) return Device::standard_input;
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

int open_failure_message(platform::ErrorKind kind) {
  switch (kind) {
    case platform::ErrorKind::not_found:
      return kMsgNotFound;
    case platform::ErrorKind::access:
      return kMsgAccess;
    case platform::ErrorKind::too_many_files:
      return kMsgTooManyFiles;
    case platform::ErrorKind::exists:
      return kMsgExists;
    case platform::ErrorKind::bad_name:
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
        fail({kMsgEndOfFile, kConsoleIn});
      case LineStatus::error:
        fail({kMsgReadError, kConsoleIn, err});
    }
    name = trim_file_name(current_line(in));
    if (!name.empty()) return name;
  }
}

void open_disk_file(Unit& u, int number, const std::string& name) {
  platform::Error err;
  const platform::Opened opened = platform::open_always(name.c_str(), &err);
  if (opened.handle == platform::kNoHandle) {
    const int message = open_failure_message(err.kind);
    // Only the unnamed failure carries the platform's own text.
    fail({message, number, message == kMsgOpenFailure ? err.code : 0, name});
  }
  const platform::FileKind kind = platform::kind_of(opened.handle);
  if (kind == platform::FileKind::unknown || kind == platform::FileKind::directory) {
    platform::close(opened.handle, nullptr);
    fail({kMsgAccess, number});
  }
  connect(u, number, opened.handle, true, name);
  u.access = opened.access;
  u.disk_file = kind == platform::FileKind::disk;
  u.cut_pending = u.disk_file;
}

void close_unit(Unit& u) {
  if (u.first_column_control) finish_console(u);
  platform::Error err;
  if (u.owns_handle && !platform::close(u.handle, &err) && !g_run.failing) {
    u.owns_handle = false;
    fail({kMsgWriteError, u.number, err.code});
  }
  reset_record(u);
  u.connected = false;
  u.handle = platform::kNoHandle;
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
    connect(u, number, stdout_handle(), false, std::string(kConsoleOutName));
    u.first_column_control = true;
  } else if (number == kConsoleIn) {
    connect(u, number, stdin_handle(), false, std::string(kConsoleInName));
    u.console_input = true;
    u.byte_reads = !is_character_device(u.handle);
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
  const std::string name = resolve_name(number, given);
  Unit& u = slot(number);
  if (u.connected) close_unit(u);
  switch (device_of(name)) {
    case Device::standard_output:
      connect(u, number, stdout_handle(), false, name);
      break;
    case Device::standard_input:
      connect(u, number, stdin_handle(), false, name);
      u.byte_reads = !is_character_device(u.handle);
      break;
    case Device::standard_error:
      connect(u, number, platform::standard_stream(platform::StandardStream::error), false, name);
      break;
    case Device::null: {
      platform::Error err;
      const platform::Handle h = platform::open_null_device(&err);
      if (h == platform::kNoHandle) fail({kMsgOpenFailure, number, err.code});
      connect(u, number, h, true, name);
      break;
    }
    case Device::none:
      open_disk_file(u, number, name);
      break;
  }
}

void close_file(int number) {
  if (Unit* u = find_unit(number)) close_unit(*u);
}

void close_all_units() {
  // Files first, the console last, so its final line end comes after them.
  for (int number = 0; number <= kMaxUnit; ++number) {
    Unit& u = g_units[number];
    if (u.connected && !u.first_column_control) close_unit(u);
  }
  for (Unit& u : g_units) {
    if (u.connected) close_unit(u);
  }
}

}  // namespace textio
