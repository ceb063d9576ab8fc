#include "textio/open.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "textio/console.h"
#include "textio/failure.h"
#include "textio/input.h"
#include "textio/platform.h"
#include "textio/run.h"
#include "textio/units.h"

namespace textio {
namespace {

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
    case platform::ErrorKind::no_device:
      return kMsgNoDevice;
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
    console_state.ask("File name missing or blank - please enter file name", prompt.c_str());
    Unit& in = acquire_unit(kConsoleIn);
    fetch_line(in);
    name = trim_file_name(current_line(in));
    if (!name.empty()) return name;
  }
}

Connection open_disk_file(int number, const std::string& name) {
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
  Connection c;
  c.handle = opened.handle;
  c.owns_handle = true;
  c.access = opened.access;
  c.disk_file = kind == platform::FileKind::disk;
  c.cut_pending = c.disk_file;
  return c;
}

Connection open_device(int number, Device device, const std::string& name) {
  Connection c;
  switch (device) {
    case Device::standard_output:
      c.handle = platform::standard_stream(platform::StandardStream::output);
      break;
    case Device::standard_input:
      c.handle = platform::standard_stream(platform::StandardStream::input);
      c.byte_reads = needs_byte_reads(c.handle);
      break;
    case Device::standard_error:
      c.handle = platform::standard_stream(platform::StandardStream::error);
      break;
    case Device::null: {
      platform::Error err;
      c.handle = platform::open_null_device(&err);
      if (c.handle == platform::kNoHandle) fail({kMsgOpenFailure, number, err.code});
      c.owns_handle = true;
      break;
    }
    case Device::none:
      return open_disk_file(number, name);
  }
  return c;
}

}  // namespace

std::string trim_file_name(std::string_view name) {
  std::size_t begin = 0;
  while (begin < name.size() && name[begin] == ' ') ++begin;
  std::size_t end = name.size();
  while (end > begin && (name[end - 1] == ' ' || name[end - 1] == '\0')) --end;
  return std::string(name.substr(begin, std::min<std::size_t>(end - begin, 256)));
}

void open_unit(int number, std::string_view given, std::string_view cut_answer, std::string_view status) {
  if (status != "UNKNOWN") std::abort();  // the only status the programs use
  if (!cut_answer.empty()) fail({kMsgBadName, number, 0, cut_answer});
  const std::string name = resolve_name(number, given);
  Unit& u = unit_slot(number);
  if (u.connected) disconnect(u);
  Connection c = open_device(number, device_of(name), name);
  c.number = number;
  c.name = name;
  connect(u, std::move(c));
}

}  // namespace textio
